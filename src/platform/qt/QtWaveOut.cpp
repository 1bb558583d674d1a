// A wave-out device on a Qt audio sink.
#include "platform/qt/QtWaveOut.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <cstring>

namespace plat {

namespace {
constexpr int kPumpMs = 10; // how often finished buffers are looked for
// Fallback when the sink never reports that it ran out of data.
constexpr int kDrainTimeoutMs = 500;
} // namespace

// The sink's source: reads the device's queued buffers.
class QtWaveOut::Feeder : public QIODevice {
public:
    explicit Feeder(QtWaveOut& owner) : owner_(owner) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return owner_.queue_.empty() ? 0 : owner_.format_.bytesForDuration(100'000);
    }

protected:
    qint64 readData(char* data, qint64 max) override { return owner_.Produce(data, max); }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QtWaveOut& owner_;
};

QtWaveOut::QtWaveOut(const QAudioDevice& device, const QAudioFormat& format,
                     std::weak_ptr<WaveOutWindow> window)
    : device_(device), format_(format), window_(std::move(window)),
      feeder_(std::make_unique<Feeder>(*this)), timer_(std::make_unique<QTimer>()) {
    feeder_->open(QIODevice::ReadOnly);
    timer_->setInterval(kPumpMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Pump(); });
}

QtWaveOut::~QtWaveOut() {
    if (open_) {
        Reset();
        Close();
    }
    StopSink();
}

qint64 QtWaveOut::BytesToMs(qint64 bytes) const {
    const qint64 perSecond = qint64{format_.bytesPerFrame()} * format_.sampleRate();
    return perSecond > 0 ? bytes * 1000 / perSecond : 0;
}

bool QtWaveOut::StartSink() {
    // The sink keeps its own buffer size: small sizes stall the PulseAudio backend.
    sink_ = std::make_unique<QAudioSink>(device_, format_);
    clock_.start();
    bytesFed_ = 0;
    sink_->start(feeder_.get());
    if (sink_->error() == QAudio::OpenError) {
        sink_.reset();
        return false;
    }
    timer_->start();
    return true;
}

void QtWaveOut::StopSink() {
    timer_->stop();
    if (sink_) {
        sink_->reset();
        sink_->stop();
    }
    sink_.reset();
}

bool QtWaveOut::Write(WaveHeader& header) {
    if (!open_ || !(header.flags & kWhdrPrepared) || (header.flags & kWhdrInQueue))
        return false;
    const bool idle = queue_.empty();
    header.flags = (header.flags & ~kWhdrDone) | kWhdrInQueue;
    queue_.push_back(&header);
    if (idle) {
        passesLeft_ = Passes(header);
        offset_ = 0;
    }
    if (!sink_ && !StartSink()) {
        queue_.pop_back();
        header.flags &= ~kWhdrInQueue;
        return false;
    }
    return true;
}

qint64 QtWaveOut::Produce(char* out, qint64 max) {
    const int frame = format_.bytesPerFrame();
    max -= max % frame;
    qint64 produced = 0;
    while (!queue_.empty()) {
        WaveHeader* head = queue_.front();
        const uint32_t length = head->bufferLength - head->bufferLength % frame;
        if (offset_ < length) {
            if (produced >= max)
                break;
            const qint64 n = std::min<qint64>(max - produced, length - offset_);
            std::memcpy(out + produced, head->data + offset_, static_cast<std::size_t>(n));
            offset_ += static_cast<uint32_t>(n);
            produced += n;
            bytesFed_ += n;
            if (offset_ < length)
                continue;
        }
        if (passesLeft_ > 1) {
            --passesLeft_;
            offset_ = 0;
            continue;
        }
        fed_.push_back({head, bytesFed_, -1});
        queue_.pop_front();
        offset_ = 0;
        passesLeft_ = queue_.empty() ? 0 : Passes(*queue_.front());
    }
    return produced;
}

void QtWaveOut::Pump() {
    if (!sink_)
        return;
    const qint64 now = clock_.elapsed();
    const bool starved = queue_.empty() && (sink_->state() == QAudio::IdleState ||
                                            sink_->state() == QAudio::StoppedState);
    while (!fed_.empty()) {
        Fed& f = fed_.front();
        if (f.drainedAtMs < 0 && starved)
            f.drainedAtMs = now;
        const qint64 due = BytesToMs(f.endByte) + kLatencyMarginMs;
        const bool heard = f.drainedAtMs >= 0
                               ? now >= std::max(due, f.drainedAtMs + kLatencyMarginMs)
                               : now >= due + kDrainTimeoutMs;
        if (!heard)
            break;
        WaveHeader* header = f.header;
        fed_.pop_front();
        Done(header);
    }
    if (queue_.empty() && fed_.empty())
        StopSink();
}

void QtWaveOut::Done(WaveHeader* header) {
    header->flags = (header->flags & ~kWhdrInQueue) | kWhdrDone;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || window_.expired())
        return;
    // Posted, never called: the receiver may be inside a call into this device.
    const WaveDoneMessage message{Id(), header};
    QMetaObject::invokeMethod(
        app, [target = window_, message] { WaveOutWindow::Deliver(target, message); },
        Qt::QueuedConnection);
}

void QtWaveOut::Reset() {
    StopSink();
    std::deque<WaveHeader*> ended;
    for (const Fed& f : fed_)
        ended.push_back(f.header);
    for (WaveHeader* header : queue_)
        ended.push_back(header);
    fed_.clear();
    queue_.clear();
    passesLeft_ = 0;
    offset_ = 0;
    for (WaveHeader* header : ended)
        Done(header);
}

bool QtWaveOut::Close() {
    if (!queue_.empty() || !fed_.empty())
        return false;
    StopSink();
    open_ = false;
    return true;
}

bool QtWaveOut::BreakLoop() {
    if (!queue_.empty())
        passesLeft_ = 1;
    return true;
}

bool QtWaveOut::GetPosition(WavePosition& position) {
    position.unit = WavePosition::Unit::Milliseconds;
    const qint64 ms = sink_ ? std::min(clock_.elapsed(), BytesToMs(bytesFed_)) : 0;
    position.value = static_cast<uint32_t>(std::max<qint64>(0, ms));
    return true;
}

} // namespace plat
