// A wave-out device of the Qt platform: a handle on an audio output
// (QtAudioOutput or PulseAudioOutput) that it has to itself from its opening to its closing. The
// output may be one that the service keeps open from one device to the next,
// so that opening a device for a sound costs no opening of the system's
// audio. A buffer's done message is posted to the window through the event
// loop once the output has played it (or Reset has ended it).
#pragma once
#include <memory>

#include "platform/WaveOut.h"
#include "platform/WaveOutWindow.h"

namespace plat {

class AudioOutput;

class QtWaveOut : public WaveOut {
public:
    // Output must not be attached to another device. Window may be expired
    // or empty: messages are then dropped.
    QtWaveOut(std::shared_ptr<AudioOutput> output, std::weak_ptr<WaveOutWindow> window);
    ~QtWaveOut() override;

    bool Write(WaveHeader& header) override;
    void Reset() override;
    // Hands the output back (a kept output stays open for the next device).
    bool Close() override;
    bool BreakLoop() override;
    bool GetPosition(WavePosition& position) override;

private:
    std::shared_ptr<AudioOutput> output_; // none once closed
};

} // namespace plat
