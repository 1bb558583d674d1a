// Builds wave files byte by byte for the tests: a valid PCM file by default,
// and every kind of damage the loader must refuse.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fbwtest {

inline std::string Le(uint32_t value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i)
        s += static_cast<char>((value >> (8 * i)) & 0xFF);
    return s;
}

inline std::string Chunk(const std::string& id, const std::string& body) {
    std::string s = id + Le(static_cast<uint32_t>(body.size()), 4) + body;
    if (body.size() & 1)
        s += '\0';
    return s;
}

// The 16 bytes of a "fmt " chunk.
inline std::string FormatBody(uint16_t tag = 1, uint16_t channels = 1, uint32_t rate = 22050,
                              uint16_t bits = 16) {
    const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    return Le(tag, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
           Le(bits, 2);
}

// Samples: a ramp of N 16-bit values, easy to recognise.
inline std::string RampSamples(std::size_t n, int seed = 0) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
        s += Le(static_cast<uint16_t>(i * 7 + static_cast<std::size_t>(seed) * 1000), 2);
    return s;
}

// A RIFF file of the given form type around the given chunks.
inline std::string Riff(const std::string& chunks, const std::string& form = "WAVE") {
    return "RIFF" + Le(static_cast<uint32_t>(4 + chunks.size()), 4) + form + chunks;
}

// A valid mono 16-bit PCM wave of N samples.
inline std::string PcmWave(std::size_t samples = 100, int seed = 0) {
    return Riff(Chunk("fmt ", FormatBody()) + Chunk("data", RampSamples(samples, seed)));
}

} // namespace fbwtest
