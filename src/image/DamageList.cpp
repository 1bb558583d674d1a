// Dirty-rectangle merge rule.
#include "image/DamageList.h"

void TDamageList::AddDamageRect(const TRect& rect) {
    for (TLumNode* p = First; p; p = p->Next) {
        auto* node = static_cast<TDamageNode*>(p);
        TRect common;
        if (!TRect::Intersect(common, rect, node->Rect))
            continue;
        if (common == rect)
            return;
        if (common == node->Rect) {
            node->Rect = rect;
            return;
        }
    }
    AddLast(new TDamageNode(rect));
}
