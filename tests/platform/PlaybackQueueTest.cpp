// The rules an audio output plays its buffers by: the bytes it hands on, in
// order and pass by pass, and when each buffer counts as heard, on a clock the
// test sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/PlaybackQueue.h"

namespace {

using plat::PlaybackQueue;
using plat::WaveHeader;

// 1,000 bytes a second: a byte a millisecond (mono 8-bit at 1 kHz).
constexpr uint32_t kFrame = 1, kRate = 1000;

struct Buffer {
    std::string bytes;
    WaveHeader header{};
    Buffer(std::string b, uint32_t loops = 0) : bytes(std::move(b)) {
        header.data = reinterpret_cast<uint8_t*>(bytes.data());
        header.bufferLength = static_cast<uint32_t>(bytes.size());
        header.flags = plat::kWhdrPrepared | plat::kWhdrInQueue;
        if (loops) {
            header.flags |= plat::kWhdrBeginLoop | plat::kWhdrEndLoop;
            header.loops = loops;
        }
    }
};

std::string TakeAllBytes(PlaybackQueue& q, std::size_t chunk, int64_t now) {
    std::string out;
    std::vector<uint8_t> buffer(chunk);
    while (std::size_t n = q.Take(buffer.data(), chunk, now))
        out.append(reinterpret_cast<const char*>(buffer.data()), n);
    return out;
}

} // namespace

TEST(PlaybackQueue, HandsOnTheBuffersInOrderPassByPassInWholeFrames) {
    Buffer a("ab", 3), b("xyz");
    PlaybackQueue q(kFrame, kRate);
    q.Push(a.header);
    q.Push(b.header);
    EXPECT_EQ(TakeAllBytes(q, 4, 0), "abababxyz");
    EXPECT_FALSE(q.HasData());
    EXPECT_TRUE(q.Busy()) << "handed on is not yet heard";

    // Two-byte frames: an odd room takes one frame less, a buffer's odd tail is never played.
    Buffer c("12345");
    PlaybackQueue stereo(2, kRate);
    stereo.Push(c.header);
    uint8_t out[8];
    EXPECT_EQ(stereo.Take(out, 3, 0), 2u);
    EXPECT_EQ(stereo.Take(out, 8, 0), 2u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 2), "34");
    EXPECT_FALSE(stereo.HasData());
}

TEST(PlaybackQueue, BreakLoopEndsTheLoopAfterTheCurrentPass) {
    Buffer loop("abcd", 1000);
    PlaybackQueue q(kFrame, kRate);
    q.Push(loop.header);
    uint8_t out[6];
    ASSERT_EQ(q.Take(out, 6, 0), 6u); // a pass and a half
    q.BreakLoop();
    EXPECT_EQ(TakeAllBytes(q, 16, 0), "cd") << "the pass being played ends, no more";
}

TEST(PlaybackQueue, ABufferIsHeardWhenItsAudioHasPlayedAndTheOutputRanDry) {
    Buffer a(std::string(1000, 'a')), b(std::string(500, 'b'));
    PlaybackQueue q(kFrame, kRate);
    q.Push(a.header);
    q.Push(b.header);
    TakeAllBytes(q, 4096, 0); // a ends at 1000 ms, b at 1500 ms
    EXPECT_EQ(q.LatestHeardMs(),
              1000 + PlaybackQueue::kLatencyMarginMs + PlaybackQueue::kDrainTimeoutMs);

    int64_t next = 0;
    EXPECT_TRUE(q.TakeHeard(999, false, next).empty());
    EXPECT_EQ(next, 1000 + PlaybackQueue::kLatencyMarginMs + PlaybackQueue::kDrainTimeoutMs)
        << "not dry yet: looked at again when it must have been heard";
    // Past a's time and not dry: a has been heard, b is looked at again later.
    std::vector<WaveHeader*> heard = q.TakeHeard(next, false, next);
    ASSERT_EQ(heard, std::vector<WaveHeader*>{&a.header});
    EXPECT_TRUE(a.header.flags & plat::kWhdrDone);
    EXPECT_FALSE(a.header.flags & plat::kWhdrInQueue);
    EXPECT_EQ(next, 1500 + PlaybackQueue::kLatencyMarginMs + PlaybackQueue::kDrainTimeoutMs);
    // Dry at 1520 ms: b once the latency margin has passed.
    EXPECT_TRUE(q.TakeHeard(1520, true, next).empty());
    EXPECT_EQ(next, 1520 + PlaybackQueue::kLatencyMarginMs);
    EXPECT_TRUE(q.TakeHeard(1579, false, next).empty());
    EXPECT_EQ(q.TakeHeard(1580, false, next), std::vector<WaveHeader*>{&b.header})
        << "dry once is enough";
    EXPECT_EQ(next, -1);
    EXPECT_FALSE(q.Busy());
}

TEST(PlaybackQueue, RunningDryEarlyDoesNotEndABufferBeforeItsTime) {
    Buffer a(std::string(1000, 'a')), later("b");
    PlaybackQueue q(kFrame, kRate);
    q.Push(a.header);
    TakeAllBytes(q, 4096, 0);
    int64_t next = 0;
    EXPECT_TRUE(q.TakeHeard(100, true, next).empty()) << "dry at once: a stalled start";
    EXPECT_EQ(next, 1000 + PlaybackQueue::kLatencyMarginMs);
    EXPECT_EQ(q.TakeHeard(next, true, next).size(), 1u);

    // Bytes still to hand on: the output has not run dry whatever it says.
    q.Push(later.header);
    uint8_t none[1];
    EXPECT_EQ(q.Take(none, 0, 2000), 0u);
    EXPECT_TRUE(q.TakeHeard(5000, true, next).empty());
}

TEST(PlaybackQueue, ARunStartsWhenTheOutputTakesAgainAfterPlayingEverything) {
    Buffer a(std::string(200, 'a')), b(std::string(200, 'b')), c(std::string(200, 'c'));
    PlaybackQueue q(kFrame, kRate);
    q.Push(a.header);
    TakeAllBytes(q, 4096, 0);
    q.Push(b.header);
    TakeAllBytes(q, 4096, 100); // still playing a: b follows it, ends at 400 ms
    q.Push(c.header);
    TakeAllBytes(q, 4096, 3000); // long after: c starts now
    int64_t next = 0;
    EXPECT_TRUE(q.TakeHeard(3000, true, next).empty());
    EXPECT_EQ(q.TakeHeard(next, true, next).size(), 2u) << "a and b, after the margin";
    EXPECT_EQ(next, 3200 + PlaybackQueue::kLatencyMarginMs) << "c plays from 3,000 ms";
}

TEST(PlaybackQueue, TakeAllEndsEveryBufferInOrder) {
    Buffer a("aaaa"), b("bbbb");
    PlaybackQueue q(kFrame, kRate);
    q.Push(a.header);
    q.Push(b.header);
    uint8_t out[6];
    q.Take(out, 6, 0); // a handed on whole, b in part
    EXPECT_EQ(q.TakeAll(), (std::vector<WaveHeader*>{&a.header, &b.header}));
    EXPECT_TRUE(b.header.flags & plat::kWhdrDone);
    EXPECT_FALSE(q.Busy());
    EXPECT_EQ(q.LatestHeardMs(), -1);
}

TEST(PlaybackQueue, TheDevicePositionIsBoundedByTheClockItsBytesAndWhatThePlayerPlayed) {
    Buffer before(std::string(300, 'x')), mine(std::string(1000, 'm'));
    PlaybackQueue q(kFrame, kRate);
    q.Push(before.header);
    TakeAllBytes(q, 4096, 0); // another device's 300 ms
    q.StartDevice();
    EXPECT_EQ(q.DevicePositionMs(100, -1), 0u) << "nothing of the device taken yet";
    q.Push(mine.header);
    TakeAllBytes(q, 4096, 100); // plays from 300 ms, after the other's
    EXPECT_EQ(q.DevicePositionMs(200, -1), 0u);
    EXPECT_EQ(q.DevicePositionMs(800, -1), 500u) << "by the clock";
    EXPECT_EQ(q.DevicePositionMs(800, 600), 300u) << "the player is behind the clock";
    EXPECT_EQ(q.DevicePositionMs(9000, -1), 1000u) << "never more than its bytes";
    EXPECT_EQ(q.DevicePositionMs(9000, 200), 0u);
    EXPECT_EQ(q.StreamBytes(), 1300);
    q.RestartStream();
    EXPECT_EQ(q.DevicePositionMs(800, 0), 500u)
        << "a new stream does not count the old one's bytes";
}
