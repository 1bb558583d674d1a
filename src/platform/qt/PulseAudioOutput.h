// PulseAudioOutput: one audio output of the system for one PCM format, a
// playback stream of the PulseAudio server driven from the event loop of the
// user-interface thread (GLib's main context, which Qt's event dispatcher
// runs), with no thread of its own. Like QtAudioOutput it plays the buffers of
// one wave-out device at a time and stays open from one device to the next,
// but it hands the server a whole sound in one write (up to a second of audio;
// longer sounds as the server asks for more), where Qt's sink writes 20 ms at
// a time, so a playing sound costs a few wake-ups instead of fifty a second.
// The stream opens at the first write and stays; once the server has played
// everything written it is paused (corked), and the next write resumes it.
//
// When a buffer has been heard is the PlaybackQueue's rule (QueuedAudioOutput),
// with the server's underflow notice as running dry. A connection that fails,
// or a server that goes away, ends every buffer; the next write connects again.
#pragma once
#include <memory>

#include "platform/qt/QueuedAudioOutput.h"

struct pa_context;
struct pa_stream;
struct pa_glib_mainloop;

namespace plat {

class PulseAudioOutput : public QueuedAudioOutput {
public:
    // Format: 8-bit unsigned, 16- or 32-bit signed little-endian PCM.
    explicit PulseAudioOutput(const WaveFormat& format);
    ~PulseAudioOutput() override;

    // Whether such outputs can run on this thread: its event loop is GLib's.
    static bool Usable();

    // False when no connection to a sound server can be started.
    bool Write(WaveHeader& header) override;
    bool Suspended() const override;

    // Calls that handed the server audio: one for a sound that fits the
    // stream's buffer.
    int ServerWrites() const { return serverWrites_; }

protected:
    // A failed connection goes first, ending every buffer.
    void Pump() override;
    // The server has reported running dry since the last write.
    bool Drained() const override { return dry_; }
    // The stream is corked.
    void Pause() override { Cork(true); }
    // The stream is flushed and corked.
    bool DropHeld() override;
    // The bytes written less the server's latency, once it has reported it.
    int64_t PlayedBytes() const override;

private:
    struct Loop;
    bool Connect();
    void Disconnect();
    void OpenStream();
    // Hands the stream as much of the queued audio as it takes.
    void Feed();
    // The connection or the stream failed: every buffer ends.
    void Fail();
    void Cork(bool cork);

    static void ContextChanged(pa_context* context, void* self);
    static void StreamChanged(pa_stream* stream, void* self);
    static void StreamWants(pa_stream* stream, std::size_t bytes, void* self);
    static void StreamDry(pa_stream* stream, void* self);

    WaveFormat format_;
    std::unique_ptr<Loop> loop_; // the server's connection and stream; none until the first write
    bool dry_ = true;            // the server has played everything written
    bool corked_ = false;
    bool failed_ = false; // the connection failed; it goes at the next Pump
    int serverWrites_ = 0;
};

} // namespace plat
