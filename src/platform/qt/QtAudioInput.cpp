// The microphone through Qt's audio source.
#include "platform/qt/QtAudioInput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QMediaDevices>
#include <cstring>
#include <vector>

namespace plat {

QtAudioInput::QtAudioInput() = default;

QtAudioInput::~QtAudioInput() {
    Stop();
}

bool QtAudioInput::Available(std::string* why) {
    if (!QMediaDevices::audioInputs().isEmpty())
        return true;
    if (why)
        *why = "no microphone";
    return false;
}

bool QtAudioInput::Start(Handlers handlers, std::string* why) {
    if (source_)
        return true;
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        if (why)
            *why = "no microphone";
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(kSampleRate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        if (why)
            *why = "the microphone does not record 48 kHz mono sound";
        return false;
    }
    handlers_ = std::move(handlers);
    source_ = std::make_unique<QAudioSource>(device, format);
    source_->setBufferSize(static_cast<qsizetype>(kSampleRate * 2 / 10));
    device_ = source_->start();
    if (!device_ || source_->error() != QAudio::NoError) {
        Stop();
        if (why)
            *why = "the microphone cannot be opened";
        return false;
    }
    QObject::connect(device_, &QIODevice::readyRead, source_.get(), [this] { Read(); });
    QObject::connect(
        source_.get(), &QAudioSource::stateChanged, source_.get(), [this](QAudio::State state) {
            if (state != QAudio::StoppedState || !source_ || source_->error() == QAudio::NoError)
                return;
            const auto ended = std::move(handlers_.Ended);
            Stop();
            if (ended)
                ended("the microphone went away");
        });
    return true;
}

void QtAudioInput::Stop() {
    if (source_) {
        source_->disconnect();
        if (device_)
            device_->disconnect();
        source_->stop();
        // Stop may come from the source's own signal: it goes once that returns.
        source_.release()->deleteLater();
    }
    device_ = nullptr;
    handlers_ = {};
}

void QtAudioInput::Read() {
    if (!device_)
        return;
    const QByteArray bytes = device_->readAll();
    const std::size_t count = static_cast<std::size_t>(bytes.size()) / 2;
    if (count == 0)
        return;
    std::vector<int16_t> samples(count);
    std::memcpy(samples.data(), bytes.constData(), count * 2);
    Deliver(handlers_, samples.data(), samples.size());
}

} // namespace plat
