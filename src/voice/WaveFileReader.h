// Reads the sound of a WAV file a piece at a time, so that a long recording
// is never held whole: 16-bit PCM (plain or "extensible"), any number of
// channels mixed down to one. Sizes are checked against the file before
// anything is read, so a cut-short or lying file gives what it holds.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/FileStream.h"

class TWaveFileReader {
public:
    // Opens Path (the system's encoding); false, with the reason in Why,
    // when it is no WAV file of 16-bit PCM.
    bool Open(const std::string& path, std::string& why);
    uint32_t SampleRate() const { return rate_; }
    // Frames (samples of each channel) the file says it holds.
    uint64_t Frames() const { return frames_; }
    // Up to Max mono samples after those read so far into Out (replacing
    // what it held); false at the end.
    bool Read(std::vector<int16_t>& out, std::size_t max = 48000);

private:
    std::unique_ptr<plat::FileStream> file_;
    uint32_t rate_ = 0;
    int channels_ = 0;
    uint64_t frames_ = 0;
    uint64_t left_ = 0; // frames not read yet
    std::vector<uint8_t> bytes_;
};
