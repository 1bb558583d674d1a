// Named list nodes.
#include "sound/IDNode.h"

TIDNode::TIDNode(const std::string& name) : name_(name) {
    for (char& c : name_)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}
