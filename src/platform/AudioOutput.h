// An audio output of the system for one PCM format, that plays the buffers
// of one wave-out device at a time and can stay open from one device to the
// next. Its Heard handler is called, on the thread that uses the output, for
// every buffer once it has been heard or ended by Reset, with the header
// already marked done; it must not call back into the output.
#pragma once
#include <cstdint>
#include <functional>
#include <vector>

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
    bool Attached() const { return static_cast<bool>(heard_); }
    void Attach(std::function<void(WaveHeader*)> heard) {
        heard_ = std::move(heard);
        DeviceAttached();
    }
    // Ends the attached device's buffers (as Reset) and forgets it; the
    // output stays open for the next device.
    void Detach() {
        Reset();
        heard_ = nullptr;
    }

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

protected:
    // A device was attached: its position starts at its first byte.
    virtual void DeviceAttached() = 0;
    // Hands the attached device its buffers, in order.
    void Heard(const std::vector<WaveHeader*>& headers) const {
        for (WaveHeader* header : headers)
            if (heard_)
                heard_(header);
    }
    // No buffer is handed back from now on (an output being destroyed).
    void ForgetDevice() { heard_ = nullptr; }

private:
    std::function<void(WaveHeader*)> heard_;
};

} // namespace plat
