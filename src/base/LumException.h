// The program's base exception: one message. Messages of library code name
// the operation, a colon and the problem ("Decode: invalid line code").
#pragma once
#include <stdexcept>
#include <string>

class LumException : public std::runtime_error {
public:
    explicit LumException(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};
