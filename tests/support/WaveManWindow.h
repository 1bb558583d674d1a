// The window a test's wave manager tells that a sound is done: it hands each
// message to Manager (not owned; none: the message is dropped).
#pragma once
#include "platform/WaveOutWindow.h"
#include "sound/WaveMan.h"

namespace fbwtest {

class WaveManWindow : public plat::WaveOutWindow {
public:
    TWaveMan* manager = nullptr;
    void WaveOutDone(const plat::WaveDoneMessage& message) override {
        if (manager)
            manager->WaveDone(message);
    }
};

} // namespace fbwtest
