// Asking the PulseAudio server whether it is there, on a main loop of its own
// run here until the answer.
#include "platform/qt/PulseAudioServer.h"

#if FBW_HAVE_PULSE
#include <chrono>
#include <pulse/pulseaudio.h>
#endif

namespace plat {

#if FBW_HAVE_PULSE
namespace {
// A connection to the server on a main loop of its own, run here.
class Connection {
public:
    Connection() : loop_(pa_mainloop_new()) {
        if (loop_)
            context_ = pa_context_new(pa_mainloop_get_api(loop_), "Fablewhirl");
        if (context_ &&
            pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }
    ~Connection() {
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
        }
        if (loop_)
            pa_mainloop_free(loop_);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    pa_context* Context() const { return context_; }

    // Runs the loop until Done is true or the connection fails (false) or
    // Until passes (false).
    template <class F> bool RunUntil(std::chrono::steady_clock::time_point until, F done) {
        using Clock = std::chrono::steady_clock;
        while (context_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) {
            if (done())
                return true;
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(until - Clock::now());
            if (left.count() <= 0)
                return false;
            // One round of the loop, waiting no longer than the time left.
            if (pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0 ||
                pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0)
                return false;
        }
        return false;
    }
    bool Ready(std::chrono::steady_clock::time_point until) {
        return RunUntil(until, [&] { return pa_context_get_state(context_) == PA_CONTEXT_READY; });
    }

private:
    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
};
} // namespace
#endif

bool PulseAudioServer::Answers([[maybe_unused]] int timeoutMs) {
#if FBW_HAVE_PULSE
    Connection server;
    return server.Ready(std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs));
#else
    return false;
#endif
}

int PulseAudioServer::Microphones([[maybe_unused]] int timeoutMs) {
#if FBW_HAVE_PULSE
    Connection server;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!server.Ready(until))
        return -1;
    struct Count {
        int sources = 0;
        bool done = false;
    } count;
    pa_operation* listing = pa_context_get_source_info_list(
        server.Context(),
        [](pa_context*, const pa_source_info* info, int eol, void* self) {
            auto* c = static_cast<Count*>(self);
            if (eol)
                c->done = true;
            else if (info && info->monitor_of_sink == PA_INVALID_INDEX)
                ++c->sources;
        },
        &count);
    if (!listing)
        return -1;
    const bool answered = server.RunUntil(until, [&] { return count.done; });
    if (pa_operation_get_state(listing) == PA_OPERATION_RUNNING)
        pa_operation_cancel(listing);
    pa_operation_unref(listing);
    return answered ? count.sources : -1;
#else
    return -1;
#endif
}

} // namespace plat
