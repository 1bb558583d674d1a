// A wave-out device on Qt Multimedia: a QAudioSink in pull mode that reads
// the queued buffers through a small QIODevice on the user-interface thread
// (a looped buffer is read again for each pass). A buffer's done message is
// posted to the window through the event loop once the buffer has been
// heard: the sink has run out of data after its last byte and as much time
// has passed since the start as the audio up to that byte lasts, plus a
// margin for the output's latency. The sink goes idle before its last
// samples play, so idleness alone is not enough.
#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <deque>
#include <memory>

#include "platform/WaveOut.h"
#include "platform/WaveOutWindow.h"

class QAudioSink;
class QTimer;

namespace plat {

class QtWaveOut : public WaveOut {
public:
    // Window may be expired or empty: messages are then dropped.
    QtWaveOut(const QAudioDevice& device, const QAudioFormat& format,
              std::weak_ptr<WaveOutWindow> window);
    ~QtWaveOut() override;

    bool Write(WaveHeader& header) override;
    void Reset() override;
    bool Close() override;
    bool BreakLoop() override;
    bool GetPosition(WavePosition& position) override;

    // Extra time after the estimated end of a buffer before it counts as heard.
    static constexpr int kLatencyMarginMs = 60;

private:
    class Feeder;
    struct Fed {
        WaveHeader* header;
        qint64 endByte;     // bytes given to the sink up to the buffer's last byte
        qint64 drainedAtMs; // clock time when the sink had nothing more; -1 until then
    };
    bool StartSink();
    void StopSink();
    // Copies up to Max bytes of the queued buffers (whole frames) to Out for
    // the sink; returns how many.
    qint64 Produce(char* out, qint64 max);
    void Pump();
    void Done(WaveHeader* header);
    qint64 BytesToMs(qint64 bytes) const;

    QAudioDevice device_;
    QAudioFormat format_;
    std::weak_ptr<WaveOutWindow> window_;
    std::unique_ptr<Feeder> feeder_;
    std::unique_ptr<QAudioSink> sink_; // reads from feeder_; destroyed first
    std::unique_ptr<QTimer> timer_;
    QElapsedTimer clock_;           // since the sink started
    qint64 bytesFed_ = 0;           // since the sink started
    std::deque<WaveHeader*> queue_; // written, not fully given to the sink; the head is read
    uint32_t passesLeft_ = 0;       // of the head
    uint32_t offset_ = 0;           // into the head's current pass
    std::deque<Fed> fed_;           // fully given to the sink, not yet heard
    bool open_ = true;
};

} // namespace plat
