// The wave-out service of the game: the system's audio outputs, through the
// game's own PulseAudio output where it can run (GLib's event loop and
// libpulse) and Qt Multimedia's audio sink otherwise. While it is asked to
// keep an output open (sound is on), the devices it opens share one audio
// output, kept open from one sound to the next; a device opened while that
// one is in use, or while none is kept, gets an output of its own that
// closes with it.
#pragma once
#include <QAudioDevice>
#include <QAudioFormat>
#include <memory>

#include "platform/WaveOutService.h"

namespace plat {

class AudioOutput;

class QtWaveOutService : public WaveOutService {
public:
    enum class Backend {
        Best,   // PulseAudio where it can run, else Qt's sink
        QtSink, // Qt Multimedia's audio sink
        Pulse,  // the PulseAudio output; no device opens where it cannot run
    };
    explicit QtWaveOutService(Backend backend = Backend::Best);
    ~QtWaveOutService() override;

    // Whether the PulseAudio output is built in and can run on this thread.
    static bool PulseUsable();

    // Qt's sink: the audio outputs Qt lists. The PulseAudio output: 1 when a
    // sound server answers now (PulseAudioServer), else 0.
    int DeviceCount() override;
    // Opens the default audio output for 8-, 16- or 32-bit integer PCM.
    std::unique_ptr<WaveOut> Open(const WaveFormat& format, WaveOutWindow* window) override;
    void KeepOutputOpen(bool keep) override;

    // The output kept open between devices; nullptr when none.
    const AudioOutput* KeptOutput() const { return kept_.get(); }

private:
    std::shared_ptr<AudioOutput> NewOutput(const QAudioDevice& device, const QAudioFormat& format,
                                           const WaveFormat& wave) const;

    Backend backend_;
    bool keep_ = false;
    // Shared with the device that uses it, which may outlive the service;
    // with the format and the system's default output it serves.
    std::shared_ptr<AudioOutput> kept_;
    QAudioFormat keptFormat_;
    QAudioDevice keptDevice_;
};

} // namespace plat
