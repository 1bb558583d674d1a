// A window that receives the wave-out done messages of the devices it opens.
// Devices never call it while they work: they post the message to the
// window's thread, and the message is delivered from the event loop (or, for
// the test device, when the test runs its message loop). A message posted to a
// window that has since been destroyed is dropped.
#pragma once
#include <memory>

#include "platform/WaveTypes.h"

namespace plat {

class WaveOutWindow {
public:
    WaveOutWindow();
    virtual ~WaveOutWindow() = default;
    WaveOutWindow(const WaveOutWindow&) = delete;
    WaveOutWindow& operator=(const WaveOutWindow&) = delete;

    // The handler of the done message, run on the user-interface thread.
    virtual void WaveOutDone(const WaveDoneMessage& message) = 0;

    // A reference that expires when the window is destroyed; devices keep it
    // to post to.
    std::weak_ptr<WaveOutWindow> Target() const { return self_; }

    // Delivers a posted message: calls WaveOutDone when the window still exists.
    static void Deliver(const std::weak_ptr<WaveOutWindow>& target, const WaveDoneMessage& message);

private:
    // Shares the window without owning it (no-op deleter); only its weak
    // references leave the object.
    std::shared_ptr<WaveOutWindow> self_;
};

} // namespace plat
