// The wave-out service of the game: Qt Multimedia's audio outputs.
#pragma once
#include "platform/WaveOutService.h"

namespace plat {

class QtWaveOutService : public WaveOutService {
public:
    int DeviceCount() override;
    // Opens the default audio output for 8-, 16- or 32-bit integer PCM.
    std::unique_ptr<WaveOut> Open(const WaveFormat& format, WaveOutWindow* window) override;
};

} // namespace plat
