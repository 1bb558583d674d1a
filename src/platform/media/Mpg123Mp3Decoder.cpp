// Decoding MP3 with libmpg123.
#include "platform/media/Mpg123Mp3Decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace plat {

namespace {

struct HandleDeleter {
    void operator()(mpg123_handle* h) const {
        mpg123_close(h);
        mpg123_delete(h);
    }
};

} // namespace

bool Mpg123Mp3Decoder::Decode(std::string_view mp3, std::vector<int16_t>& samples,
                              uint32_t& sampleRate, std::string& why, std::size_t limit) {
    static std::once_flag once;
    std::call_once(once, [] { mpg123_init(); });
    samples.clear();
    sampleRate = 0;
    int error = MPG123_OK;
    const std::unique_ptr<mpg123_handle, HandleDeleter> h(mpg123_new(nullptr, &error));
    if (!h) {
        why = "the MP3 decoder cannot start";
        return false;
    }
    mpg123_param(h.get(), MPG123_ADD_FLAGS, MPG123_FORCE_MONO | MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(h.get());
    const long* rates = nullptr;
    std::size_t count = 0;
    mpg123_rates(&rates, &count);
    for (std::size_t i = 0; i < count; ++i)
        mpg123_format(h.get(), rates[i], MPG123_MONO, MPG123_ENC_SIGNED_16);
    if (mpg123_open_feed(h.get()) != MPG123_OK ||
        mpg123_feed(h.get(), reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size()) !=
            MPG123_OK) {
        why = mpg123_strerror(h.get());
        return false;
    }
    unsigned char buffer[16384];
    for (;;) {
        std::size_t done = 0;
        const int r = mpg123_read(h.get(), buffer, sizeof buffer, &done);
        samples.insert(samples.end(), reinterpret_cast<const int16_t*>(buffer),
                       reinterpret_cast<const int16_t*>(buffer) + done / 2);
        if (samples.size() > limit) {
            why = "it is too long";
            samples = {};
            return false;
        }
        if (r == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(h.get(), &rate, &channels, &encoding);
            sampleRate = static_cast<uint32_t>(rate);
            // The whole length where the file's header tells it: one block,
            // never grown (a long book's sound is large).
            if (const off_t length = mpg123_length(h.get()); length > 0)
                samples.reserve(std::min(static_cast<std::size_t>(length), limit));
        } else if (r == MPG123_NEED_MORE || r == MPG123_DONE) {
            break;
        } else if (r != MPG123_OK) {
            why = mpg123_strerror(h.get());
            samples.clear();
            return false;
        }
    }
    if (samples.empty() || sampleRate == 0) {
        why = "it holds no sound";
        samples.clear();
        return false;
    }
    return true;
}

} // namespace plat
