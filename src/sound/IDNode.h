// A list node that carries a name, kept as an upper-case (ASCII) copy of the
// text it was created with.
#pragma once
#include <string>

#include "base/LumNode.h"

class TIDNode : public TLumNode {
public:
    explicit TIDNode(const std::string& name);
    // A copy of the upper-case name.
    std::string Name() const { return name_; }

private:
    std::string name_;
};
