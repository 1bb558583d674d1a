// A stream over an owned in-memory byte buffer that grows on write.
#pragma once
#include <string>

#include "platform/Stream.h"

namespace plat {

class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes) : data_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    bool Seek(int64_t position) override;
    int64_t Position() const override { return pos_; }
    int64_t Size() const override { return static_cast<int64_t>(data_.size()); }

    const std::string& Data() const { return data_; }

private:
    std::string data_;
    int64_t pos_ = 0;
};

} // namespace plat
