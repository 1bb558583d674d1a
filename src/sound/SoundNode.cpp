// Loading a wave file into one block, and playing it on a wave-out device.
#include "sound/SoundNode.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "base/AbortException.h"
#include "platform/FileStream.h"
#include "platform/WaveOutService.h"
#include "sound/RiffReader.h"

namespace {

// A locked movable block, unlocked again when it goes.
struct LockedBlock {
    std::unique_ptr<plat::MemoryBlock> block;
    void* data = nullptr;
    ~LockedBlock() {
        if (data)
            block->Unlock();
    }
    bool Allocate(std::size_t size) {
        block = plat::MemoryBlock::Allocate(size, plat::kMemMovable);
        if (block)
            data = block->Lock();
        return data != nullptr;
    }
};

constexpr uint32_t kFormatBytes = 16; // of the "fmt " chunk, copied into the block

} // namespace

TSoundNode::TSoundNode(const std::string& fileName, uint8_t flags, uint16_t id)
    : SoundId(id), Flags(flags) {
    std::unique_ptr<plat::FileStream> file = plat::FileStream::Open(fileName);
    if (!file)
        throw EAbort();
    Load(*file);
}

TSoundNode::TSoundNode(plat::Stream& source, uint8_t flags, uint16_t id)
    : SoundId(id), Flags(flags) {
    Load(source);
}

void TSoundNode::Load(plat::Stream& source) {
    TRiffReader riff(source);
    TRiffChunk wave;
    wave.formType = FourCC("WAVE");
    if (!riff.Descend(wave, nullptr, TRiffReader::Find::Riff))
        throw EAbort();
    TRiffChunk fmt;
    fmt.id = FourCC("fmt ");
    if (!riff.Descend(fmt, &wave, TRiffReader::Find::Chunk) || fmt.size < kFormatBytes)
        throw EAbort();
    plat::WaveFormat format{};
    {
        LockedBlock temp;
        if (!temp.Allocate(fmt.size) || riff.Read(temp.data, fmt.size) != fmt.size)
            throw EAbort();
        std::memcpy(&format, temp.data, kFormatBytes);
    }
    if (format.formatTag != plat::kWaveFormatPcm)
        throw EAbort();
    format.extraSize = 0;
    TRiffChunk data;
    data.id = FourCC("data");
    if (!riff.Ascend(fmt) || !riff.Descend(data, &wave, TRiffReader::Find::Chunk) || data.size == 0)
        throw EAbort();

    MakeBlock(format, data.size,
              [&](uint8_t* to) { return riff.Read(to, data.size) == data.size; });
}

TSoundNode::TSoundNode(const plat::WaveFormat& format, const void* samples, std::size_t bytes,
                       uint8_t flags, uint16_t id)
    : SoundId(id), Flags(flags) {
    if (format.formatTag != plat::kWaveFormatPcm || bytes == 0 || bytes > UINT32_MAX)
        throw EAbort();
    plat::WaveFormat copy = format;
    copy.extraSize = 0;
    MakeBlock(copy, bytes, [&](uint8_t* to) {
        std::memcpy(to, samples, bytes);
        return true;
    });
}

template <typename FillSamples>
void TSoundNode::MakeBlock(const plat::WaveFormat& format, std::size_t bytes, FillSamples fill) {
    LockedBlock block;
    if (!block.Allocate(kDataOffset + bytes))
        throw EAbort();
    auto* base = static_cast<uint8_t*>(block.data);
    std::memset(base, 0, kDataOffset);
    auto* header = std::construct_at(reinterpret_cast<plat::WaveHeader*>(base + kHeaderOffset));
    header->data = base + kDataOffset;
    header->bufferLength = static_cast<uint32_t>(bytes);
    header->user = reinterpret_cast<uintptr_t>(this);
    header->flags = plat::kWhdrDone;
    if (!fill(header->data))
        throw EAbort();
    Format = std::construct_at(reinterpret_cast<plat::WaveFormat*>(base + kFormatOffset), format);
    Header = header;
    SoundBlock = std::move(block.block);
    block.data = nullptr; // stays locked for the node's life
}

TSoundNode::~TSoundNode() {
    Stop();
    if (SoundBlock)
        SoundBlock->Unlock();
}

void TSoundNode::BreakLoop() {
    if (WaveOut)
        WaveOut->BreakLoop();
}

void TSoundNode::Stop() {
    if (!WaveOut)
        return;
    WaveOut->Reset();
    WaveOut->Unprepare(*Header);
    WaveOut->Close();
    WaveOut.reset();
}

bool TSoundNode::Play(plat::WaveOutWindow* callback) {
    Flags &= ~sfQueued;
    WaveOut = plat::CurrentWaveOutService().Open(*Format, callback);
    if (!WaveOut)
        return false;
    LastDevice = WaveOut->Id();
    if (!WaveOut->Prepare(*Header) || !WaveOut->Write(*Header)) {
        Stop();
        return false;
    }
    Playing = true;
    return true;
}

int64_t TSoundNode::GetPosition() {
    if (!WaveOut)
        return 0;
    plat::WavePosition position;
    position.unit = plat::WavePosition::Unit::Milliseconds;
    if (!WaveOut->GetPosition(position) || position.unit != plat::WavePosition::Unit::Milliseconds)
        return -1;
    return position.value;
}

void TSoundNode::SetLoopCount(uint32_t n) {
    if (n == 1000)
        n = 10'000'000;
    if (n > 1) {
        Header->loops = n;
        Header->flags |= plat::kWhdrBeginLoop | plat::kWhdrEndLoop;
    } else {
        Header->loops = 0;
        Header->flags &= ~(plat::kWhdrBeginLoop | plat::kWhdrEndLoop);
    }
}

bool TSoundNode::IsLooping() const {
    return Playing && (Header->flags & (plat::kWhdrBeginLoop | plat::kWhdrEndLoop));
}
