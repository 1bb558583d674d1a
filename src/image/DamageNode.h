// One dirty rectangle of a surface, in surface pixels (half-open).
#pragma once
#include "base/LumNode.h"
#include "platform/Rect.h"

class TDamageNode : public TLumNode {
public:
    explicit TDamageNode(const TRect& rect) : Rect(rect) {}
    TRect Rect;
};
