// An audio output on a PulseAudio playback stream, run by GLib's main loop.
#include "platform/qt/PulseAudioOutput.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <pulse/glib-mainloop.h>
#include <pulse/pulseaudio.h>

namespace plat {

namespace {
// The stream's buffer: a second of audio, handed over in one write.
constexpr int64_t kBufferMs = 1000;

void Drop(pa_operation* operation) {
    if (operation)
        pa_operation_unref(operation);
}
} // namespace

// The server's connection and the stream on it. Their callbacks are cleared
// before they go, so none reaches an output being destroyed.
struct PulseAudioOutput::Loop {
    pa_glib_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;

    Loop() : loop(pa_glib_mainloop_new(nullptr)) {}
    ~Loop() {
        CloseStream();
        if (context) {
            pa_context_set_state_callback(context, nullptr, nullptr);
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop)
            pa_glib_mainloop_free(loop);
    }
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;

    void CloseStream() {
        if (!stream)
            return;
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_set_underflow_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }
    bool StreamReady() const { return stream && pa_stream_get_state(stream) == PA_STREAM_READY; }
};

bool PulseAudioOutput::Usable() {
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib") &&
           QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

PulseAudioOutput::PulseAudioOutput(const WaveFormat& format)
    : QueuedAudioOutput(format.blockAlign, format.samplesPerSec), format_(format) {}

PulseAudioOutput::~PulseAudioOutput() {
    ForgetDevice();
    StopLooking();
    loop_.reset();
}

bool PulseAudioOutput::Connect() {
    loop_ = std::make_unique<Loop>();
    if (!loop_->loop)
        return false;
    // The desktop's volume control shows the game by its name and icon.
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Fablewhirl");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "org.lumwright.Fablewhirl");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "org.lumwright.Fablewhirl");
    loop_->context =
        pa_context_new_with_proplist(pa_glib_mainloop_get_api(loop_->loop), nullptr, props);
    pa_proplist_free(props);
    if (!loop_->context)
        return false;
    pa_context_set_state_callback(loop_->context, &PulseAudioOutput::ContextChanged, this);
    failed_ = false;
    return pa_context_connect(loop_->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
}

void PulseAudioOutput::Disconnect() {
    loop_.reset();
    corked_ = false;
    dry_ = true;
}

void PulseAudioOutput::ContextChanged(pa_context* context, void* self) {
    auto* out = static_cast<PulseAudioOutput*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        out->OpenStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        out->Fail();
        break;
    default:
        break;
    }
}

void PulseAudioOutput::OpenStream() {
    pa_sample_spec samples{};
    switch (format_.bitsPerSample) {
    case 8:
        samples.format = PA_SAMPLE_U8;
        break;
    case 16:
        samples.format = PA_SAMPLE_S16LE;
        break;
    default:
        samples.format = PA_SAMPLE_S32LE;
        break;
    }
    samples.rate = format_.samplesPerSec;
    samples.channels = static_cast<uint8_t>(format_.channels);
    loop_->stream = pa_stream_new(loop_->context, "Sounds", &samples, nullptr);
    if (!loop_->stream) {
        Fail();
        return;
    }
    pa_stream_set_state_callback(loop_->stream, &PulseAudioOutput::StreamChanged, this);
    pa_stream_set_write_callback(loop_->stream, &PulseAudioOutput::StreamWants, this);
    pa_stream_set_underflow_callback(loop_->stream, &PulseAudioOutput::StreamDry, this);
    // A second of buffer takes a sound in one write; playback starts at the
    // first frame, not once the buffer is full.
    const uint32_t frame = format_.blockAlign;
    const auto second =
        static_cast<uint32_t>(int64_t{frame} * format_.samplesPerSec * kBufferMs / 1000);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.tlength = second - second % frame;
    attr.prebuf = frame;
    // The server asks for more a quarter of a second at a time, however
    // small the blocks its sink plays in.
    attr.minreq = attr.tlength / 4 - attr.tlength / 4 % frame;
    attr.fragsize = static_cast<uint32_t>(-1);
    StreamOpening();
    corked_ = false;
    dry_ = true;
    if (pa_stream_connect_playback(loop_->stream, nullptr, &attr, PA_STREAM_INTERPOLATE_TIMING,
                                   nullptr, nullptr) < 0)
        Fail();
}

void PulseAudioOutput::StreamChanged(pa_stream* stream, void* self) {
    auto* out = static_cast<PulseAudioOutput*>(self);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        out->Feed();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        out->Fail();
        break;
    default:
        break;
    }
}

void PulseAudioOutput::StreamWants(pa_stream*, std::size_t, void* self) {
    static_cast<PulseAudioOutput*>(self)->Feed();
}

void PulseAudioOutput::StreamDry(pa_stream*, void* self) {
    auto* out = static_cast<PulseAudioOutput*>(self);
    out->dry_ = true;
    // Looked at from the event loop, not inside the server's call.
    if (out->queue_.Busy())
        out->LookSoon();
}

void PulseAudioOutput::Fail() {
    failed_ = true;
    LookSoon();
}

bool PulseAudioOutput::Write(WaveHeader& header) {
    // A connection that failed is made again; buffers still waiting play on it.
    if (failed_)
        Disconnect();
    if (!loop_ && !Connect()) {
        Disconnect();
        return false;
    }
    queue_.Push(header);
    Feed();
    return true;
}

void PulseAudioOutput::Feed() {
    if (!loop_ || !loop_->StreamReady() || failed_)
        return;
    const int64_t now = NowMs();
    const uint32_t frame = format_.blockAlign;
    bool wrote = false;
    while (queue_.HasData()) {
        const std::size_t room = pa_stream_writable_size(loop_->stream);
        if (room == static_cast<std::size_t>(-1) || room < frame)
            break;
        void* buffer = nullptr;
        std::size_t size = room;
        if (pa_stream_begin_write(loop_->stream, &buffer, &size) < 0 || !buffer)
            break;
        const std::size_t taken = queue_.Take(static_cast<uint8_t*>(buffer), size, now);
        if (taken == 0) {
            pa_stream_cancel_write(loop_->stream);
            break;
        }
        if (pa_stream_write(loop_->stream, buffer, taken, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            Fail();
            return;
        }
        ++serverWrites_;
        wrote = true;
    }
    if (!wrote)
        return;
    dry_ = false;
    if (corked_)
        Cork(false);
    // What the server's latency is now, for the position.
    Drop(pa_stream_update_timing_info(loop_->stream, nullptr, nullptr));
    LookWhenFirstHeard(now);
}

void PulseAudioOutput::Cork(bool cork) {
    if (!loop_ || !loop_->StreamReady() || corked_ == cork)
        return;
    corked_ = cork;
    Drop(pa_stream_cork(loop_->stream, cork ? 1 : 0, nullptr, nullptr));
}

void PulseAudioOutput::Pump() {
    if (failed_) {
        Disconnect();
        StopLooking();
        Heard(queue_.TakeAll());
        return;
    }
    QueuedAudioOutput::Pump();
}

bool PulseAudioOutput::DropHeld() {
    if (!loop_ || !loop_->StreamReady())
        return false;
    Drop(pa_stream_flush(loop_->stream, nullptr, nullptr));
    queue_.RestartStream();
    Cork(true);
    dry_ = true;
    return true;
}

bool PulseAudioOutput::Suspended() const {
    return loop_ && loop_->StreamReady() && corked_;
}

int64_t PulseAudioOutput::PlayedBytes() const {
    pa_usec_t latency = 0;
    int negative = 0;
    if (!loop_ || !loop_->StreamReady() ||
        pa_stream_get_latency(loop_->stream, &latency, &negative) != 0)
        return -1;
    const int64_t behind = negative ? 0 : static_cast<int64_t>(latency);
    return queue_.StreamBytes() - behind * format_.blockAlign * format_.samplesPerSec / 1'000'000;
}

} // namespace plat
