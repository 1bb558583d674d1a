// A byte stream with a position, the engine's view of files and memory buffers.
#pragma once
#include <cstddef>
#include <cstdint>

namespace plat {

class Stream {
public:
    virtual ~Stream() = default;
    // Reads up to Count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes Count bytes; returns how many were written.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Moves to an absolute position; false when it cannot.
    virtual bool Seek(int64_t position) = 0;
    virtual int64_t Position() const = 0;
    virtual int64_t Size() const = 0;

    // True when exactly Count bytes were read.
    bool ReadExact(void* buffer, std::size_t count) { return Read(buffer, count) == count; }
    bool WriteExact(const void* buffer, std::size_t count) { return Write(buffer, count) == count; }
};

} // namespace plat
