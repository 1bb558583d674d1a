// The plain records of the wave-out service: the PCM format record, the
// playback header a device plays from, the done message a device posts to
// its window, and a playback position. They carry no behaviour.
#pragma once
#include <bit>
#include <cstdint>

namespace plat {

static_assert(std::endian::native == std::endian::little,
              "wave records are stored in the files' little-endian byte order");

inline constexpr uint16_t kWaveFormatPcm = 1;

#pragma pack(push, 2)
// The extended wave-format record: the first 16 bytes of a file's "fmt "
// chunk followed by the size of extra format information (0 for PCM).
struct WaveFormat {
    uint16_t formatTag;      // kWaveFormatPcm
    uint16_t channels;       // interleaved channels per frame
    uint32_t samplesPerSec;  // frames per second
    uint32_t avgBytesPerSec; // as stored in the file; devices use blockAlign * samplesPerSec
    uint16_t blockAlign;     // bytes per frame
    uint16_t bitsPerSample;  // 8 (unsigned) or 16 (signed) for PCM
    uint16_t extraSize;
};
#pragma pack(pop)
static_assert(sizeof(WaveFormat) == 18);

// Header flags.
inline constexpr uint32_t kWhdrDone = 0x01;      // the device has finished with the buffer
inline constexpr uint32_t kWhdrPrepared = 0x02;  // prepared for a device
inline constexpr uint32_t kWhdrBeginLoop = 0x04; // the buffer starts a loop
inline constexpr uint32_t kWhdrEndLoop = 0x08;   // the buffer ends a loop
inline constexpr uint32_t kWhdrInQueue = 0x10;   // written and not yet done

// One buffer to play. The caller owns it and the samples it points at; a
// device uses both from Write until the buffer is done (kWhdrDone) or reset.
struct WaveHeader {
    uint8_t* data;          // the samples
    uint32_t bufferLength;  // bytes at data
    uint32_t bytesRecorded; // unused for output
    uintptr_t user;         // the caller's value, untouched by devices
    uint32_t flags;         // kWhdr* bits
    uint32_t loops;         // passes of a looped buffer (with kWhdrBeginLoop and kWhdrEndLoop)
    WaveHeader* next;       // reserved for the device
    uintptr_t reserved;     // reserved for the device
};

// Posted by a device to its window when a written buffer is done (played to
// its end, or ended by a reset). Device is the id of the device that played
// it; Header the buffer, which the receiver must only compare, never read,
// unless it knows the buffer still exists.
struct WaveDoneMessage {
    uint64_t device;
    WaveHeader* header;
};

// A playback position: the caller asks for a unit, the device may answer in
// another one.
struct WavePosition {
    enum class Unit { Milliseconds, Bytes, Samples };
    Unit unit = Unit::Milliseconds;
    uint32_t value = 0;
};

} // namespace plat
