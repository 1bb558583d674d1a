// PulseAudioInput: the microphone as a record stream of the PulseAudio
// server, driven from the event loop of the user-interface thread (GLib's
// main context, which Qt's event dispatcher runs) like PulseAudioOutput, with
// no thread of its own. The server's default source is recorded unless a
// source is named; monitors of outputs never count as microphones.
//
// The stream asks for pieces of about 20 ms, so that a level meter moves
// smoothly; a gap the server reports (an overrun) comes through as silence,
// so that the recording's time stays true.
#pragma once
#include <memory>
#include <string>

#include "platform/AudioInput.h"

struct pa_context;
struct pa_stream;

namespace plat {

class PulseAudioInput : public AudioInput {
public:
    // Source: the server's name of the source to record ("" for its default).
    explicit PulseAudioInput(std::string source = {});
    ~PulseAudioInput() override;

    // Whether such inputs can run on this thread: its event loop is GLib's.
    static bool Usable();

    // Asks the server (waiting at most a second) for a source that is no
    // monitor.
    bool Available(std::string* why = nullptr) override;
    bool Start(Handlers handlers, std::string* why = nullptr) override;
    void Stop() override;
    bool Recording() const override { return static_cast<bool>(loop_); }

private:
    struct Loop;
    void OpenStream();
    void Read();
    // The connection or the stream failed: recording ends, Ended told.
    void Fail(const std::string& why);

    static void ContextChanged(pa_context* context, void* self);
    static void StreamChanged(pa_stream* stream, void* self);
    static void StreamRead(pa_stream* stream, std::size_t bytes, void* self);

    std::string source_;
    Handlers handlers_;
    std::unique_ptr<Loop> loop_; // the server's connection and stream while recording
    std::string carry_;          // a byte of a sample split between two pieces
};

} // namespace plat
