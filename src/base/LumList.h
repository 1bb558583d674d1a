// The intrusive doubly linked list that owns its nodes: destroying or
// clearing the list deletes every node still in it, and Delete frees one. A
// node handed back by a Remove operation belongs to the caller again.
// Positions are 1-based.
#pragma once
#include "base/LumNode.h"

class TLumList {
public:
    TLumList() = default;
    TLumList(const TLumList&) = delete;
    TLumList& operator=(const TLumList&) = delete;
    virtual ~TLumList() { Clear(); }

    TLumNode* First = nullptr;
    TLumNode* Last = nullptr;

    // Walks the list: O(n).
    int Count() const;
    // The node at 1-based Index; nullptr for Index <= 0 or past the tail. O(n).
    TLumNode* Items(int index) const;
    // nullptr is ignored. The list takes ownership.
    void AddFirst(TLumNode* node);
    void AddLast(TLumNode* node);
    // Unlinks and returns the head (tail); nullptr on an empty list.
    TLumNode* RemoveFirst();
    TLumNode* RemoveLast();
    // Unlinks Node, which must be in this list; nullptr is ignored.
    void Remove(TLumNode* node);
    // Unlinks Node, which must be in this list, and frees it: Node is invalid
    // afterwards. nullptr is ignored.
    void Delete(TLumNode* node);
    // nullptr gives First (Last); otherwise the node's Next (Prev).
    TLumNode* Next(const TLumNode* node) const { return node ? node->Next : First; }
    TLumNode* Prev(const TLumNode* node) const { return node ? node->Prev : Last; }
    // 1-based position, 0 when Node is not in the list. O(n).
    int IndexOf(const TLumNode* node) const;
    bool Contains(const TLumNode* node) const { return IndexOf(node) > 0; }
    // Deletes every node.
    void Clear();
};
