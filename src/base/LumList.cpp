// The owning intrusive list.
#include "base/LumList.h"

int TLumList::Count() const {
    int n = 0;
    for (TLumNode* p = First; p; p = p->Next)
        ++n;
    return n;
}

TLumNode* TLumList::Items(int index) const {
    if (index <= 0)
        return nullptr;
    TLumNode* p = First;
    while (p && --index > 0)
        p = p->Next;
    return p;
}

void TLumList::AddFirst(TLumNode* node) {
    if (!node)
        return;
    node->Prev = nullptr;
    node->Next = First;
    if (First)
        First->Prev = node;
    else
        Last = node;
    First = node;
}

void TLumList::AddLast(TLumNode* node) {
    if (!node)
        return;
    node->Next = nullptr;
    node->Prev = Last;
    if (Last)
        Last->Next = node;
    else
        First = node;
    Last = node;
}

TLumNode* TLumList::RemoveFirst() {
    TLumNode* node = First;
    if (!node)
        return nullptr;
    First = node->Next;
    if (First)
        First->Prev = nullptr;
    else
        Last = nullptr;
    node->Next = nullptr;
    node->Prev = nullptr;
    return node;
}

TLumNode* TLumList::RemoveLast() {
    TLumNode* node = Last;
    if (!node)
        return nullptr;
    Last = node->Prev;
    if (Last)
        Last->Next = nullptr;
    else
        First = nullptr;
    node->Next = nullptr;
    node->Prev = nullptr;
    return node;
}

void TLumList::Remove(TLumNode* node) {
    if (!node)
        return;
    if (node == First) {
        RemoveFirst();
        return;
    }
    if (node == Last) {
        RemoveLast();
        return;
    }
    if (node->Prev)
        node->Prev->Next = node->Next;
    if (node->Next)
        node->Next->Prev = node->Prev;
    node->Next = nullptr;
    node->Prev = nullptr;
}

void TLumList::Delete(TLumNode* node) {
    if (!node)
        return;
    Remove(node);
    delete node;
}

int TLumList::IndexOf(const TLumNode* node) const {
    int i = 1;
    for (TLumNode* p = First; p; p = p->Next, ++i)
        if (p == node)
            return i;
    return 0;
}

void TLumList::Clear() {
    while (TLumNode* node = RemoveFirst())
        delete node;
}
