// The process-wide wave-out service: how many devices there are, and opening
// one for a PCM format. The engine sees only this interface; the game installs
// the Qt service, the tests a test service. Until one is installed the
// service has no devices.
#pragma once
#include <memory>

#include "platform/WaveOut.h"
#include "platform/WaveOutWindow.h"

namespace plat {

class WaveOutService {
public:
    virtual ~WaveOutService() = default;
    // Number of output devices (0 when there is no sound output).
    virtual int DeviceCount() = 0;
    // Opens the device the system picks for Format; done messages go to
    // Window (none when nullptr). nullptr when the format is not supported or
    // no device can be opened.
    virtual std::unique_ptr<WaveOut> Open(const WaveFormat& format, WaveOutWindow* window) = 0;
    // Keep: an audio output that a device opened stays open after the device
    // closes, for the next device of its format, so that a sound costs no
    // opening of the system's audio (while sound is on). Not Keep (the
    // start): every device opens its own output and closes it, and a kept
    // output closes once no device uses it. Services without such outputs
    // ignore it.
    virtual void KeepOutputOpen(bool keep) { (void)keep; }
};

// The installed service (one without devices when none is installed).
WaveOutService& CurrentWaveOutService();
// Installs Service (nullptr: the one without devices) and returns the
// previous one. Devices that are open stay usable.
std::unique_ptr<WaveOutService> SetWaveOutService(std::unique_ptr<WaveOutService> service);

} // namespace plat
