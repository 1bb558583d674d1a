// Asking the PulseAudio server whether it is there, on a main loop of its own
// run here until the answer.
#include "platform/qt/PulseAudioServer.h"

#if FBW_HAVE_PULSE
#include <chrono>
#include <pulse/pulseaudio.h>
#endif

namespace plat {

bool PulseAudioServer::Answers([[maybe_unused]] int timeoutMs) {
#if FBW_HAVE_PULSE
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return false;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "Fablewhirl");
    bool ready = false;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        using Clock = std::chrono::steady_clock;
        const auto until = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                ready = true;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state))
                break;
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(until - Clock::now());
            if (left.count() <= 0)
                break;
            // One round of the loop, waiting no longer than the time left.
            if (pa_mainloop_prepare(loop, static_cast<int>(left.count())) < 0 ||
                pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
                break;
        }
        pa_context_disconnect(context);
    }
    if (context)
        pa_context_unref(context);
    pa_mainloop_free(loop);
    return ready;
#else
    return false;
#endif
}

} // namespace plat
