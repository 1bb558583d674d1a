// A microphone of the system, recorded as signed 16-bit mono PCM at 48 kHz.
// Its handlers are called on the thread that uses the input, from that
// thread's event loop, while it records: the sound as it comes, the level of
// each piece for a meter, and the end when the device goes away or fails.
// They must not start or stop the input.
//
// Whether there is a microphone at all is asked before (Available), so that
// the control that records can be faded with the reason.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace plat {

class AudioInput {
public:
    static constexpr uint32_t kSampleRate = 48000;

    struct Handlers {
        // Count samples after those handed over before.
        std::function<void(const int16_t* samples, std::size_t count)> Samples;
        // The loudest sample of a piece of at most kLevelMs, 0 .. 1.
        std::function<void(float peak)> Level;
        // Recording ended by the system (the device went, the server
        // stopped), with the reason; no handler is called after it.
        std::function<void(const std::string& why)> Ended;
    };
    // The level is told at least this often while sound comes.
    static constexpr int kLevelMs = 50;

    AudioInput() = default;
    virtual ~AudioInput() = default;
    AudioInput(const AudioInput&) = delete;
    AudioInput& operator=(const AudioInput&) = delete;

    // Whether there is a microphone to record from now; when not, Why (when
    // given) says so in a few words ("no microphone", "no sound server").
    virtual bool Available(std::string* why = nullptr) = 0;
    // Starts recording into Handlers. False, with the reason in Why, when
    // the microphone cannot be opened; true while one already records.
    virtual bool Start(Handlers handlers, std::string* why = nullptr) = 0;
    // Stops recording: no handler is called after it returns; the sound
    // handed over so far is all there is.
    virtual void Stop() = 0;
    virtual bool Recording() const = 0;

    // The loudest of Count samples, 0 .. 1.
    static float PeakOf(const int16_t* samples, std::size_t count);

protected:
    // Hands Count samples to Handlers, the level told a piece of at most
    // kLevelMs at a time.
    static void Deliver(const Handlers& handlers, const int16_t* samples, std::size_t count);
};

} // namespace plat
