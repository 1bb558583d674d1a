// The queue and the timer that the system's audio outputs share.
#include "platform/qt/QueuedAudioOutput.h"

#include <QTimer>
#include <algorithm>

namespace plat {

namespace {
// Milliseconds from NowMs until AtMs, for the timer.
int Until(int64_t atMs, int64_t nowMs) {
    return static_cast<int>(std::clamp<int64_t>(atMs - nowMs, 0, 60'000));
}
} // namespace

QueuedAudioOutput::QueuedAudioOutput(uint32_t bytesPerFrame, uint32_t framesPerSecond)
    : queue_(bytesPerFrame, framesPerSecond), timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Pump(); });
    clock_.start();
}

QueuedAudioOutput::~QueuedAudioOutput() = default;

void QueuedAudioOutput::StreamOpening() {
    ++streamOpens_;
    queue_.RestartStream();
}

void QueuedAudioOutput::LookSoon() {
    timer_->start(0);
}

void QueuedAudioOutput::LookWhenFirstHeard(int64_t nowMs) {
    if (!timer_->isActive() && queue_.LatestHeardMs() >= 0)
        timer_->start(Until(queue_.LatestHeardMs(), nowMs));
}

void QueuedAudioOutput::StopLooking() {
    timer_->stop();
}

void QueuedAudioOutput::Pump() {
    const int64_t now = NowMs();
    int64_t next = -1;
    Heard(queue_.TakeHeard(now, Drained(), next));
    if (!queue_.Busy()) {
        // Nothing left: the stream pauses, and no timer runs until the next write.
        timer_->stop();
        Pause();
        return;
    }
    // Buffers still being given to the stream set the timer when they are given whole.
    if (next >= 0)
        timer_->start(Until(next, now));
}

void QueuedAudioOutput::Reset() {
    timer_->stop();
    const std::vector<WaveHeader*> ended = queue_.TakeAll();
    if (!ended.empty() && DropHeld())
        queue_.RestartRun();
    Heard(ended);
}

uint32_t QueuedAudioOutput::PositionMs() const {
    const int64_t played = PlayedBytes();
    return queue_.DevicePositionMs(NowMs(), played);
}

} // namespace plat
