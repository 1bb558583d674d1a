// The dirty rectangles of a surface. AddDamageRect keeps the list small: a
// rectangle inside an entry adds nothing; one that holds the first entry it
// meets takes that entry's place; any other becomes a new last entry.
// Overlapping rectangles are not joined, so painting may paint overlaps twice.
#pragma once
#include "base/LumList.h"
#include "image/DamageNode.h"

class TDamageList : public TLumList {
public:
    void AddDamageRect(const TRect& rect);
};
