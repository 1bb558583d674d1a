// Encoding with libmp3lame, all in memory.
#include "platform/media/LameMp3Encoder.h"

#include <lame/lame.h>

#include <memory>

namespace plat {

namespace {
struct LameClose {
    void operator()(lame_global_flags* gf) const { lame_close(gf); }
};
} // namespace

bool LameMp3Encoder::Encode(const std::vector<int16_t>& samples, uint32_t sampleRate,
                            std::string& mp3, std::string& why) {
    mp3.clear();
    const std::unique_ptr<lame_global_flags, LameClose> gf(lame_init());
    if (!gf) {
        why = "the MP3 encoder could not start";
        return false;
    }
    lame_set_num_channels(gf.get(), 1);
    lame_set_mode(gf.get(), MONO);
    lame_set_in_samplerate(gf.get(), static_cast<int>(sampleRate));
    lame_set_out_samplerate(gf.get(), static_cast<int>(sampleRate));
    lame_set_brate(gf.get(), kKbps);
    lame_set_VBR(gf.get(), vbr_off);
    lame_set_quality(gf.get(), 5);
    lame_set_bWriteVbrTag(gf.get(), 1);
    if (lame_init_params(gf.get()) < 0) {
        why = "the MP3 encoder takes no sound of " + std::to_string(sampleRate) + " Hz";
        return false;
    }
    // Whole chunks, so the buffer's size stays small whatever the length.
    constexpr std::size_t kChunk = 1 << 16;
    std::vector<unsigned char> buffer(kChunk + kChunk / 4 + 7200);
    for (std::size_t at = 0; at < samples.size(); at += kChunk) {
        const std::size_t n = std::min(kChunk, samples.size() - at);
        // The right channel is ignored for mono; LAME takes a non-const pointer.
        auto* pcm = const_cast<short*>(samples.data() + at);
        const int made = lame_encode_buffer(gf.get(), pcm, pcm, static_cast<int>(n), buffer.data(),
                                            static_cast<int>(buffer.size()));
        if (made < 0) {
            why = "the MP3 encoder failed (" + std::to_string(made) + ")";
            mp3.clear();
            return false;
        }
        mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(made));
    }
    const int tail = lame_encode_flush(gf.get(), buffer.data(), static_cast<int>(buffer.size()));
    if (tail < 0) {
        why = "the MP3 encoder failed (" + std::to_string(tail) + ")";
        mp3.clear();
        return false;
    }
    mp3.append(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(tail));
    // The first frame was kept for the LAME header: its delay and padding
    // let players start at the first sample and stop at the last.
    const std::size_t tag = lame_get_lametag_frame(gf.get(), buffer.data(), buffer.size());
    if (tag > 0 && tag <= mp3.size())
        mp3.replace(0, tag, reinterpret_cast<const char*>(buffer.data()), tag);
    return true;
}

} // namespace plat
