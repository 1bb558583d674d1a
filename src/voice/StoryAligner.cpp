// A story's words found in a recording of it.
#include "voice/StoryAligner.h"

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
    bool first = true;
    for (const TSentence& s : TStorySentences::Find(text.c_str())) {
        const std::vector<TSentenceWord> words = TSpokenStory::WordsOf(text, s.Begin, s.End);
        std::vector<TVoiceAligner::Span> spans;
        int firstSaid = 0;
        if (!words.empty()) {
            plat::SpeechPcm pcm;
            if (!synth.Synthesize(TSpokenStory::SpeechOf(text, s.Begin, s.End), pcm) ||
                pcm.SampleRate == 0)
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
