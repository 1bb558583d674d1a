// An audio output on a Qt audio sink, kept open from one sound to the next.
#include "platform/qt/QtAudioOutput.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QTimer>
#include <algorithm>
#include <cstring>

#include "platform/WaveOut.h"

namespace plat {

namespace {
// Fallback when the sink never reports that it ran out of data.
constexpr int kDrainTimeoutMs = 500;
} // namespace

// The sink's source: reads the output's queued buffers; nothing once the
// output has let go of it.
class QtAudioOutput::Feeder : public QIODevice {
public:
    explicit Feeder(QtAudioOutput& owner) : owner_(&owner) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return !owner_ || owner_->queue_.empty() ? 0 : owner_->format_.bytesForDuration(100'000);
    }
    void Forget() { owner_ = nullptr; }

protected:
    qint64 readData(char* data, qint64 max) override {
        return owner_ ? owner_->Produce(data, max) : 0;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QtAudioOutput* owner_;
};

namespace {
// Qt's audio sink runs the event loop while it is destroyed, which would hand
// out posted done messages inside a call into a device: a sink and its source
// go from the event loop instead.
void DeleteFromEventLoop(std::unique_ptr<QObject> object) {
    if (QCoreApplication::instance())
        object.release()->deleteLater();
}
} // namespace

QtAudioOutput::QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format)
    : device_(device), format_(format), timer_(std::make_unique<QTimer>()) {
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Pump(); });
    clock_.start();
}

QtAudioOutput::~QtAudioOutput() {
    heard_ = nullptr;
    CloseStream();
}

void QtAudioOutput::Attach(std::function<void(WaveHeader*)> heard) {
    heard_ = std::move(heard);
    deviceStartMs_ = -1;
    deviceBytes_ = 0;
    deviceSinkStart_ = -1;
}

void QtAudioOutput::Detach() {
    Reset();
    heard_ = nullptr;
}

qint64 QtAudioOutput::BytesToMs(qint64 bytes) const {
    const qint64 perSecond = qint64{format_.bytesPerFrame()} * format_.sampleRate();
    return perSecond > 0 ? bytes * 1000 / perSecond : 0;
}

bool QtAudioOutput::OpenStream() {
    feeder_ = std::make_unique<Feeder>(*this);
    sinkBytes_ = 0;
    deviceSinkStart_ = -1; // the device's bytes taken by a stream now closed are not counted
    feeder_->open(QIODevice::ReadOnly);
    // The sink keeps its own buffer size: small sizes stall the PulseAudio backend.
    sink_ = std::make_unique<QAudioSink>(device_, format_);
    // Out of data: the buffers given to it may be heard soon. Looked at after
    // the sink's own call, which must not be re-entered.
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, timer_.get(),
                     [this](QAudio::State state) {
                         if (state == QAudio::IdleState)
                             timer_->start(0);
                     });
    ++streamOpens_;
    sink_->start(feeder_.get());
    if (sink_->error() == QAudio::OpenError) {
        CloseStream();
        return false;
    }
    return true;
}

void QtAudioOutput::CloseStream() {
    timer_->stop();
    if (sink_) {
        sink_->disconnect();
        sink_->reset();
        sink_->stop();
        DeleteFromEventLoop(std::move(sink_));
    }
    if (feeder_) {
        feeder_->Forget();
        DeleteFromEventLoop(std::move(feeder_));
    }
}

bool QtAudioOutput::Suspended() const {
    return sink_ && sink_->state() == QAudio::SuspendedState;
}

bool QtAudioOutput::Write(WaveHeader& header) {
    const bool idle = queue_.empty();
    queue_.push_back(&header);
    if (idle) {
        passesLeft_ = WaveOut::Passes(header);
        offset_ = 0;
    }
    // A stream that has stopped (Reset stops it; so does a sound server that
    // went away) is opened again.
    if (sink_ && sink_->state() == QAudio::StoppedState)
        CloseStream();
    bool ok = true;
    if (!sink_)
        ok = OpenStream();
    else if (sink_->state() == QAudio::SuspendedState)
        sink_->resume();
    if (!ok) {
        queue_.pop_back();
        return false;
    }
    // A sink that ran out of data reads again only when told there is more.
    emit feeder_->readyRead();
    return true;
}

qint64 QtAudioOutput::Produce(char* out, qint64 max) {
    const int frame = format_.bytesPerFrame();
    max -= max % frame;
    const qint64 now = clock_.elapsed();
    // Everything given before has played: a new run of playback starts.
    if (now >= runStartMs_ + BytesToMs(runBytes_)) {
        runStartMs_ = now;
        runBytes_ = 0;
    }
    qint64 produced = 0;
    bool fed = false;
    while (!queue_.empty()) {
        WaveHeader* head = queue_.front();
        const uint32_t length = head->bufferLength - head->bufferLength % frame;
        if (offset_ < length) {
            if (produced >= max)
                break;
            const qint64 n = std::min<qint64>(max - produced, length - offset_);
            std::memcpy(out + produced, head->data + offset_, static_cast<std::size_t>(n));
            if (deviceStartMs_ < 0) {
                deviceStartMs_ = runStartMs_ + BytesToMs(runBytes_);
                deviceSinkStart_ = sinkBytes_ + produced;
            }
            offset_ += static_cast<uint32_t>(n);
            produced += n;
            runBytes_ += n;
            deviceBytes_ += n;
            if (offset_ < length)
                continue;
        }
        if (passesLeft_ > 1) {
            --passesLeft_;
            offset_ = 0;
            continue;
        }
        fed_.push_back({head, runStartMs_ + BytesToMs(runBytes_), -1});
        fed = true;
        queue_.pop_front();
        offset_ = 0;
        passesLeft_ = queue_.empty() ? 0 : WaveOut::Passes(*queue_.front());
    }
    // The first buffer given whole sets the time of the next look.
    if (fed && !timer_->isActive())
        timer_->start(static_cast<int>(std::clamp<qint64>(
            fed_.front().heardAtMs + kLatencyMarginMs + kDrainTimeoutMs - now, 0, 60'000)));
    sinkBytes_ += produced;
    return produced;
}

void QtAudioOutput::Pump() {
    const qint64 now = clock_.elapsed();
    const bool starved = queue_.empty() && (!sink_ || sink_->state() == QAudio::IdleState ||
                                            sink_->state() == QAudio::StoppedState);
    qint64 next = -1;
    while (!fed_.empty()) {
        Fed& f = fed_.front();
        if (f.drainedAtMs < 0 && starved)
            f.drainedAtMs = now;
        const qint64 due = f.heardAtMs + kLatencyMarginMs;
        const qint64 heardAt = f.drainedAtMs >= 0 ? std::max(due, f.drainedAtMs + kLatencyMarginMs)
                                                  : due + kDrainTimeoutMs;
        if (now < heardAt) {
            next = heardAt;
            break;
        }
        WaveHeader* header = f.header;
        fed_.pop_front();
        Done(header);
    }
    if (!Busy()) {
        // Nothing left: the stream pauses, and no timer runs until the next write.
        timer_->stop();
        if (sink_ && (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState))
            sink_->suspend();
        return;
    }
    // Buffers still being given to the sink set the timer when they are given whole.
    if (next >= 0)
        timer_->start(static_cast<int>(std::clamp<qint64>(next - now, 0, 60'000)));
}

void QtAudioOutput::Done(WaveHeader* header) {
    header->flags = (header->flags & ~kWhdrInQueue) | kWhdrDone;
    if (heard_)
        heard_(header);
}

void QtAudioOutput::Reset() {
    std::deque<WaveHeader*> ended;
    for (const Fed& f : fed_)
        ended.push_back(f.header);
    for (WaveHeader* header : queue_)
        ended.push_back(header);
    fed_.clear();
    queue_.clear();
    passesLeft_ = 0;
    offset_ = 0;
    timer_->stop();
    if (!ended.empty() && sink_) {
        // What the stream still holds is dropped, not played at the next
        // write: Qt's reset stops the sink, and the next write opens it again.
        sink_->reset();
        runStartMs_ = runBytes_ = 0;
    }
    for (WaveHeader* header : ended)
        Done(header);
}

void QtAudioOutput::BreakLoop() {
    if (!queue_.empty())
        passesLeft_ = 1;
}

uint32_t QtAudioOutput::PositionMs() const {
    if (deviceStartMs_ < 0)
        return 0;
    qint64 ms = std::min(clock_.elapsed() - deviceStartMs_, BytesToMs(deviceBytes_));
    if (sink_ && deviceSinkStart_ >= 0) {
        const qint64 played = format_.bytesForDuration(sink_->processedUSecs()) - deviceSinkStart_;
        ms = std::min(ms, BytesToMs(std::max<qint64>(0, played)));
    }
    return static_cast<uint32_t>(std::max<qint64>(0, ms));
}

} // namespace plat
