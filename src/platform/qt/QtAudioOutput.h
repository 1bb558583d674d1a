// QtAudioOutput: one audio output of the system for one PCM format, on a Qt
// audio sink in pull mode, that plays the buffers of one wave-out device at a
// time and can stay open from one device to the next. The sink opens the
// system's stream at the first write and keeps it: when everything written
// has been heard the sink is suspended (its stream paused, no timer running),
// and the next write resumes it. The stream closes with the object.
//
// A buffer counts as heard once the sink has run out of data after its last
// byte and as much time has passed since that byte's run of playback began
// as the audio up to it lasts, plus a margin for the output's latency (the
// sink goes idle before its last samples play, so idleness alone is not
// enough). Everything runs on the user-interface thread; the sink reads the
// buffers through a small QIODevice, a looped buffer again for each pass.
#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <deque>
#include <functional>
#include <memory>

#include "platform/WaveTypes.h"

class QAudioSink;
class QTimer;

namespace plat {

class QtAudioOutput {
public:
    QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format);
    ~QtAudioOutput();
    QtAudioOutput(const QtAudioOutput&) = delete;
    QtAudioOutput& operator=(const QtAudioOutput&) = delete;

    const QAudioDevice& Device() const { return device_; }
    const QAudioFormat& Format() const { return format_; }

    // The wave-out device that the output plays for, by its Heard handler:
    // called for every buffer once it has been heard or ended by Reset, with
    // the header marked done. At most one device is attached at a time.
    bool Attached() const { return static_cast<bool>(heard_); }
    void Attach(std::function<void(WaveHeader*)> heard);
    // Ends the attached device's buffers (as Reset) and forgets it; the
    // output stays open for the next device.
    void Detach();

    // Queues a buffer behind the others; false when the system's stream
    // cannot be opened.
    bool Write(WaveHeader& header);
    // Ends playback at once: every buffer not yet heard is ended.
    void Reset();
    // The buffer being played ends its loop after the current pass.
    void BreakLoop();
    // Buffers written and not yet heard.
    bool Busy() const { return !queue_.empty() || !fed_.empty(); }
    // Milliseconds of the attached device's audio played since its first
    // write: what the sink reports it has played (processedUSecs) beyond the
    // bytes it had taken before the device's first, never more than the
    // time since that first byte was taken nor than the device's bytes.
    uint32_t PositionMs() const;

    // How often the system's stream was opened (the cost an output kept open
    // saves), and whether it is open and paused now.
    int StreamOpens() const { return streamOpens_; }
    bool Suspended() const;

    // Extra time after the estimated end of a buffer before it counts as heard.
    static constexpr int kLatencyMarginMs = 60;

private:
    class Feeder;
    struct Fed {
        WaveHeader* header;
        qint64 heardAtMs;   // clock time when its last byte has played, latency aside
        qint64 drainedAtMs; // clock time when the sink had nothing more; -1 until then
    };
    bool OpenStream();
    void CloseStream();
    // Copies up to Max bytes of the queued buffers (whole frames) to Out for
    // the sink; returns how many.
    qint64 Produce(char* out, qint64 max);
    // Ends the buffers that have been heard, pauses the stream when nothing
    // is left, and sets the timer for the next check.
    void Pump();
    void Done(WaveHeader* header);
    qint64 BytesToMs(qint64 bytes) const;

    QAudioDevice device_;
    QAudioFormat format_;
    std::function<void(WaveHeader*)> heard_;
    std::unique_ptr<Feeder> feeder_;
    std::unique_ptr<QAudioSink> sink_; // reads from feeder_; destroyed first
    std::unique_ptr<QTimer> timer_;    // single shot: the next Pump
    QElapsedTimer clock_;              // since the object was made
    std::deque<WaveHeader*> queue_;    // written, not fully given to the sink; the head is read
    uint32_t passesLeft_ = 0;          // of the head
    uint32_t offset_ = 0;              // into the head's current pass
    std::deque<Fed> fed_;              // fully given to the sink, not yet heard
    // The current run of playback: from when the sink took data after having
    // played out everything before, and the bytes it took since.
    qint64 runStartMs_ = 0;
    qint64 runBytes_ = 0;
    // The attached device's playback: when its first byte plays, and its bytes.
    qint64 deviceStartMs_ = -1;
    qint64 deviceBytes_ = 0;
    // Bytes the sink has taken since its stream opened, and how many of them
    // it had taken before the attached device's first.
    qint64 sinkBytes_ = 0;
    qint64 deviceSinkStart_ = -1;
    int streamOpens_ = 0;
};

} // namespace plat
