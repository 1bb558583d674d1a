// The images a library has loaded (TImageNode entries, owned).
#pragma once
#include "image/ImageNode.h"
#include "image/LumList.h"

class TImageList : public TLumList {};
