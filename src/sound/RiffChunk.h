// One chunk of a RIFF file as the chunk reader finds it.
#pragma once
#include <cstdint>

struct TRiffChunk {
    uint32_t id = 0;        // four-character code, first character in the low byte
    uint32_t size = 0;      // bytes of data (for a RIFF chunk: form type and sub-chunks)
    uint32_t formType = 0;  // the form type of a RIFF or LIST chunk, else 0
    int64_t dataOffset = 0; // stream position of the data (of the form type for RIFF)
    int64_t End() const { return dataOffset + size; }
};

// The four-character code of "WAVE", "fmt ", ...
constexpr uint32_t FourCC(const char (&code)[5]) {
    return static_cast<uint32_t>(static_cast<unsigned char>(code[0])) |
           static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}
