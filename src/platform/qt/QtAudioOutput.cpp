// An audio output on a Qt audio sink, kept open from one sound to the next.
#include "platform/qt/QtAudioOutput.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QTimer>
#include <algorithm>

namespace plat {

// The sink's source: reads the output's queued buffers; nothing once the
// output has let go of it.
class QtAudioOutput::Feeder : public QIODevice {
public:
    explicit Feeder(QtAudioOutput& owner) : owner_(&owner) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override {
        return !owner_ || !owner_->queue_.HasData() ? 0 : owner_->format_.bytesForDuration(100'000);
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

int Until(qint64 atMs, qint64 nowMs) {
    return static_cast<int>(std::clamp<qint64>(atMs - nowMs, 0, 60'000));
}
} // namespace

QtAudioOutput::QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format)
    : device_(device), format_(format), timer_(std::make_unique<QTimer>()),
      queue_(static_cast<uint32_t>(format.bytesPerFrame()),
             static_cast<uint32_t>(format.sampleRate())) {
    timer_->setSingleShot(true);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Pump(); });
    clock_.start();
}

QtAudioOutput::~QtAudioOutput() {
    ForgetDevice();
    CloseStream();
}

bool QtAudioOutput::OpenStream() {
    feeder_ = std::make_unique<Feeder>(*this);
    queue_.RestartStream();
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
    // A stream that has stopped (Reset stops it; so does a sound server that
    // went away) is opened again.
    if (sink_ && sink_->state() == QAudio::StoppedState)
        CloseStream();
    if (!sink_ && !OpenStream())
        return false;
    queue_.Push(header);
    if (sink_->state() == QAudio::SuspendedState)
        sink_->resume();
    // A sink that ran out of data reads again only when told there is more.
    emit feeder_->readyRead();
    return true;
}

qint64 QtAudioOutput::Produce(char* out, qint64 max) {
    const qint64 now = clock_.elapsed();
    const auto taken = static_cast<qint64>(
        queue_.Take(reinterpret_cast<uint8_t*>(out), static_cast<std::size_t>(max), now));
    // The first buffer given whole sets the time of the next look.
    if (!timer_->isActive() && queue_.LatestHeardMs() >= 0)
        timer_->start(Until(queue_.LatestHeardMs(), now));
    return taken;
}

void QtAudioOutput::Pump() {
    const qint64 now = clock_.elapsed();
    const bool dry =
        !sink_ || sink_->state() == QAudio::IdleState || sink_->state() == QAudio::StoppedState;
    int64_t next = -1;
    Heard(queue_.TakeHeard(now, dry, next));
    if (!queue_.Busy()) {
        // Nothing left: the stream pauses, and no timer runs until the next write.
        timer_->stop();
        if (sink_ && (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState))
            sink_->suspend();
        return;
    }
    // Buffers still being given to the sink set the timer when they are given whole.
    if (next >= 0)
        timer_->start(Until(next, now));
}

void QtAudioOutput::Reset() {
    timer_->stop();
    const std::vector<WaveHeader*> ended = queue_.TakeAll();
    if (!ended.empty() && sink_) {
        // What the stream still holds is dropped, not played at the next
        // write: Qt's reset stops the sink, and the next write opens it again.
        sink_->reset();
        queue_.RestartRun();
    }
    Heard(ended);
}

uint32_t QtAudioOutput::PositionMs() const {
    const qint64 played = sink_ ? format_.bytesForDuration(sink_->processedUSecs()) : -1;
    return queue_.DevicePositionMs(clock_.elapsed(), played);
}

} // namespace plat
