// QtAudioOutput: one audio output of the system for one PCM format, on a Qt
// audio sink in pull mode, that plays the buffers of one wave-out device at a
// time and can stay open from one device to the next. The sink opens the
// system's stream at the first write and keeps it: when everything written
// has been heard the sink is suspended (its stream paused, no timer running),
// and the next write resumes it. The stream closes with the object.
//
// When a buffer has been heard is the PlaybackQueue's rule (QueuedAudioOutput),
// with the sink's idle state as running dry. Everything runs on the
// user-interface thread; the sink reads the buffers through a small
// QIODevice, a looped buffer again for each pass. Qt's sink hands the system
// 20 ms at a time.
#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>

#include "platform/qt/QueuedAudioOutput.h"

class QAudioSink;

namespace plat {

class QtAudioOutput : public QueuedAudioOutput {
public:
    QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format);
    ~QtAudioOutput() override;

    const QAudioDevice& Device() const { return device_; }
    const QAudioFormat& Format() const { return format_; }

    bool Write(WaveHeader& header) override;
    bool Suspended() const override;

protected:
    // No sink, or one idle or stopped.
    bool Drained() const override;
    // The sink is suspended.
    void Pause() override;
    // Qt's reset stops the sink; the next write opens it again.
    bool DropHeld() override;
    // What the sink reports it has played (processedUSecs).
    int64_t PlayedBytes() const override;

private:
    class Feeder;
    bool OpenStream();
    void CloseStream();
    // Copies up to Max bytes of the queued buffers (whole frames) to Out for
    // the sink; returns how many.
    qint64 Produce(char* out, qint64 max);

    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<Feeder> feeder_;
    std::unique_ptr<QAudioSink> sink_; // reads from feeder_; destroyed first
};

} // namespace plat
