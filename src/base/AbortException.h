// The silent abort signal: raised to end an operation without a message
// (ReadTextLine raises it at the end of its input). Never shown to the player.
#pragma once
#include <exception>

class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};
