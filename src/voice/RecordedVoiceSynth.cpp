// Reading a story in a grown-up's recorded voice where there is one.
#include "voice/RecordedVoiceSynth.h"

#include <algorithm>

#include "reading/SpokenStory.h"
#include "reading/StorySentences.h"

namespace {
// The runs of a key between its single spaces.
std::vector<std::string> Runs(const std::string& key) {
    std::vector<std::string> runs;
    std::size_t at = 0;
    while (at < key.size()) {
        std::size_t end = key.find(' ', at);
        if (end == std::string::npos)
            end = key.size();
        runs.push_back(key.substr(at, end - at));
        at = end + 1;
    }
    return runs;
}
} // namespace

TRecordedVoiceSynth::TRecordedVoiceSynth(std::unique_ptr<plat::SpeechSynth> voice,
                                         std::unique_ptr<TVoiceStore> store)
    : voice_(std::move(voice)), store_(std::move(store)) {}

std::unique_ptr<TRecordedVoiceSynth>
TRecordedVoiceSynth::Open(std::unique_ptr<plat::SpeechSynth> voice, const std::string& storyPath,
                          std::unique_ptr<plat::OpusCodec> codec) {
    if (storyPath.empty())
        codec.reset();
    std::unique_ptr<TVoiceStore> store;
    if (codec) {
        store = std::make_unique<TVoiceStore>(storyPath, codec.get());
        if (store->Count() == 0)
            store.reset();
    }
    auto synth = std::make_unique<TRecordedVoiceSynth>(std::move(voice), std::move(store));
    if (synth->store_)
        synth->codec_ = std::move(codec);
    return synth;
}

bool TRecordedVoiceSynth::FindPart(const std::string& text, std::string& key, std::size_t& first,
                                   std::size_t& count, bool* said) const {
    if (said)
        *said = false;
    if (!store_)
        return false;
    const std::string part = TVoiceStore::Key(text);
    if (part.empty())
        return false;
    count = Runs(part).size();
    if (store_->Find(part)) {
        key = part;
        first = 0;
        return true;
    }
    for (const std::string& k : store_->Sentences()) {
        if (k.size() <= part.size() + 1)
            continue;
        if (k.starts_with(part + " ")) {
            key = k;
            first = 0;
            return true;
        }
        if (k.ends_with(" " + part)) {
            key = k;
            first = Runs(k).size() - count;
            return true;
        }
    }
    if (saidKeysOf_ != store_->Count()) {
        saidKeys_.clear();
        for (const std::string& k : store_->Sentences()) {
            std::string spoken =
                TVoiceStore::Key(TSpokenStory::SpeechOf(k, 0, static_cast<int32_t>(k.size())));
            if (spoken != k)
                saidKeys_.emplace(std::move(spoken), k);
        }
        saidKeysOf_ = store_->Count();
    }
    if (const auto it = saidKeys_.find(part); it != saidKeys_.end()) {
        key = it->second;
        first = 0;
        count = Runs(key).size();
        if (said)
            *said = true;
        return true;
    }
    return false;
}

bool TRecordedVoiceSynth::Recorded(const std::string& sentence) const {
    std::string key;
    std::size_t first = 0, count = 0;
    return FindPart(sentence, key, first, count);
}

bool TRecordedVoiceSynth::Synthesize(const std::string& text, float stretch, plat::SpeechPcm& out) {
    out = {};
    std::string key, why;
    std::size_t first = 0, count = 0;
    bool said = false;
    if (FindPart(text, key, first, count, &said)) {
        const TVoiceStore::Clip* clip = store_->Find(key);
        const std::vector<std::string> runs = Runs(key);
        const bool timed = clip->Words.size() == runs.size();
        const bool whole = first == 0 && count == runs.size();
        if ((whole || timed) && store_->Read(key, out.Samples, why) && !out.Samples.empty()) {
            out.SampleRate = plat::OpusCodec::kSampleRate;
            const double seconds = static_cast<double>(out.Samples.size()) / out.SampleRate;
            // The part: from halfway between its first word and the one
            // before to halfway between its last and the one after.
            double begin = 0, end = seconds;
            if (timed && first > 0)
                begin = (clip->Words[first - 1].End + clip->Words[first].Start) / 2;
            if (timed && first + count < runs.size())
                end = (clip->Words[first + count - 1].End + clip->Words[first + count].Start) / 2;
            const auto sample = [&](double t) {
                return std::clamp<std::size_t>(static_cast<std::size_t>(t * out.SampleRate), 0,
                                               out.Samples.size());
            };
            const std::size_t a = sample(begin), b = std::max(a, sample(end));
            out.Samples.erase(out.Samples.begin() + static_cast<std::ptrdiff_t>(b),
                              out.Samples.end());
            out.Samples.erase(out.Samples.begin(),
                              out.Samples.begin() + static_cast<std::ptrdiff_t>(a));
            if (timed) {
                int token = 0;
                for (std::size_t i = first; i < first + count; ++i) {
                    // A run said as words ("%" as "per cent") shares its time
                    // among them.
                    const std::string& run = runs[i];
                    const int words = TStorySentences::CountWords(
                        said ? TSpokenStory::SpeechOf(run, 0, static_cast<int32_t>(run.size()))
                             : run);
                    const double start = clip->Words[i].Start - begin;
                    const double step =
                        (clip->Words[i].End - clip->Words[i].Start) / std::max(words, 1);
                    for (int w = 0; w < words; ++w)
                        out.Words.push_back({static_cast<float>(start + w * step),
                                             static_cast<float>(start + (w + 1) * step), token++});
                }
            }
            if (!out.Samples.empty())
                return true;
        }
        out = {};
    }
    return voice_ && voice_->Synthesize(text, stretch, out);
}
