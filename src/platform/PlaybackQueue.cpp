// The buffers of an audio output and when each has been heard.
#include "platform/PlaybackQueue.h"

#include <algorithm>
#include <cstring>

#include "platform/WaveOut.h"

namespace plat {

PlaybackQueue::PlaybackQueue(uint32_t bytesPerFrame, uint32_t framesPerSecond)
    : frame_(std::max<uint32_t>(1, bytesPerFrame)),
      bytesPerSecond_(bytesPerFrame * framesPerSecond) {}

int64_t PlaybackQueue::BytesToMs(int64_t bytes) const {
    return bytesPerSecond_ > 0 ? bytes * 1000 / bytesPerSecond_ : 0;
}

void PlaybackQueue::Push(WaveHeader& header) {
    const bool idle = queue_.empty();
    queue_.push_back(&header);
    if (idle) {
        passesLeft_ = WaveOut::Passes(header);
        offset_ = 0;
    }
}

void PlaybackQueue::BreakLoop() {
    if (!queue_.empty())
        passesLeft_ = 1;
}

std::size_t PlaybackQueue::Take(uint8_t* out, std::size_t max, int64_t nowMs) {
    max -= max % frame_;
    // Everything given before has played: a new run of playback starts.
    if (nowMs >= runStartMs_ + BytesToMs(runBytes_)) {
        runStartMs_ = nowMs;
        runBytes_ = 0;
    }
    std::size_t taken = 0;
    while (!queue_.empty()) {
        WaveHeader* head = queue_.front();
        const uint32_t length = head->bufferLength - head->bufferLength % frame_;
        if (offset_ < length) {
            if (taken >= max)
                break;
            const std::size_t n = std::min<std::size_t>(max - taken, length - offset_);
            std::memcpy(out + taken, head->data + offset_, n);
            if (deviceStartMs_ < 0) {
                deviceStartMs_ = runStartMs_ + BytesToMs(runBytes_);
                deviceStreamStart_ = streamBytes_ + static_cast<int64_t>(taken);
            }
            offset_ += static_cast<uint32_t>(n);
            taken += n;
            runBytes_ += static_cast<int64_t>(n);
            deviceBytes_ += static_cast<int64_t>(n);
            if (offset_ < length)
                continue;
        }
        if (passesLeft_ > 1) {
            --passesLeft_;
            offset_ = 0;
            continue;
        }
        given_.push_back({head, runStartMs_ + BytesToMs(runBytes_), -1});
        queue_.pop_front();
        offset_ = 0;
        passesLeft_ = queue_.empty() ? 0 : WaveOut::Passes(*queue_.front());
    }
    streamBytes_ += static_cast<int64_t>(taken);
    return taken;
}

int64_t PlaybackQueue::LatestHeardMs() const {
    return given_.empty() ? -1 : given_.front().heardAtMs + kLatencyMarginMs + kDrainTimeoutMs;
}

std::vector<WaveHeader*> PlaybackQueue::TakeHeard(int64_t nowMs, bool drained, int64_t& next) {
    std::vector<WaveHeader*> heard;
    next = -1;
    // Running dry counts for everything taken, not while bytes are left to take.
    if (drained && queue_.empty())
        for (Given& g : given_)
            if (g.drainedAtMs < 0)
                g.drainedAtMs = nowMs;
    while (!given_.empty()) {
        const Given& g = given_.front();
        const int64_t due = g.heardAtMs + kLatencyMarginMs;
        const int64_t heardAt = g.drainedAtMs >= 0 ? std::max(due, g.drainedAtMs + kLatencyMarginMs)
                                                   : due + kDrainTimeoutMs;
        if (nowMs < heardAt) {
            next = heardAt;
            break;
        }
        heard.push_back(MarkDone(g.header));
        given_.pop_front();
    }
    return heard;
}

std::vector<WaveHeader*> PlaybackQueue::TakeAll() {
    std::vector<WaveHeader*> ended;
    for (const Given& g : given_)
        ended.push_back(MarkDone(g.header));
    for (WaveHeader* header : queue_)
        ended.push_back(MarkDone(header));
    given_.clear();
    queue_.clear();
    passesLeft_ = 0;
    offset_ = 0;
    return ended;
}

WaveHeader* PlaybackQueue::MarkDone(WaveHeader* header) {
    header->flags = (header->flags & ~kWhdrInQueue) | kWhdrDone;
    return header;
}

void PlaybackQueue::RestartRun() {
    runStartMs_ = 0;
    runBytes_ = 0;
}

void PlaybackQueue::RestartStream() {
    streamBytes_ = 0;
    deviceStreamStart_ = -1; // the device's bytes taken by a stream now closed are not counted
}

void PlaybackQueue::StartDevice() {
    deviceStartMs_ = -1;
    deviceBytes_ = 0;
    deviceStreamStart_ = -1;
}

uint32_t PlaybackQueue::DevicePositionMs(int64_t nowMs, int64_t playedBytes) const {
    if (deviceStartMs_ < 0)
        return 0;
    int64_t ms = std::min(nowMs - deviceStartMs_, BytesToMs(deviceBytes_));
    if (playedBytes >= 0 && deviceStreamStart_ >= 0)
        ms = std::min(ms, BytesToMs(std::max<int64_t>(0, playedBytes - deviceStreamStart_)));
    return static_cast<uint32_t>(std::max<int64_t>(0, ms));
}

} // namespace plat
