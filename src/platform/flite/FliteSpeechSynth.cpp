// The flite synthesizer.
#include "platform/flite/FliteSpeechSynth.h"

#include <algorithm>
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

bool FliteSpeechSynth::Synthesize(const std::string& text, float stretch, SpeechPcm& out) {
    out = SpeechPcm{};
    const std::string ascii = ToAscii(text);
    if (ascii.find_first_not_of(' ') == std::string::npos)
        return false;
    std::lock_guard<std::mutex> lock(fliteMutex);
    // The voice is shared: its pace is set for each sentence.
    feat_set_float(voice_->voice->features, "duration_stretch", std::clamp(stretch, 0.5f, 3.0f));
    cst_utterance* utt = flite_synth_text(ascii.c_str(), voice_->voice);
    if (!utt)
        return false;
    const cst_wave* wave = utt_wave(utt);
    const bool ok =
        wave && wave->num_channels == 1 && wave->num_samples > 0 && wave->sample_rate > 0;
    if (ok) {
        // The words, each with the ordinal of the text's token it is said
        // for among the tokens that are said (a number or "Fox's" is said as
        // several words). A word without segments (none is known to occur)
        // is left out, so that the count tells the caller it differs.
        const cst_item* token = nullptr;
        int tokens = -1;
        for (const cst_item* w = relation_head(utt_relation(utt, "Word")); w; w = item_next(w)) {
            if (!path_to_item(w, "R:SylStructure.daughter1.daughter1.R:Segment"))
                continue;
            const cst_item* parent = path_to_item(w, "R:Token.parent");
            if (!parent || parent != token)
                ++tokens;
            token = parent;
            const float start =
                ffeature_float(w, "R:SylStructure.daughter1.daughter1.R:Segment.p.end");
            const float end = ffeature_float(w, "R:SylStructure.daughtern.daughtern.R:Segment.end");
            out.Words.push_back(SpeechWord{start, std::max(start, end), tokens});
        }
        // The pause flite leaves after the last word is cut to kTrailMs, so
        // that the next sentence follows as it would in speech.
        std::size_t count = static_cast<std::size_t>(wave->num_samples);
        if (!out.Words.empty()) {
            const double end = out.Words.back().End + kTrailMs / 1000.0;
            count = std::min(count, static_cast<std::size_t>(end * wave->sample_rate + 0.5));
        }
        out.Samples.assign(wave->samples, wave->samples + count);
        out.SampleRate = static_cast<uint32_t>(wave->sample_rate);
    }
    delete_utterance(utt);
    return ok;
}

} // namespace plat
