// An audio output of the system for one PCM format, that plays the buffers
// of one wave-out device at a time and can stay open from one device to the
// next. Its Heard handler is called, on the thread that uses the output, for
// every buffer once it has been heard or ended by Reset, with the header
// already marked done; it must not call back into the output.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/WaveTypes.h"

namespace plat {

class AudioOutput {
public:
    AudioOutput() = default;
    virtual ~AudioOutput() = default;
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // The wave-out device that the output plays for. At most one device is
    // attached at a time.
    virtual bool Attached() const = 0;
    virtual void Attach(std::function<void(WaveHeader*)> heard) = 0;
    // Ends the attached device's buffers (as Reset) and forgets it; the
    // output stays open for the next device.
    virtual void Detach() = 0;

    // Queues a buffer behind the others; false when the system's stream
    // cannot be opened.
    virtual bool Write(WaveHeader& header) = 0;
    // Ends playback at once: every buffer not yet heard is ended.
    virtual void Reset() = 0;
    // The buffer being played ends its loop after the current pass.
    virtual void BreakLoop() = 0;
    // Buffers written and not yet heard.
    virtual bool Busy() const = 0;
    // Milliseconds of the attached device's audio played since its first write.
    virtual uint32_t PositionMs() const = 0;

    // How often the system's stream was opened (the cost an output kept open
    // saves), and whether it is open and paused now.
    virtual int StreamOpens() const = 0;
    virtual bool Suspended() const = 0;
};

} // namespace plat
