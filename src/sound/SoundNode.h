// One loaded wave sound of the wave manager's list: the whole file read into
// one locked block (format record, playback header, samples), and the device
// it plays on while it plays.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/LumNode.h"
#include "platform/MemoryBlock.h"
#include "platform/Stream.h"
#include "platform/WaveOut.h"
#include "platform/WaveOutWindow.h"
#include "platform/WaveTypes.h"

// Flags of a sound node.
inline constexpr uint8_t sfAutoFree = 1; // free the node once it has played
inline constexpr uint8_t sfQueued = 2;   // waiting to play
inline constexpr uint8_t sfResume = 4;   // queue it again when its current pass ends
inline constexpr uint8_t sfFront = 8;    // put it back at the head of the list when its pass ends

class TSoundNode : public TLumNode {
public:
    // Layout of SoundBlock: the format record, the playback header (aligned
    // for its pointers), then the samples, the "data" chunk as stored.
    static constexpr std::size_t kFormatOffset = 0;
    static constexpr std::size_t kHeaderOffset = 24;
    static constexpr std::size_t kDataOffset = kHeaderOffset + sizeof(plat::WaveHeader);
    static_assert(kHeaderOffset >= sizeof(plat::WaveFormat) &&
                  kHeaderOffset % alignof(plat::WaveHeader) == 0);

    // Loads the PCM wave file FileName (looked up without regard to letter
    // case). Raises EAbort, without a message, when the file is missing, is
    // not a RIFF "WAVE" file, lacks a "fmt " chunk of at least 16 bytes or a
    // non-empty "data" chunk, is not PCM, is cut short, or memory runs out;
    // nothing stays allocated then.
    TSoundNode(const std::string& fileName, uint8_t flags, uint16_t id);
    // The same from a stream positioned at the start of the file.
    TSoundNode(plat::Stream& source, uint8_t flags, uint16_t id);
    // A sound made in memory: Bytes bytes of PCM samples in Format, copied
    // into the node's block. Raises EAbort when the format is not PCM, there
    // are no samples, or memory runs out.
    TSoundNode(const plat::WaveFormat& format, const void* samples, std::size_t bytes,
               uint8_t flags, uint16_t id);
    // Stops the sound, then unlocks and frees the block.
    ~TSoundNode() override;

    // Ends a loop after its current pass (when the device is open).
    virtual void BreakLoop();
    // Resets and closes the device when it is open; the device posts the done
    // message, and Playing stays set until the manager handles it.
    virtual void Stop();
    // Opens a device for the sound's format (done messages go to Callback,
    // none when nullptr), prepares and writes the header; false, with the
    // device closed again, when any step fails. Clears sfQueued first.
    virtual bool Play(plat::WaveOutWindow* callback);
    // Milliseconds played on the open device; 0 when none is open, -1 when
    // the device cannot tell or answers in another unit.
    virtual int64_t GetPosition();
    // N passes of the whole sound; 1000 means endless (10 000 000 passes);
    // N <= 1 plays it once.
    void SetLoopCount(uint32_t n);
    // Playing, and the header marks a loop.
    bool IsLooping() const;

    uint8_t* Samples() const { return reinterpret_cast<uint8_t*>(Format) + kDataOffset; }
    uint32_t DataSize() const { return Header->bufferLength; }

    uint16_t SoundId;
    std::unique_ptr<plat::MemoryBlock> SoundBlock; // locked for the node's life
    std::unique_ptr<plat::WaveOut> WaveOut;        // open only while the sound plays
    bool Playing = false;                          // written, its done message not yet handled
    plat::WaveFormat* Format = nullptr;            // start of SoundBlock
    plat::WaveHeader* Header = nullptr;            // inside SoundBlock; user = this node
    uint8_t Flags;
    // Id of the device of the last Play: a done message names the node only
    // when it carries both this device and Header.
    uint64_t LastDevice = 0;

private:
    void Load(plat::Stream& source);
    // Allocates and fills the block for Format with Bytes bytes of samples,
    // read by Fill into the samples area; false when Fill fails.
    template <typename FillSamples>
    void MakeBlock(const plat::WaveFormat& format, std::size_t bytes, FillSamples fill);
};
