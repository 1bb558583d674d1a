// Loading wave files into sound nodes, and the RIFF chunk reader beneath.
#include <gtest/gtest.h>

#include <cstring>

#include "base/AbortException.h"
#include "platform/MemoryBlock.h"
#include "platform/MemoryStream.h"
#include "sound/RiffReader.h"
#include "sound/SoundNode.h"
#include "sound/WaveBytes.h"
#include "support/TestSupport.h"

using namespace fbwtest;

namespace {

std::unique_ptr<TSoundNode> LoadBytes(const std::string& bytes, uint8_t flags = 0,
                                      uint16_t id = 7) {
    plat::MemoryStream stream(bytes);
    return std::make_unique<TSoundNode>(stream, flags, id);
}

bool Loads(const std::string& bytes) {
    try {
        LoadBytes(bytes);
        return true;
    } catch (const EAbort&) {
        return false;
    }
}

} // namespace

TEST(SoundNodeLoad, BlockHoldsFormatHeaderAndSamples) {
    const std::string samples = RampSamples(301);
    auto node =
        LoadBytes(Riff(Chunk("fmt ", FormatBody()) + Chunk("data", samples)), sfAutoFree, 42);

    EXPECT_EQ(node->SoundId, 42);
    EXPECT_EQ(node->Flags, sfAutoFree);
    EXPECT_FALSE(node->Playing);
    EXPECT_FALSE(node->WaveOut);
    ASSERT_TRUE(node->SoundBlock);
    EXPECT_EQ(node->SoundBlock->LockCount(), 1) << "locked for the node's life";
    EXPECT_EQ(node->SoundBlock->Size(), samples.size() + TSoundNode::kDataOffset);

    auto* base = static_cast<uint8_t*>(node->SoundBlock->Lock());
    node->SoundBlock->Unlock();
    EXPECT_EQ(reinterpret_cast<uint8_t*>(node->Format), base + TSoundNode::kFormatOffset);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(node->Header), base + TSoundNode::kHeaderOffset);
    EXPECT_EQ(0, std::memcmp(node->Format, FormatBody().data(), 16));
    EXPECT_EQ(node->Format->extraSize, 0);
    EXPECT_EQ(node->Format->samplesPerSec, 22050u);

    const plat::WaveHeader& h = *node->Header;
    EXPECT_EQ(h.data, base + TSoundNode::kDataOffset);
    EXPECT_EQ(h.bufferLength, samples.size());
    EXPECT_EQ(h.user, reinterpret_cast<uintptr_t>(node.get()));
    EXPECT_EQ(h.flags, plat::kWhdrDone);
    EXPECT_EQ(h.loops, 0u);
    EXPECT_EQ(0, std::memcmp(h.data, samples.data(), samples.size()));
}

TEST(SoundNodeLoad, FindsChunksAmongOthers) {
    // A LIST chunk first, an odd-sized chunk with its pad byte, a longer
    // "fmt " with extra bytes, and a chunk between "fmt " and "data".
    const std::string samples = RampSamples(10);
    const std::string bytes =
        Riff(Chunk("LIST", "INFOISFT" + Le(3, 4) + "ab\0") + Chunk("junk", "odd") +
             Chunk("fmt ", FormatBody() + Le(0, 2)) + Chunk("fact", Le(10, 4)) +
             Chunk("data", samples) + Chunk("cue ", "tail"));
    auto node = LoadBytes(bytes);
    EXPECT_EQ(node->DataSize(), samples.size());
    EXPECT_EQ(0, std::memcmp(node->Samples(), samples.data(), samples.size()));
}

TEST(SoundNodeLoad, RefusesEveryDamagedFile) {
    const std::string fmt = Chunk("fmt ", FormatBody());
    const std::string data = Chunk("data", RampSamples(50));
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty file", ""},
        {"not RIFF", "RIFX" + Riff(fmt + data).substr(4)},
        {"RIFF of another form", Riff(fmt + data, "AVI ")},
        {"no fmt chunk", Riff(data)},
        {"fmt chunk of 14 bytes", Riff(Chunk("fmt ", FormatBody().substr(0, 14)) + data)},
        {"fmt chunk of 0 bytes", Riff(Chunk("fmt ", "") + data)},
        {"not PCM (float)", Riff(Chunk("fmt ", FormatBody(3, 1, 22050, 32)) + data)},
        {"not PCM (extensible)", Riff(Chunk("fmt ", FormatBody(0xFFFE)) + data)},
        {"no data chunk", Riff(fmt)},
        {"data before fmt", Riff(data + fmt)},
        {"empty data", Riff(fmt + Chunk("data", ""))},
        {"data cut short", Riff(fmt + data).substr(0, Riff(fmt + data).size() - 10)},
        {"fmt cut short", Riff(fmt).substr(0, 30)},
        {"data size past the end", Riff(fmt + "data" + Le(0xFFFFFFF0u, 4) + RampSamples(4))},
        {"RIFF size past the end", "RIFF" + Le(0x7FFFFFFF, 4) + "WAVE" + fmt + data},
        {"chunk runs past its RIFF",
         "RIFF" + Le(4 + static_cast<uint32_t>(fmt.size()) + 8, 4) + "WAVE" + fmt + data},
    };
    for (const Case& c : cases)
        EXPECT_FALSE(Loads(c.bytes)) << c.what;
}

TEST(SoundNodeLoad, OutOfMemoryAbortsCleanly) {
    const std::string bytes = PcmWave(64);
    for (int n : {1, 2}) { // the temporary format block, then the sound block
        plat::MemoryBlock::FailAllocationAfter(n);
        EXPECT_FALSE(Loads(bytes)) << "allocation " << n;
        plat::MemoryBlock::FailAllocationAfter(0);
    }
    EXPECT_TRUE(Loads(bytes));
}

TEST(SoundNodeLoad, FileNamesMatchWithoutRegardToCase) {
    TempDir dir;
    WriteBytes(dir / "Bird.wav", PcmWave(20));
    EXPECT_NO_THROW(TSoundNode(dir / "BIRD.WAV", 0, 1));
    EXPECT_THROW(TSoundNode(dir / "nothing.wav", 0, 1), EAbort);
}

TEST(SoundNodeLoop, LoopCountMarksTheHeader) {
    auto node = LoadBytes(PcmWave());
    node->SetLoopCount(1000);
    EXPECT_EQ(node->Header->loops, 10'000'000u) << "1000 means endless";
    EXPECT_EQ(node->Header->flags & (plat::kWhdrBeginLoop | plat::kWhdrEndLoop),
              plat::kWhdrBeginLoop | plat::kWhdrEndLoop);
    EXPECT_FALSE(node->IsLooping()) << "only a playing sound loops";
    node->SetLoopCount(3);
    EXPECT_EQ(node->Header->loops, 3u);
    node->SetLoopCount(1);
    EXPECT_EQ(node->Header->loops, 0u);
    EXPECT_EQ(node->Header->flags & (plat::kWhdrBeginLoop | plat::kWhdrEndLoop), 0u);
    EXPECT_EQ(node->Header->flags & plat::kWhdrDone, plat::kWhdrDone) << "other flags kept";
}

TEST(RiffReader, DescendsAndAscendsThroughNestedChunks) {
    const std::string bytes = Riff(
        Chunk("odd ", "abc") + Chunk("LIST", "adtl" + Chunk("labl", "xy")) + Chunk("last", "zz"));
    plat::MemoryStream stream(bytes);
    TRiffReader riff(stream);
    TRiffChunk wave;
    wave.formType = FourCC("WAVE");
    ASSERT_TRUE(riff.Descend(wave, nullptr, TRiffReader::Find::Riff));
    EXPECT_EQ(wave.dataOffset, 8);
    EXPECT_EQ(stream.Position(), 12) << "past the form type";

    TRiffChunk list;
    list.id = FourCC("LIST");
    ASSERT_TRUE(riff.Descend(list, &wave, TRiffReader::Find::Chunk)) << "skips the padded chunk";
    EXPECT_EQ(list.formType, FourCC("adtl"));
    TRiffChunk label;
    label.id = FourCC("labl");
    ASSERT_TRUE(riff.Descend(label, &list, TRiffReader::Find::Chunk));
    char text[2];
    ASSERT_EQ(riff.Read(text, 2), 2u);
    EXPECT_EQ(std::string(text, 2), "xy");

    TRiffChunk last;
    last.id = FourCC("last");
    EXPECT_FALSE(riff.Descend(last, &list, TRiffReader::Find::Chunk)) << "not inside LIST";
    ASSERT_TRUE(riff.Ascend(list));
    ASSERT_TRUE(riff.Descend(last, &wave, TRiffReader::Find::Chunk));
    EXPECT_EQ(last.size, 2u);
}

TEST(SoundNodePcm, MemorySamplesFillTheSameBlockAsAFile) {
    const std::string samples = RampSamples(300);
    auto file = LoadBytes(Riff(Chunk("fmt ", FormatBody()) + Chunk("data", samples)));
    plat::WaveFormat format = *file->Format;
    format.extraSize = 9; // not carried over
    TSoundNode node(format, samples.data(), samples.size(), sfAutoFree, 9);

    EXPECT_EQ(node.SoundId, 9);
    EXPECT_EQ(node.SoundBlock->Size(), file->SoundBlock->Size());
    EXPECT_EQ(0, std::memcmp(node.Format, file->Format, sizeof(plat::WaveFormat)));
    EXPECT_EQ(node.Header->bufferLength, samples.size());
    EXPECT_EQ(node.Header->user, reinterpret_cast<uintptr_t>(&node));
    EXPECT_EQ(node.Header->flags, plat::kWhdrDone);
    EXPECT_EQ(0, std::memcmp(node.Samples(), samples.data(), samples.size()));

    plat::WaveFormat notPcm = format;
    notPcm.formatTag = 3;
    EXPECT_THROW(TSoundNode(notPcm, samples.data(), samples.size(), 0, 1), EAbort);
    EXPECT_THROW(TSoundNode(format, samples.data(), 0, 0, 1), EAbort);
    plat::MemoryBlock::FailAllocationAfter(1);
    EXPECT_THROW(TSoundNode(format, samples.data(), samples.size(), 0, 1), EAbort);
    plat::MemoryBlock::FailAllocationAfter(0);
}
