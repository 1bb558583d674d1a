// A list of named nodes (TIDNode and its descendants); it owns them.
#pragma once
#include "image/LumList.h"

class TIDList : public TLumList {};
