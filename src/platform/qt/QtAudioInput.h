// QtAudioInput: the microphone through Qt's audio source (QAudioSource), for
// where the PulseAudio input cannot run (an event loop that is not GLib's, a
// build without libpulse). Qt's default input device is recorded; the sound
// comes on the thread that made the input as Qt's device has it ready.
#pragma once
#include <memory>

#include "platform/AudioInput.h"

class QAudioSource;
class QIODevice;

namespace plat {

class QtAudioInput : public AudioInput {
public:
    QtAudioInput();
    ~QtAudioInput() override;

    // Qt's list of input devices is not empty.
    bool Available(std::string* why = nullptr) override;
    bool Start(Handlers handlers, std::string* why = nullptr) override;
    void Stop() override;
    bool Recording() const override { return static_cast<bool>(source_); }

private:
    void Read();

    Handlers handlers_;
    std::unique_ptr<QAudioSource> source_;
    QIODevice* device_ = nullptr; // the source's, while recording
};

} // namespace plat
