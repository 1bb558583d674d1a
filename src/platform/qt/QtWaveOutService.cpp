// Qt Multimedia's audio outputs as the wave-out service.
#include "platform/qt/QtWaveOutService.h"

#include <QMediaDevices>

#include "platform/qt/QtWaveOut.h"

namespace plat {

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
    return std::make_unique<QtWaveOut>(device, qformat,
                                       window ? window->Target() : std::weak_ptr<WaveOutWindow>());
}

} // namespace plat
