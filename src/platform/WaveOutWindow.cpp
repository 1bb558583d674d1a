// Windows that receive wave-out done messages.
#include "platform/WaveOutWindow.h"

namespace plat {

WaveOutWindow::WaveOutWindow() : self_(this, [](WaveOutWindow*) {}) {}

void WaveOutWindow::Deliver(const std::weak_ptr<WaveOutWindow>& target,
                            const WaveDoneMessage& message) {
    if (std::shared_ptr<WaveOutWindow> window = target.lock())
        window->WaveOutDone(message);
}

} // namespace plat
