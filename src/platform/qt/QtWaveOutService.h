// The wave-out service of the game: Qt Multimedia's audio outputs. While it
// is asked to keep an output open (sound is on), the devices it opens share
// one audio output, kept open from one sound to the next; a device opened
// while that one is in use, or while none is kept, gets an output of its own
// that closes with it.
#pragma once
#include <memory>

#include "platform/WaveOutService.h"

namespace plat {

class QtAudioOutput;

class QtWaveOutService : public WaveOutService {
public:
    QtWaveOutService();
    ~QtWaveOutService() override;

    int DeviceCount() override;
    // Opens the default audio output for 8-, 16- or 32-bit integer PCM.
    std::unique_ptr<WaveOut> Open(const WaveFormat& format, WaveOutWindow* window) override;
    void KeepOutputOpen(bool keep) override;

    // The output kept open between devices; nullptr when none.
    const QtAudioOutput* KeptOutput() const { return kept_.get(); }

private:
    bool keep_ = false;
    // Shared with the device that uses it, which may outlive the service.
    std::shared_ptr<QtAudioOutput> kept_;
};

} // namespace plat
