// The system's audio outputs as the wave-out service.
#include "platform/qt/QtWaveOutService.h"

#include <QMediaDevices>

#include "platform/qt/PulseAudioServer.h"
#include "platform/qt/QtAudioOutput.h"
#include "platform/qt/QtWaveOut.h"
#if FBW_HAVE_PULSE
#include "platform/qt/PulseAudioOutput.h"
#endif

namespace plat {

QtWaveOutService::QtWaveOutService(Backend backend) : backend_(backend) {
    if (backend_ == Backend::Best)
        backend_ = PulseUsable() ? Backend::Pulse : Backend::QtSink;
}

QtWaveOutService::~QtWaveOutService() = default;

bool QtWaveOutService::PulseUsable() {
#if FBW_HAVE_PULSE
    return PulseAudioOutput::Usable();
#else
    return false;
#endif
}

int QtWaveOutService::DeviceCount() {
    // The PulseAudio output plays on whatever sink the server picks: its one
    // device is the server, asked each time, so that a server that starts
    // after the program is found (Qt's list never sees one that was not
    // there when it first looked).
    if (backend_ == Backend::Pulse)
        return PulseUsable() && PulseAudioServer::Answers() ? 1 : 0;
    return static_cast<int>(QMediaDevices::audioOutputs().size());
}

std::shared_ptr<AudioOutput>
QtWaveOutService::NewOutput(const QAudioDevice& device, const QAudioFormat& format,
                            [[maybe_unused]] const WaveFormat& wave) const {
#if FBW_HAVE_PULSE
    if (backend_ == Backend::Pulse)
        return std::make_shared<PulseAudioOutput>(wave);
#endif
    return std::make_shared<QtAudioOutput>(device, format);
}

std::unique_ptr<WaveOut> QtWaveOutService::Open(const WaveFormat& format, WaveOutWindow* window) {
    if (format.formatTag != kWaveFormatPcm || format.channels == 0 || format.samplesPerSec == 0 ||
        format.blockAlign != format.channels * (format.bitsPerSample / 8))
        return nullptr;
    if (backend_ == Backend::Pulse && !PulseUsable())
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
    // The PulseAudio output needs none of Qt's devices (see DeviceCount); a
    // server that is away ends its sounds at once.
    QAudioDevice device;
    if (backend_ != Backend::Pulse) {
        device = QMediaDevices::defaultAudioOutput();
        if (device.isNull() || !device.isFormatSupported(qformat))
            return nullptr;
    }
    std::shared_ptr<AudioOutput> output;
    if (keep_ && !(kept_ && kept_->Attached())) {
        // The kept output serves its format on the current default output.
        if (!kept_ || keptFormat_ != qformat || keptDevice_ != device) {
            kept_ = NewOutput(device, qformat, format);
            keptFormat_ = qformat;
            keptDevice_ = device;
        }
        output = kept_;
    } else {
        output = NewOutput(device, qformat, format);
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
