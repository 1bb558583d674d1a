// The flite synthesizer.
#include "platform/flite/FliteSpeechSynth.h"

#include <mutex>

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_slt(const char* voxdir);
void unregister_cmu_us_slt(cst_voice* voice);
}

namespace plat {

namespace {

// flite keeps its voice table in globals and hands every registration the
// same voice: set up once per process, the voice shared by every synthesizer
// and unregistered with the last, and one synthesis at a time in the process.
std::once_flag fliteInit;
std::mutex fliteMutex;
cst_voice* sharedVoice = nullptr; // while voiceUsers > 0
int voiceUsers = 0;

// Plain letters of Latin-1 0xC0..0xFF (the two signs among them are handled apart).
constexpr char kFold[65] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTs"
                           "aaaaaaaceeeeiiiidnooooo/ouuuuyty";

} // namespace

struct FliteSpeechSynth::Voice {
    cst_voice* voice = nullptr;
    ~Voice() {
        std::lock_guard<std::mutex> lock(fliteMutex);
        if (voice && --voiceUsers == 0) {
            unregister_cmu_us_slt(sharedVoice);
            sharedVoice = nullptr;
        }
    }
};

std::unique_ptr<FliteSpeechSynth> FliteSpeechSynth::Create() {
    std::call_once(fliteInit, [] { flite_init(); });
    auto voice = std::make_unique<Voice>();
    {
        std::lock_guard<std::mutex> lock(fliteMutex);
        if (!sharedVoice) {
            sharedVoice = register_cmu_us_slt(nullptr);
            if (!sharedVoice)
                return nullptr;
            feat_set_float(sharedVoice->features, "duration_stretch", kDurationStretch);
        }
        ++voiceUsers;
        voice->voice = sharedVoice;
    }
    return std::unique_ptr<FliteSpeechSynth>(new FliteSpeechSynth(std::move(voice)));
}

FliteSpeechSynth::FliteSpeechSynth(std::unique_ptr<Voice> voice) : voice_(std::move(voice)) {}

FliteSpeechSynth::~FliteSpeechSynth() = default;

std::string FliteSpeechSynth::ToAscii(const std::string& text) {
    std::string out(text);
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0xD7 || b == 0xF7) // the multiplication and division signs
            c = ' ';
        else if (b >= 0xC0)
            c = kFold[b - 0xC0];
        else if (b < 32 || b > 126)
            c = ' ';
    }
    return out;
}

bool FliteSpeechSynth::Synthesize(const std::string& text, SpeechPcm& out) {
    out.Samples.clear();
    out.SampleRate = 0;
    const std::string ascii = ToAscii(text);
    if (ascii.find_first_not_of(' ') == std::string::npos)
        return false;
    std::lock_guard<std::mutex> lock(fliteMutex);
    cst_wave* wave = flite_text_to_wave(ascii.c_str(), voice_->voice);
    if (!wave)
        return false;
    const bool ok = wave->num_channels == 1 && wave->num_samples > 0 && wave->sample_rate > 0;
    if (ok) {
        out.Samples.assign(wave->samples, wave->samples + wave->num_samples);
        out.SampleRate = static_cast<uint32_t>(wave->sample_rate);
    }
    delete_wave(wave);
    return ok;
}

} // namespace plat
