// An audio output on a Qt audio sink, kept open from one sound to the next.
#include "platform/qt/QtAudioOutput.h"

#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QTimer>

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

// A stopped sink may still have a request (a pause, a flush) out to the
// sound server, whose answer comes on the server's thread to the sink
// object: it goes only once such answers have long come.
constexpr int kSinkGraceMs = 2000;

void DeleteSinkLater(std::unique_ptr<QAudioSink> sink) {
    if (!QCoreApplication::instance())
        return;
    QAudioSink* kept = sink.release();
    QTimer::singleShot(kSinkGraceMs, kept, &QObject::deleteLater);
}
} // namespace

QtAudioOutput::QtAudioOutput(const QAudioDevice& device, const QAudioFormat& format)
    : QueuedAudioOutput(static_cast<uint32_t>(format.bytesPerFrame()),
                        static_cast<uint32_t>(format.sampleRate())),
      device_(device), format_(format) {}

QtAudioOutput::~QtAudioOutput() {
    ForgetDevice();
    CloseStream();
}

bool QtAudioOutput::OpenStream() {
    feeder_ = std::make_unique<Feeder>(*this);
    StreamOpening();
    feeder_->open(QIODevice::ReadOnly);
    // The sink keeps its own buffer size: small sizes stall the PulseAudio backend.
    sink_ = std::make_unique<QAudioSink>(device_, format_);
    // Out of data: the buffers given to it may be heard soon. Looked at after
    // the sink's own call, which must not be re-entered.
    QObject::connect(sink_.get(), &QAudioSink::stateChanged, sink_.get(),
                     [this](QAudio::State state) {
                         if (state == QAudio::IdleState)
                             LookSoon();
                     });
    sink_->start(feeder_.get());
    if (sink_->error() == QAudio::OpenError) {
        CloseStream();
        return false;
    }
    return true;
}

void QtAudioOutput::CloseStream() {
    StopLooking();
    if (sink_) {
        sink_->disconnect();
        sink_->reset();
        sink_->stop();
        DeleteSinkLater(std::move(sink_));
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
    const int64_t now = NowMs();
    const auto taken = static_cast<qint64>(
        queue_.Take(reinterpret_cast<uint8_t*>(out), static_cast<std::size_t>(max), now));
    LookWhenFirstHeard(now);
    return taken;
}

bool QtAudioOutput::Drained() const {
    return !sink_ || sink_->state() == QAudio::IdleState || sink_->state() == QAudio::StoppedState;
}

void QtAudioOutput::Pause() {
    if (sink_ && (sink_->state() == QAudio::ActiveState || sink_->state() == QAudio::IdleState))
        sink_->suspend();
}

bool QtAudioOutput::DropHeld() {
    if (!sink_)
        return false;
    sink_->reset();
    return true;
}

int64_t QtAudioOutput::PlayedBytes() const {
    return sink_ ? format_.bytesForDuration(sink_->processedUSecs()) : -1;
}

} // namespace plat
