// The one exception class of the image engine: a message naming the operation
// and the problem ("Decode: invalid line code").
#pragma once
#include "base/LumException.h"

class RL8Exception : public LumException {
public:
    using LumException::LumException;
};
