// An open wave-out device: the handle a WaveOutService gives for one PCM
// format. Buffers are prepared, written (queued in order), and each posts one
// done message to the device's window when it has been heard to its end or
// when Reset ends it. A looped buffer (kWhdrBeginLoop and kWhdrEndLoop, loops
// > 1) plays that many passes unless BreakLoop ends it after the current one.
// Destroying the handle closes the device; pending buffers are reset first.
#pragma once
#include <cstdint>

#include "platform/WaveTypes.h"

namespace plat {

class WaveOut {
public:
    WaveOut();
    virtual ~WaveOut() = default;
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    // Unique in the process; the device field of the done messages.
    uint64_t Id() const { return id_; }

    // Marks the header prepared; false when it is in a queue.
    virtual bool Prepare(WaveHeader& header);
    // Queues a prepared header that is not queued; false otherwise or when
    // the device fails. Clears kWhdrDone, sets kWhdrInQueue.
    virtual bool Write(WaveHeader& header) = 0;
    // Ends playback at once: every queued header is marked done and its done
    // message posted.
    virtual void Reset() = 0;
    // Clears kWhdrPrepared; false while the header is queued.
    virtual bool Unprepare(WaveHeader& header);
    // Closes the device; false while headers are queued (the device stays open).
    virtual bool Close() = 0;
    // Ends the loop of the playing buffer after its current pass; false when
    // the device fails.
    virtual bool BreakLoop() = 0;
    // Playback position since the first write; the device may answer in
    // another unit than asked for. False when the query fails.
    virtual bool GetPosition(WavePosition& position) = 0;

    // Passes a written header plays: its loops when it marks a loop of more
    // than one pass, else 1.
    static uint32_t Passes(const WaveHeader& header);

private:
    uint64_t id_;
};

} // namespace plat
