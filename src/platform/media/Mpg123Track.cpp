// An MP3 track decoded by libmpg123 from its bytes held in memory.
#include "platform/media/Mpg123Track.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace plat {

namespace {

ssize_t ReadBytes(void* handle, void* buffer, size_t size) {
    auto& source = *static_cast<Mpg123Track::Source*>(handle);
    const std::size_t n = std::min(size, source.bytes.size() - source.at);
    std::memcpy(buffer, source.bytes.data() + source.at, n);
    source.at += n;
    return static_cast<ssize_t>(n);
}

off_t SeekBytes(void* handle, off_t offset, int whence) {
    auto& source = *static_cast<Mpg123Track::Source*>(handle);
    const off_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<off_t>(source.at)
                       : whence == SEEK_END ? static_cast<off_t>(source.bytes.size())
                                            : -1;
    if (base < 0 || base + offset < 0 || base + offset > static_cast<off_t>(source.bytes.size()))
        return -1;
    source.at = static_cast<std::size_t>(base + offset);
    return base + offset;
}

} // namespace

std::unique_ptr<Mpg123Track> Mpg123Track::Open(std::string mp3, std::string& why,
                                               std::size_t limit) {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    auto track = std::make_unique<Mpg123Track>(Key{});
    track->source_.bytes = std::move(mp3);
    int error = MPG123_OK;
    track->handle_ = mpg123_new(nullptr, &error);
    mpg123_handle* h = track->handle_;
    if (!h) {
        why = "the MP3 decoder cannot start";
        return nullptr;
    }
    mpg123_param(h, MPG123_ADD_FLAGS, MPG123_FORCE_MONO | MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(h);
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(h, rates[i], MPG123_MONO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_replace_reader_handle(h, ReadBytes, SeekBytes, nullptr) != MPG123_OK ||
        mpg123_open_handle(h, &track->source_) != MPG123_OK ||
        mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK ||
        mpg123_scan(h) != MPG123_OK) {
        why = track->source_.bytes.empty() ? "it holds no sound" : mpg123_strerror(h);
        return nullptr;
    }
    const off_t length = mpg123_length(h);
    if (length <= 0 || rate <= 0) {
        why = "it holds no sound";
        return nullptr;
    }
    if (static_cast<std::size_t>(length) > limit) {
        why = "it is too long";
        return nullptr;
    }
    track->rate_ = static_cast<uint32_t>(rate);
    track->length_ = static_cast<std::size_t>(length);
    return track;
}

Mpg123Track::~Mpg123Track() {
    if (handle_) {
        mpg123_close(handle_);
        mpg123_delete(handle_);
    }
}

bool Mpg123Track::Read(std::size_t from, std::size_t count, std::vector<int16_t>& out) {
    out.clear();
    if (from >= length_)
        return count == 0;
    count = std::min(count, length_ - from);
    if (mpg123_seek(handle_, static_cast<off_t>(from), SEEK_SET) != static_cast<off_t>(from))
        return false;
    out.resize(count);
    std::size_t got = 0;
    while (got < count) {
        std::size_t done = 0;
        const int r = mpg123_read(handle_, reinterpret_cast<unsigned char*>(out.data() + got),
                                  (count - got) * sizeof(int16_t), &done);
        got += done / sizeof(int16_t);
        if (r == MPG123_DONE || (r != MPG123_OK && r != MPG123_NEW_FORMAT))
            break;
        if (done == 0 && r != MPG123_NEW_FORMAT)
            break;
    }
    if (got < count) {
        out.clear();
        return false;
    }
    return true;
}

} // namespace plat
