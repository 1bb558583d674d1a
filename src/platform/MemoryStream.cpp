// In-memory stream.
#include "platform/MemoryStream.h"

#include <cstring>

namespace plat {

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (pos_ >= Size())
        return 0;
    std::size_t avail = static_cast<std::size_t>(Size() - pos_);
    std::size_t n = count < avail ? count : avail;
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += static_cast<int64_t>(n);
    return n;
}

std::size_t MemoryStream::Write(const void* buffer, std::size_t count) {
    std::size_t end = static_cast<std::size_t>(pos_) + count;
    if (end > data_.size())
        data_.resize(end);
    std::memcpy(data_.data() + pos_, buffer, count);
    pos_ = static_cast<int64_t>(end);
    return count;
}

bool MemoryStream::Seek(int64_t position) {
    if (position < 0)
        return false;
    pos_ = position;
    return true;
}

} // namespace plat
