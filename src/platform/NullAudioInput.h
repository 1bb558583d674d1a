// The microphone of a build that has none: never available, never records.
#pragma once
#include "platform/AudioInput.h"

namespace plat {

class NullAudioInput : public AudioInput {
public:
    bool Available(std::string* why = nullptr) override {
        if (why)
            *why = "no microphone";
        return false;
    }
    bool Start(Handlers, std::string* why = nullptr) override { return Available(why); }
    void Stop() override {}
    bool Recording() const override { return false; }
};

} // namespace plat
