// The microphone on a PulseAudio record stream, run by GLib's main loop.
#include "platform/qt/PulseAudioInput.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>
#include <pulse/glib-mainloop.h>
#include <pulse/pulseaudio.h>
#include <vector>

#include "platform/qt/PulseAudioServer.h"

namespace plat {

namespace {
// The piece the server hands over at a time.
constexpr uint32_t kPieceMs = 20;
} // namespace

// The server's connection and the record stream on it. Their callbacks are
// cleared before they go, so none reaches an input being destroyed.
struct PulseAudioInput::Loop {
    pa_glib_mainloop* loop = nullptr;
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;

    Loop() : loop(pa_glib_mainloop_new(nullptr)) {}
    ~Loop() {
        Silence();
        if (stream) {
            pa_stream_disconnect(stream);
            pa_stream_unref(stream);
        }
        if (context) {
            pa_context_disconnect(context);
            pa_context_unref(context);
        }
        if (loop)
            pa_glib_mainloop_free(loop);
    }
    // No callback reaches the input from now on.
    void Silence() {
        if (stream) {
            pa_stream_set_state_callback(stream, nullptr, nullptr);
            pa_stream_set_read_callback(stream, nullptr, nullptr);
        }
        if (context)
            pa_context_set_state_callback(context, nullptr, nullptr);
    }
    Loop(const Loop&) = delete;
    Loop& operator=(const Loop&) = delete;
};

PulseAudioInput::PulseAudioInput(std::string source) : source_(std::move(source)) {}

PulseAudioInput::~PulseAudioInput() {
    Stop();
}

bool PulseAudioInput::Usable() {
    const QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib") &&
           QCoreApplication::instance() &&
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

bool PulseAudioInput::Available(std::string* why) {
    const int microphones = PulseAudioServer::Microphones();
    if (microphones > 0)
        return true;
    if (why)
        *why = microphones < 0 ? "no sound server" : "no microphone";
    return false;
}

bool PulseAudioInput::Start(Handlers handlers, std::string* why) {
    if (loop_)
        return true;
    if (!Usable()) {
        if (why)
            *why = "the sound server cannot be reached from here";
        return false;
    }
    handlers_ = std::move(handlers);
    carry_.clear();
    loop_ = std::make_unique<Loop>();
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Fablewhirl");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "org.lumwright.Fablewhirl");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "org.lumwright.Fablewhirl");
    if (loop_->loop)
        loop_->context =
            pa_context_new_with_proplist(pa_glib_mainloop_get_api(loop_->loop), nullptr, props);
    pa_proplist_free(props);
    if (!loop_->context ||
        (pa_context_set_state_callback(loop_->context, &PulseAudioInput::ContextChanged, this),
         pa_context_connect(loop_->context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)) {
        loop_.reset();
        if (why)
            *why = "no sound server";
        return false;
    }
    return true;
}

void PulseAudioInput::Stop() {
    loop_.reset();
    handlers_ = {};
    carry_.clear();
}

void PulseAudioInput::ContextChanged(pa_context* context, void* self) {
    auto* in = static_cast<PulseAudioInput*>(self);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY:
        in->OpenStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        in->Fail("the sound server went away");
        break;
    default:
        break;
    }
}

void PulseAudioInput::OpenStream() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, kSampleRate, 1};
    loop_->stream = pa_stream_new(loop_->context, "Recording", &format, nullptr);
    if (!loop_->stream) {
        Fail("the sound server refused to record");
        return;
    }
    pa_stream_set_state_callback(loop_->stream, &PulseAudioInput::StreamChanged, this);
    pa_stream_set_read_callback(loop_->stream, &PulseAudioInput::StreamRead, this);
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = static_cast<uint32_t>(kSampleRate * 2 * kPieceMs / 1000);
    if (pa_stream_connect_record(loop_->stream, source_.empty() ? nullptr : source_.c_str(), &attr,
                                 PA_STREAM_ADJUST_LATENCY) < 0)
        Fail("the microphone cannot be opened");
}

void PulseAudioInput::StreamChanged(pa_stream* stream, void* self) {
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        static_cast<PulseAudioInput*>(self)->Fail("the microphone went away");
}

void PulseAudioInput::StreamRead(pa_stream*, std::size_t, void* self) {
    static_cast<PulseAudioInput*>(self)->Read();
}

void PulseAudioInput::Read() {
    std::vector<int16_t> samples;
    while (loop_ && loop_->stream && pa_stream_readable_size(loop_->stream) > 0) {
        const void* data = nullptr;
        std::size_t bytes = 0;
        if (pa_stream_peek(loop_->stream, &data, &bytes) < 0) {
            Fail("the microphone cannot be read");
            return;
        }
        if (bytes == 0)
            break;
        // A hole (data without bytes) is silence of its length.
        std::string piece = carry_;
        if (data)
            piece.append(static_cast<const char*>(data), bytes);
        else
            piece.append(bytes, '\0');
        pa_stream_drop(loop_->stream);
        carry_ = piece.size() % 2 ? piece.substr(piece.size() - 1) : std::string();
        const std::size_t count = piece.size() / 2;
        const std::size_t at = samples.size();
        samples.resize(at + count);
        for (std::size_t i = 0; i < count; ++i)
            samples[at + i] = static_cast<int16_t>(static_cast<uint8_t>(piece[2 * i]) |
                                                   static_cast<uint8_t>(piece[2 * i + 1]) << 8);
    }
    if (!samples.empty())
        Deliver(handlers_, samples.data(), samples.size());
}

void PulseAudioInput::Fail(const std::string& why) {
    // Called from the loop's own callbacks: the connection and its loop go
    // once the loop has returned to the event loop, never inside it.
    if (loop_) {
        loop_->Silence();
        std::shared_ptr<Loop> dying(std::move(loop_));
        QTimer::singleShot(0, QCoreApplication::instance(), [dying] {});
    }
    const auto ended = std::move(handlers_.Ended);
    Stop();
    if (ended)
        ended(why);
}

} // namespace plat
