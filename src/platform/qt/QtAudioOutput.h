// QtAudioOutput: one audio output of the system for one PCM format, on a Qt
// audio sink in pull mode, that plays the buffers of one wave-out device at a
// time and can stay open from one device to the next. The sink opens the
// system's stream at the first write and keeps it: when everything written
// has been heard the sink is suspended (its stream paused, no timer running),
// and the next write resumes it. The stream closes with the object.
//
// When a buffer has been heard is the PlaybackQueue's rule, with the sink's
// idle state as running dry. Everything runs on the user-interface thread;
// the sink reads the buffers through a small QIODevice, a looped buffer again
// for each pass. Qt's sink hands the system 20 ms at a time.
#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <functional>
#include <memory>

#include "platform/AudioOutput.h"
#include "platform/PlaybackQueue.h"

class QAudioSink;
class QTimer;

namespace plat {

class QtAudioOutput : public AudioOutput {
public:
    QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format);
    ~QtAudioOutput() override;

    const QAudioDevice& Device() const { return device_; }
    const QAudioFormat& Format() const { return format_; }

    bool Write(WaveHeader& header) override;
    void Reset() override;
    void BreakLoop() override { queue_.BreakLoop(); }
    bool Busy() const override { return queue_.Busy(); }
    // What the sink reports it has played (processedUSecs) bounds the position.
    uint32_t PositionMs() const override;
    int StreamOpens() const override { return streamOpens_; }
    bool Suspended() const override;

protected:
    void DeviceAttached() override { queue_.StartDevice(); }

private:
    class Feeder;
    bool OpenStream();
    void CloseStream();
    // Copies up to Max bytes of the queued buffers (whole frames) to Out for
    // the sink; returns how many.
    qint64 Produce(char* out, qint64 max);
    // Ends the buffers that have been heard, pauses the stream when nothing
    // is left, and sets the timer for the next check.
    void Pump();

    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<Feeder> feeder_;
    std::unique_ptr<QAudioSink> sink_; // reads from feeder_; destroyed first
    std::unique_ptr<QTimer> timer_;    // single shot: the next Pump
    QElapsedTimer clock_;              // since the object was made
    PlaybackQueue queue_;
    int streamOpens_ = 0;
};

} // namespace plat
