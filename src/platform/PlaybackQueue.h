// PlaybackQueue: the buffers an audio output plays, in order, the bytes it
// takes from them for the system's stream, and when each buffer has been
// heard. Times are milliseconds on the output's own clock, given by the
// caller, so the rules run without a sound server.
//
// A buffer counts as heard once the output has run out of data after its
// last byte and as much time has passed since that byte's run of playback
// began as the audio up to it lasts, plus a margin for the output's latency
// (an output runs dry before its last samples play, so running dry alone is
// not enough); when the output never reports running dry, a while later.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "platform/WaveTypes.h"

namespace plat {

class PlaybackQueue {
public:
    // Extra time after the estimated end of a buffer before it counts as heard.
    static constexpr int64_t kLatencyMarginMs = 60;
    // Further time after that when the output never reports running dry.
    static constexpr int64_t kDrainTimeoutMs = 500;

    PlaybackQueue(uint32_t bytesPerFrame, uint32_t framesPerSecond);

    // Queues a buffer behind the others; the caller keeps it alive until it
    // comes back from TakeHeard or TakeAll.
    void Push(WaveHeader& header);
    // Buffers with bytes not yet taken.
    bool HasData() const { return !queue_.empty(); }
    // Buffers pushed and not yet heard.
    bool Busy() const { return !queue_.empty() || !given_.empty(); }
    // The buffer being taken ends its loop after the current pass.
    void BreakLoop();

    // Copies up to Max bytes (whole frames) of the queued buffers to Out,
    // taken by the output at NowMs; returns how many.
    std::size_t Take(uint8_t* out, std::size_t max, int64_t nowMs);
    // When the first buffer given whole has been heard at the latest; -1
    // when none is given whole.
    int64_t LatestHeardMs() const;
    // The buffers given whole that have been heard by NowMs, in order, marked
    // done. Drained: the output has played out everything it took. Next is
    // set to when to look again, -1 when no buffer is given whole.
    std::vector<WaveHeader*> TakeHeard(int64_t nowMs, bool drained, int64_t& next);
    // Every buffer, in order, marked done; nothing is left.
    std::vector<WaveHeader*> TakeAll();

    // The output dropped what it held: the next byte taken starts a new run.
    void RestartRun();
    // The output opened a new stream: its count of bytes played starts again.
    void RestartStream();
    // A new device is attached: its position starts at its first byte.
    void StartDevice();
    // Milliseconds of the device's audio played: the output's count of bytes
    // played since its stream opened (PlayedBytes, -1 when it cannot tell)
    // beyond those it had taken before the device's first, never more than the
    // time since that first byte was taken nor than the device's bytes.
    uint32_t DevicePositionMs(int64_t nowMs, int64_t playedBytes) const;

    // Bytes taken since the stream opened.
    int64_t StreamBytes() const { return streamBytes_; }
    int64_t BytesToMs(int64_t bytes) const;

private:
    struct Given {
        WaveHeader* header;
        int64_t heardAtMs;   // when its last byte has played, latency aside
        int64_t drainedAtMs; // when the output had played out everything; -1 until then
    };
    static WaveHeader* MarkDone(WaveHeader* header);

    uint32_t frame_;
    uint32_t bytesPerSecond_;
    std::deque<WaveHeader*> queue_; // pushed, not fully taken; the head is being taken
    uint32_t passesLeft_ = 0;       // of the head
    uint32_t offset_ = 0;           // into the head's current pass
    std::deque<Given> given_;       // fully taken, not yet heard
    // The current run of playback: from when the output took data after
    // having played out everything before, and the bytes it took since.
    int64_t runStartMs_ = 0;
    int64_t runBytes_ = 0;
    // The device's playback: when its first byte plays, and its bytes.
    int64_t deviceStartMs_ = -1;
    int64_t deviceBytes_ = 0;
    // Bytes taken since the stream opened, and how many before the device's first.
    int64_t streamBytes_ = 0;
    int64_t deviceStreamStart_ = -1;
};

} // namespace plat
