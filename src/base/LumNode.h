// Base class of every list element: the links of the intrusive list. A node
// belongs to at most one list at a time; the list owns it while it is linked.
#pragma once

class TLumNode {
public:
    TLumNode() = default;
    TLumNode(const TLumNode&) = delete;
    TLumNode& operator=(const TLumNode&) = delete;
    virtual ~TLumNode() = default;

    TLumNode* Next = nullptr; // following node, nullptr at the tail
    TLumNode* Prev = nullptr; // preceding node, nullptr at the head
};
