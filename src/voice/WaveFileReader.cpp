// A WAV file's 16-bit PCM, mixed down to mono, a piece at a time.
#include "voice/WaveFileReader.h"

#include <algorithm>

#include "sound/RiffReader.h"

namespace {
uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(U16(p)) | static_cast<uint32_t>(U16(p + 2)) << 16;
}
} // namespace

bool TWaveFileReader::Open(const std::string& path, std::string& why) {
    file_ = plat::FileStream::Open(path, plat::Lookup::Exact);
    if (!file_) {
        why = "cannot open the file";
        return false;
    }
    TRiffReader riff(*file_);
    TRiffChunk wave{}, fmt{}, data{};
    wave.formType = FourCC("WAVE");
    if (!riff.Descend(wave, nullptr, TRiffReader::Find::Riff)) {
        why = "not a WAV file";
        return false;
    }
    fmt.id = FourCC("fmt ");
    uint8_t head[24] = {};
    if (!riff.Descend(fmt, &wave, TRiffReader::Find::Chunk) || fmt.size < 16 ||
        riff.Read(head, std::min<std::size_t>(fmt.size, sizeof head)) < 16) {
        why = "the WAV file has no format";
        return false;
    }
    const uint16_t tag = U16(head);
    channels_ = U16(head + 2);
    rate_ = U32(head + 4);
    const uint16_t bits = U16(head + 14);
    if ((tag != 1 && tag != 0xFFFE) || bits != 16 || channels_ < 1 || channels_ > 16 ||
        rate_ < 8000 || rate_ > 384000) {
        why = "the WAV file is not 16-bit PCM at 8 kHz or more";
        return false;
    }
    if (!riff.Ascend(fmt) || !file_->Seek(wave.dataOffset + 4)) {
        why = "the WAV file is cut short";
        return false;
    }
    data.id = FourCC("data");
    if (!riff.Descend(data, &wave, TRiffReader::Find::Chunk)) {
        why = "the WAV file has no sound";
        return false;
    }
    frames_ = left_ = data.size / (2u * static_cast<uint32_t>(channels_));
    return true;
}

bool TWaveFileReader::Read(std::vector<int16_t>& out, std::size_t max) {
    out.clear();
    if (!file_ || left_ == 0 || max == 0)
        return false;
    const std::size_t frames = static_cast<std::size_t>(std::min<uint64_t>(left_, max));
    const std::size_t frameBytes = 2u * static_cast<std::size_t>(channels_);
    bytes_.resize(frames * frameBytes);
    const std::size_t got = file_->Read(bytes_.data(), bytes_.size()) / frameBytes;
    left_ = got < frames ? 0 : left_ - frames;
    out.resize(got);
    for (std::size_t f = 0; f < got; ++f) {
        int32_t sum = 0;
        for (int c = 0; c < channels_; ++c)
            sum += static_cast<int16_t>(
                U16(&bytes_[f * frameBytes + 2u * static_cast<std::size_t>(c)]));
        out[f] = static_cast<int16_t>(sum / channels_);
    }
    return got > 0;
}
