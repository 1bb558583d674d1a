// A story's words found in a recording of it.
#include "voice/StoryAligner.h"

#include <future>
#include <stdexcept>

#include "reading/SpokenStory.h"
#include "reading/StorySentences.h"
#include "reading/WordTimes.h"

namespace {
bool MarkerAt(const std::string& text, int32_t i, int32_t end) {
    return i + 1 < end && text[static_cast<std::size_t>(i)] == '\\' &&
           text[static_cast<std::size_t>(i) + 1] == 'n';
}

bool Space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
} // namespace

void TStoryAligner::Say(plat::SpeechSynth& synth, const std::string& text) {
    const std::vector<TSentence> sentences = TStorySentences::Find(text.c_str());
    // The voice says the next sentence with words on a thread of its own
    // while this one's features are found.
    struct Said {
        bool ok = false;
        plat::SpeechPcm pcm;
    };
    const auto say = [&](std::size_t i) {
        Said said;
        said.ok =
            synth.Synthesize(TSpokenStory::SpeechOf(text, sentences[i].Begin, sentences[i].End),
                             said.pcm) &&
            said.pcm.SampleRate != 0;
        return said;
    };
    const auto nextSaid = [&](std::size_t from) {
        for (std::size_t i = from; i < sentences.size(); ++i)
            if (!TSpokenStory::WordsOf(text, sentences[i].Begin, sentences[i].End).empty())
                return i;
        return sentences.size();
    };
    std::future<Said> ahead;
    std::size_t aheadOf = nextSaid(0);
    if (aheadOf < sentences.size())
        ahead = std::async(std::launch::async, say, aheadOf);
    bool first = true;
    for (std::size_t si = 0; si < sentences.size(); ++si) {
        const TSentence& s = sentences[si];
        const std::vector<TSentenceWord> words = TSpokenStory::WordsOf(text, s.Begin, s.End);
        std::vector<TVoiceAligner::Span> spans;
        int firstSaid = 0;
        if (!words.empty()) {
            Said said = ahead.get();
            aheadOf = nextSaid(si + 1);
            if (said.ok && aheadOf < sentences.size())
                ahead = std::async(std::launch::async, say, aheadOf);
            const plat::SpeechPcm& pcm = said.pcm;
            if (!said.ok)
                throw std::runtime_error("the voice could not say the sentence \"" +
                                         TStorySentences::SpeechText(text.c_str(), s.Begin, s.End) +
                                         "\"");
            TWordTimes times;
            times.Map(pcm.Words, 0, static_cast<int>(words.size()));
            if (times.Matched()) {
                for (const TWordTimes::Span& t : times.Spans())
                    spans.push_back({t.start / 1000.0, t.end / 1000.0});
            } else {
                // The voice's words cannot be told apart: the sound shared
                // among the words by their length.
                const double seconds = static_cast<double>(pcm.Samples.size()) / pcm.SampleRate;
                double chars = 0;
                for (const TSentenceWord& w : words)
                    chars += w.End - w.Begin + 1;
                double at = 0;
                for (const TSentenceWord& w : words) {
                    const double len = seconds * (w.End - w.Begin + 1) / chars;
                    spans.push_back({at, at + len});
                    at += len;
                }
            }
            if (!first)
                aligner_.AddReferencePause(TSpokenStory::kGapMs);
            first = false;
            firstSaid = aligner_.AddReference(pcm.Samples.data(), pcm.Samples.size(),
                                              pcm.SampleRate, spans);
        }
        // The runs of the sentence and the said words that lie in each.
        std::size_t w = 0;
        for (int32_t i = s.Begin; i < s.End;) {
            if (Space(text[static_cast<std::size_t>(i)])) {
                ++i;
                continue;
            }
            if (MarkerAt(text, i, s.End)) {
                i += 2;
                continue;
            }
            int32_t j = i;
            while (j < s.End && !Space(text[static_cast<std::size_t>(j)]) &&
                   !MarkerAt(text, j, s.End))
                ++j;
            Run run{i, j, firstSaid + static_cast<int>(w), 0};
            while (w < words.size() && words[w].Begin < j) {
                ++w;
                ++run.SaidCount;
            }
            runs_.push_back(run);
            i = j;
        }
    }
}

std::vector<TStoryAligner::Word> TStoryAligner::Align() {
    const std::vector<TVoiceAligner::Span> said = aligner_.Align();
    std::vector<Word> out;
    out.reserve(runs_.size());
    double last = 0;
    for (const Run& r : runs_) {
        Word word{r.Begin, r.End, last, last};
        if (r.SaidCount > 0 && r.FirstSaid + r.SaidCount <= static_cast<int>(said.size())) {
            word.Start = said[static_cast<std::size_t>(r.FirstSaid)].Start;
            word.Stop = said[static_cast<std::size_t>(r.FirstSaid + r.SaidCount - 1)].End;
            last = word.Stop;
        }
        out.push_back(word);
    }
    return out;
}
