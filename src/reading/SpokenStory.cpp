// Speaking the whole story into one track.
#include "reading/SpokenStory.h"

#include <algorithm>
#include <stdexcept>

#include "reading/WordTimes.h"

namespace {
int64_t MsOf(std::size_t samples, uint32_t rate) {
    return rate ? static_cast<int64_t>(samples) * 1000 / rate : 0;
}

// A sentence as a message names it: its words with single spaces between
// them, cut after kQuotedChars characters at a space, with "..." for the rest.
std::string Quoted(const std::string& speech) {
    constexpr std::size_t kQuotedChars = 60;
    std::string out;
    for (char c : speech) {
        if (static_cast<unsigned char>(c) <= ' ') {
            if (!out.empty() && out.back() != ' ')
                out += ' ';
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    if (out.size() > kQuotedChars) {
        const std::size_t cut = out.rfind(' ', kQuotedChars);
        out.erase(cut == std::string::npos || cut == 0 ? kQuotedChars : cut);
        out += "...";
    }
    return out;
}
} // namespace

void TSpokenStory::Speak(plat::SpeechSynth& synth, const std::string& text, float stretch,
                         const std::function<void(int, int)>& progress) {
    Samples.clear();
    SampleRate = 0;
    Sentences.clear();
    totalWords_ = 0;
    const std::vector<TSentence> found = TStorySentences::Find(text.c_str());
    const int total = static_cast<int>(found.size());
    plat::SpeechPcm pcm;
    int done = 0;
    for (const TSentence& s : found) {
        Sentence sentence;
        sentence.Begin = s.Begin;
        sentence.End = s.End;
        sentence.Words = TStorySentences::FindWords(text.c_str(), s.Begin, s.End);
        totalWords_ += static_cast<int>(sentence.Words.size());
        const std::string speech = TStorySentences::SpeechText(text.c_str(), s.Begin, s.End);
        if (!sentence.Words.empty()) {
            // A voice that fails part-way would leave the rest of the book
            // silent: the book is not made.
            if (!synth.Synthesize(speech, stretch, pcm) || pcm.Samples.empty() ||
                pcm.SampleRate == 0)
                throw std::runtime_error("the voice could not read the sentence \"" +
                                         Quoted(speech) + "\"");
            if (SampleRate == 0) {
                SampleRate = pcm.SampleRate;
                Samples.assign(static_cast<std::size_t>(kLeadMs) * SampleRate / 1000, 0);
            } else if (pcm.SampleRate != SampleRate) {
                throw std::runtime_error("the voice changed its sample rate");
            } else {
                Samples.insert(Samples.end(), static_cast<std::size_t>(kGapMs) * SampleRate / 1000,
                               int16_t{0});
            }
            // The sentence starts on a whole millisecond, so its words' times
            // add to it exactly.
            while (Samples.size() * 1000 % SampleRate != 0)
                Samples.push_back(0);
            const int64_t at = MsOf(Samples.size(), SampleRate);
            Samples.insert(Samples.end(), pcm.Samples.begin(), pcm.Samples.end());
            sentence.Sound = {at, MsOf(Samples.size(), SampleRate)};
            TWordTimes times;
            times.Map(pcm.Words, 0, static_cast<int>(sentence.Words.size()));
            const auto& spans = times.Spans();
            for (std::size_t w = 0; w < spans.size(); ++w) {
                const int64_t begin = at + spans[w].start;
                int64_t end = w + 1 < spans.size() ? at + spans[w + 1].start : at + spans[w].end;
                end = std::min(std::max(end, begin), sentence.Sound.End);
                sentence.WordClips.push_back({std::min(begin, end), end});
            }
            Sentences.push_back(std::move(sentence));
        }
        if (progress)
            progress(++done, total);
    }
    if (Sentences.empty())
        throw std::runtime_error("the story has nothing the voice can say");
}

int64_t TSpokenStory::DurationMs() const {
    return MsOf(Samples.size(), SampleRate);
}

int TSpokenStory::ClippedWords() const {
    int n = 0;
    for (const Sentence& s : Sentences)
        n += static_cast<int>(s.WordClips.size());
    return n;
}
