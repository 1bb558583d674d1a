// Encoding with libmp3lame, piece by piece.
#include "platform/media/LameMp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <vector>

namespace plat {

namespace {
// Samples handed to LAME at a time, so that the output buffer stays small
// whatever the length of a piece.
constexpr std::size_t kChunk = 1 << 16;
} // namespace

struct LameMp3Encoder::Lame {
    lame_global_flags* gf = nullptr;
    // LAME's worst case for kChunk samples.
    std::vector<unsigned char> buffer = std::vector<unsigned char>(kChunk + kChunk / 4 + 7200);
    ~Lame() {
        if (gf)
            lame_close(gf);
    }
};

LameMp3Encoder::LameMp3Encoder() = default;
LameMp3Encoder::~LameMp3Encoder() = default;

bool LameMp3Encoder::Begin(uint32_t sampleRate, std::string& why) {
    lame_ = std::make_unique<Lame>();
    lame_->gf = lame_init();
    if (!lame_->gf) {
        lame_.reset();
        why = "the MP3 encoder could not start";
        return false;
    }
    lame_global_flags* gf = lame_->gf;
    lame_set_num_channels(gf, 1);
    lame_set_mode(gf, MONO);
    lame_set_in_samplerate(gf, static_cast<int>(sampleRate));
    lame_set_out_samplerate(gf, static_cast<int>(sampleRate));
    lame_set_brate(gf, kKbps);
    lame_set_VBR(gf, vbr_off);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        lame_.reset();
        why = "the MP3 encoder takes no sound of " + std::to_string(sampleRate) + " Hz";
        return false;
    }
    return true;
}

bool LameMp3Encoder::Add(const int16_t* samples, std::size_t count, std::string& mp3,
                         std::string& why) {
    if (!lame_) {
        why = "the MP3 encoder was not started";
        return false;
    }
    for (std::size_t at = 0; at < count; at += kChunk) {
        const std::size_t n = std::min(kChunk, count - at);
        // The right channel is ignored for mono; LAME takes a non-const pointer.
        auto* pcm = const_cast<short*>(samples + at);
        const int made =
            lame_encode_buffer(lame_->gf, pcm, pcm, static_cast<int>(n), lame_->buffer.data(),
                               static_cast<int>(lame_->buffer.size()));
        if (made < 0) {
            lame_.reset();
            why = "the MP3 encoder failed (" + std::to_string(made) + ")";
            return false;
        }
        mp3.append(reinterpret_cast<const char*>(lame_->buffer.data()),
                   static_cast<std::size_t>(made));
    }
    return true;
}

bool LameMp3Encoder::End(std::string& mp3, std::string& head, std::string& why) {
    head.clear();
    if (!lame_) {
        why = "the MP3 encoder was not started";
        return false;
    }
    const std::unique_ptr<Lame> lame = std::move(lame_);
    const int tail =
        lame_encode_flush(lame->gf, lame->buffer.data(), static_cast<int>(lame->buffer.size()));
    if (tail < 0) {
        why = "the MP3 encoder failed (" + std::to_string(tail) + ")";
        return false;
    }
    mp3.append(reinterpret_cast<const char*>(lame->buffer.data()), static_cast<std::size_t>(tail));
    // The first frame was kept for the LAME header: its delay and padding
    // let players start at the first sample and stop at the last.
    const std::size_t tag =
        lame_get_lametag_frame(lame->gf, lame->buffer.data(), lame->buffer.size());
    if (tag > 0 && tag <= lame->buffer.size())
        head.assign(reinterpret_cast<const char*>(lame->buffer.data()), tag);
    return true;
}

} // namespace plat
