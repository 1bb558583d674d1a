// QueuedAudioOutput: what the system's audio outputs (QtAudioOutput,
// PulseAudioOutput) share. The buffers wait in a PlaybackQueue on the
// output's own clock, and a single-shot timer on the user-interface thread's
// event loop looks at them when one may have been heard (Pump): the buffers
// heard go back to the device, the stream pauses once nothing is left, and
// the timer is set for the next look. Reset ends every buffer and has the
// stream drop what it still holds.
//
// A derived output feeds its stream from the queue and tells what its stream
// has done through the hooks below; everything runs on the user-interface
// thread.
#pragma once
#include <QElapsedTimer>
#include <cstdint>
#include <memory>

#include "platform/AudioOutput.h"
#include "platform/PlaybackQueue.h"

class QTimer;

namespace plat {

class QueuedAudioOutput : public AudioOutput {
public:
    ~QueuedAudioOutput() override;

    void Reset() override;
    void BreakLoop() override { queue_.BreakLoop(); }
    bool Busy() const override { return queue_.Busy(); }
    // What the stream reports it has played (PlayedBytes) bounds the position.
    uint32_t PositionMs() const override;
    int StreamOpens() const override { return streamOpens_; }

protected:
    // Frames of BytesPerFrame bytes, FramesPerSecond of them a second.
    QueuedAudioOutput(uint32_t bytesPerFrame, uint32_t framesPerSecond);

    void DeviceAttached() override { queue_.StartDevice(); }

    // Milliseconds on the output's clock, which starts with the object.
    int64_t NowMs() const { return clock_.elapsed(); }
    // A stream is being opened: it is counted, and its bytes played start
    // again. Called before the stream takes its first byte.
    void StreamOpening();

    // The next look: as soon as the event loop runs; when the first buffer
    // given whole may have been heard, unless a look is set already (after
    // taking bytes at NowMs); or none until one is asked for again.
    void LookSoon();
    void LookWhenFirstHeard(int64_t nowMs);
    void StopLooking();

    // The look: ends the buffers that have been heard, pauses the stream when
    // nothing is left, and sets the timer for the next look.
    virtual void Pump();

    // Whether the stream has played out everything it took.
    virtual bool Drained() const = 0;
    // Nothing is left to play: the stream pauses until the next write.
    virtual void Pause() = 0;
    // Reset ended buffers: the stream drops what it still holds instead of
    // playing it at the next write. False when no stream is open.
    virtual bool DropHeld() = 0;
    // Bytes the stream reports it has played since it opened; -1 when it
    // cannot tell.
    virtual int64_t PlayedBytes() const = 0;

    PlaybackQueue queue_;

private:
    std::unique_ptr<QTimer> timer_; // single shot: the next Pump
    QElapsedTimer clock_;           // since the object was made
    int streamOpens_ = 0;
};

} // namespace plat
