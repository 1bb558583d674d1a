// The images a library has loaded (TImageNode entries, owned).
#pragma once
#include "base/LumList.h"
#include "image/ImageNode.h"

class TImageList : public TLumList {};
