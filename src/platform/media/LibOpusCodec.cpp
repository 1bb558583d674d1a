// Ogg Opus files of a voice: written with libopusenc, read with libopusfile.
#include "platform/media/LibOpusCodec.h"

#include <opusenc.h>
#include <opusfile.h>

#include <algorithm>
#include <memory>

namespace plat {

namespace {
int WriteToStream(void* user, const unsigned char* bytes, opus_int32 length) {
    auto* out = static_cast<Stream*>(user);
    return out->WriteExact(bytes, static_cast<std::size_t>(length)) ? 0 : 1;
}
int CloseNothing(void*) {
    return 0;
}
} // namespace

bool LibOpusCodec::Encode(const int16_t* samples, std::size_t count, uint32_t sampleRate,
                          Stream& out, std::string& why) {
    if (sampleRate < 8000 || sampleRate > 192000) {
        why = "the sound's rate is out of range";
        return false;
    }
    const std::unique_ptr<OggOpusComments, void (*)(OggOpusComments*)> comments(
        ope_comments_create(), ope_comments_destroy);
    if (!comments) {
        why = "out of memory";
        return false;
    }
    const OpusEncCallbacks callbacks{WriteToStream, CloseNothing};
    int error = 0;
    const std::unique_ptr<OggOpusEnc, void (*)(OggOpusEnc*)> encoder(
        ope_encoder_create_callbacks(&callbacks, &out, comments.get(),
                                     static_cast<opus_int32>(sampleRate), 1, 0, &error),
        ope_encoder_destroy);
    if (!encoder) {
        why = std::string("the Opus encoder refused: ") + ope_strerror(error);
        return false;
    }
    ope_encoder_ctl(encoder.get(), OPUS_SET_BITRATE(kBitRate));
    ope_encoder_ctl(encoder.get(), OPUS_SET_SIGNAL(OPUS_SIGNAL_VOICE));
    // A second at a time, so that no write asks for a large buffer.
    for (std::size_t at = 0; at < count;) {
        const std::size_t n = std::min<std::size_t>(count - at, sampleRate);
        error = ope_encoder_write(encoder.get(), samples + at, static_cast<int>(n));
        if (error != OPE_OK)
            break;
        at += n;
    }
    if (error == OPE_OK)
        error = ope_encoder_drain(encoder.get());
    if (error != OPE_OK) {
        why = std::string("the Opus encoder failed: ") + ope_strerror(error);
        return false;
    }
    return true;
}

bool LibOpusCodec::Decode(std::string_view bytes, std::vector<int16_t>& samples, std::string& why) {
    samples.clear();
    int error = 0;
    const std::unique_ptr<OggOpusFile, void (*)(OggOpusFile*)> file(
        op_open_memory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), &error),
        op_free);
    if (!file) {
        why = "not an Ogg Opus file";
        return false;
    }
    // A mono file (as the recorder writes) is read as it is; any other mixed
    // down through stereo.
    const bool mono = op_channel_count(file.get(), -1) == 1;
    const ogg_int64_t total = op_pcm_total(file.get(), -1);
    if (total > 0)
        samples.reserve(static_cast<std::size_t>(total));
    std::vector<opus_int16> piece(2 * 5760);
    for (;;) {
        const int got =
            mono ? op_read(file.get(), piece.data(), static_cast<int>(piece.size()), nullptr)
                 : op_read_stereo(file.get(), piece.data(), static_cast<int>(piece.size()));
        if (got == 0)
            break;
        if (got < 0) {
            samples.clear();
            why = "the Ogg Opus file is damaged";
            return false;
        }
        if (mono)
            samples.insert(samples.end(), piece.begin(), piece.begin() + got);
        else
            for (int i = 0; i < got; ++i)
                samples.push_back(static_cast<int16_t>((piece[2 * i] + piece[2 * i + 1]) / 2));
    }
    return true;
}

} // namespace plat
