// Qt Multimedia's audio outputs as the wave-out service.
#include "platform/qt/QtWaveOutService.h"

#include <QMediaDevices>

#include "platform/qt/QtAudioOutput.h"
#include "platform/qt/QtWaveOut.h"

namespace plat {

QtWaveOutService::QtWaveOutService() = default;
QtWaveOutService::~QtWaveOutService() = default;

int QtWaveOutService::DeviceCount() {
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

std::unique_ptr<WaveOut> QtWaveOutService::Open(const WaveFormat& format, WaveOutWindow* window) {
    if (format.formatTag != kWaveFormatPcm || format.channels == 0 || format.samplesPerSec == 0 ||
        format.blockAlign != format.channels * (format.bitsPerSample / 8))
        return nullptr;
    QAudioFormat qformat;
    qformat.setSampleRate(static_cast<int>(format.samplesPerSec));
    qformat.setChannelCount(format.channels);
    switch (format.bitsPerSample) {
    case 8:
        qformat.setSampleFormat(QAudioFormat::UInt8);
        break;
    case 16:
        qformat.setSampleFormat(QAudioFormat::Int16);
        break;
    case 32:
        qformat.setSampleFormat(QAudioFormat::Int32);
        break;
    default:
        return nullptr;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(qformat))
        return nullptr;
    std::shared_ptr<QtAudioOutput> output;
    if (keep_ && !(kept_ && kept_->Attached())) {
        // The kept output serves its format on the current default output.
        if (!kept_ || kept_->Format() != qformat || kept_->Device() != device)
            kept_ = std::make_shared<QtAudioOutput>(device, qformat);
        output = kept_;
    } else {
        output = std::make_shared<QtAudioOutput>(device, qformat);
    }
    return std::make_unique<QtWaveOut>(std::move(output),
                                       window ? window->Target() : std::weak_ptr<WaveOutWindow>());
}

void QtWaveOutService::KeepOutputOpen(bool keep) {
    keep_ = keep;
    // A kept output in use closes with its device.
    if (!keep)
        kept_.reset();
}

} // namespace plat
