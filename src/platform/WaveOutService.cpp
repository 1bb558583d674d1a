// The installed wave-out service, and the one used when none is installed.
#include "platform/WaveOutService.h"

namespace plat {

namespace {

class NoWaveOutService : public WaveOutService {
public:
    int DeviceCount() override { return 0; }
    std::unique_ptr<WaveOut> Open(const WaveFormat&, WaveOutWindow*) override { return nullptr; }
};

std::unique_ptr<WaveOutService>& Installed() {
    static std::unique_ptr<WaveOutService> service = std::make_unique<NoWaveOutService>();
    return service;
}

} // namespace

WaveOutService& CurrentWaveOutService() {
    return *Installed();
}

std::unique_ptr<WaveOutService> SetWaveOutService(std::unique_ptr<WaveOutService> service) {
    if (!service)
        service = std::make_unique<NoWaveOutService>();
    std::swap(Installed(), service);
    return service;
}

} // namespace plat
