// A list of named nodes (TIDNode and its descendants); it owns them.
#pragma once
#include "base/LumList.h"

class TIDList : public TLumList {};
