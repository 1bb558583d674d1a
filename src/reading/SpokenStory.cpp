// Speaking the whole story into one track.
#include "reading/SpokenStory.h"

#include <algorithm>
#include <stdexcept>
#include <string_view>

#include "reading/WordTimes.h"
#include "sound/Resampler.h"

namespace {

int64_t MsOf(uint64_t samples, uint32_t rate) {
    return rate ? static_cast<int64_t>(samples * 1000 / rate) : 0;
}

bool MarkerAt(const std::string& text, int32_t i, int32_t end) {
    return i + 1 < end && text[static_cast<std::size_t>(i)] == '\\' &&
           text[static_cast<std::size_t>(i) + 1] == 'n';
}

// Calls Run(B, E) for each run [B, E) of characters of [Begin, End) of Text
// between spaces and markers, in order.
template <class F> void ForEachRun(const std::string& text, int32_t begin, int32_t end, F run) {
    for (int32_t i = begin; i < end;) {
        if (text[static_cast<std::size_t>(i)] == ' ') {
            ++i;
            continue;
        }
        if (MarkerAt(text, i, end)) {
            i += 2;
            continue;
        }
        int32_t j = i;
        while (j < end && text[static_cast<std::size_t>(j)] != ' ' && !MarkerAt(text, j, end))
            ++j;
        run(i, j);
        i = j;
    }
}

// The signs the voice is given as words when they stand alone.
struct SaidSign {
    char sign;
    const char* word;
};
constexpr SaidSign kSaidSigns[] = {
    {'&', "and"}, {'%', "per cent"}, {'+', "plus"}, {'=', "equals"}, {'@', "at"}};

// The word run [B, E) of Text is said as, when it is a sign standing alone
// (between punctuation at most: quotes, brackets, stops); At gets the sign's
// character. Nullptr for any other run.
const char* LoneSignWord(const std::string& text, int32_t b, int32_t e, int32_t& at) {
    constexpr std::string_view kBefore = "\"'([";
    constexpr std::string_view kAfter = "\"')].,;:!?";
    while (b < e && kBefore.find(text[static_cast<std::size_t>(b)]) != std::string_view::npos)
        ++b;
    while (e > b && kAfter.find(text[static_cast<std::size_t>(e) - 1]) != std::string_view::npos)
        --e;
    if (e - b != 1)
        return nullptr;
    for (const SaidSign& s : kSaidSigns)
        if (text[static_cast<std::size_t>(b)] == s.sign) {
            at = b;
            return s.word;
        }
    return nullptr;
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

// Hands Count samples of silence to Sink.
void Silence(const TSpokenStory::Sink& sink, uint64_t count) {
    static const int16_t zeros[4096] = {};
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<uint64_t>(count, std::size(zeros)));
        sink(zeros, n);
        count -= n;
    }
}

} // namespace

std::vector<TSentenceWord> TSpokenStory::WordsOf(const std::string& text, int32_t begin,
                                                 int32_t end) {
    std::vector<TSentenceWord> words = TStorySentences::FindWords(text.c_str(), begin, end);
    std::vector<TSentenceWord> signs;
    ForEachRun(text, begin, end, [&](int32_t b, int32_t e) {
        int32_t at = 0;
        if (TStorySentences::FindWords(text.c_str(), b, e).empty() && LoneSignWord(text, b, e, at))
            signs.push_back(TSentenceWord{at, at + 1, {}});
    });
    if (signs.empty())
        return words;
    std::vector<TSentenceWord> all(words.size() + signs.size());
    std::merge(words.begin(), words.end(), signs.begin(), signs.end(), all.begin(),
               [](const TSentenceWord& a, const TSentenceWord& b) { return a.Begin < b.Begin; });
    return all;
}

std::string TSpokenStory::SpeechOf(const std::string& text, int32_t begin, int32_t end) {
    std::vector<std::pair<int32_t, const char*>> signs; // in order
    ForEachRun(text, begin, end, [&](int32_t b, int32_t e) {
        int32_t at = 0;
        if (TStorySentences::FindWords(text.c_str(), b, e).empty())
            if (const char* word = LoneSignWord(text, b, e, at))
                signs.emplace_back(at, word);
    });
    std::string out;
    auto sign = signs.begin();
    for (int32_t i = begin; i < end; ++i) {
        if (MarkerAt(text, i, end)) {
            out += ' ';
            ++i;
        } else if (sign != signs.end() && sign->first == i) {
            out += sign++->second;
        } else {
            out += text[static_cast<std::size_t>(i)];
        }
    }
    return out;
}

void TSpokenStory::Plan(const std::string& text) {
    Samples.clear();
    SampleRate = 0;
    Sentences.clear();
    totalWords_ = 0;
    samples_ = 0;
    for (const TSentence& s : TStorySentences::Find(text.c_str())) {
        Sentence sentence;
        sentence.Begin = s.Begin;
        sentence.End = s.End;
        sentence.Words = WordsOf(text, s.Begin, s.End);
        totalWords_ += static_cast<int>(sentence.Words.size());
        if (!sentence.Words.empty())
            Sentences.push_back(std::move(sentence));
    }
    if (Sentences.empty())
        throw std::runtime_error("the story has nothing the voice can say");
}

bool TSpokenStory::Say(plat::SpeechSynth& synth, const std::string& text, float stretch,
                       const Sink& sink, const Progress& progress) {
    SampleRate = 0;
    samples_ = 0;
    auto put = [&](const int16_t* samples, std::size_t count) {
        sink(samples, count);
        samples_ += count;
    };
    plat::SpeechPcm pcm;
    const int total = static_cast<int>(Sentences.size());
    int done = 0;
    bool stopped = false;
    // The sentence before, whose span (and last word's clip) ends where the
    // next sound starts.
    Sentence* before = nullptr;
    auto endBefore = [&](int64_t at) {
        if (!before)
            return;
        before->Span.End = at;
        if (!before->WordClips.empty())
            before->WordClips.back().End = at;
    };
    for (Sentence& sentence : Sentences) {
        sentence.Sound = sentence.Span = {};
        sentence.WordClips.clear();
        const std::string speech = SpeechOf(text, sentence.Begin, sentence.End);
        // A voice that fails part-way would leave the rest of the book
        // silent: the book is not made.
        if (!synth.Synthesize(speech, stretch, pcm) || pcm.Samples.empty() || pcm.SampleRate == 0)
            throw std::runtime_error("the voice could not read the sentence \"" + Quoted(speech) +
                                     "\"");
        uint64_t silence = 0;
        if (SampleRate == 0) {
            SampleRate = TrackRate ? TrackRate : pcm.SampleRate;
            silence = uint64_t{kLeadMs} * SampleRate / 1000;
        } else {
            silence = uint64_t{kGapMs} * SampleRate / 1000;
        }
        if (pcm.SampleRate != SampleRate) {
            pcm.Samples = TResampler::Convert(pcm.Samples.data(), pcm.Samples.size(),
                                              pcm.SampleRate, SampleRate);
            pcm.SampleRate = SampleRate;
            if (pcm.Samples.empty())
                throw std::runtime_error("the voice could not read the sentence \"" +
                                         Quoted(speech) + "\"");
        }
        // The sound starts on a whole millisecond, so that its words' times
        // add to it exactly.
        while ((samples_ + silence) * 1000 % SampleRate != 0)
            ++silence;
        Silence(put, silence);
        const int64_t at = MsOf(samples_, SampleRate);
        endBefore(at);
        put(pcm.Samples.data(), pcm.Samples.size());
        sentence.Sound = {at, MsOf(samples_, SampleRate)};
        sentence.Span = {before ? at : 0, sentence.Sound.End};
        TWordTimes times;
        times.Map(pcm.Words, 0, static_cast<int>(sentence.Words.size()));
        const auto& spans = times.Spans();
        int64_t begin = sentence.Span.Begin;
        for (std::size_t w = 0; w < spans.size(); ++w) {
            const int64_t next = w + 1 < spans.size() ? std::clamp(at + spans[w + 1].start, begin,
                                                                   sentence.Sound.End)
                                                      : sentence.Span.End;
            sentence.WordClips.push_back({begin, next});
            begin = next;
        }
        before = &sentence;
        if (progress && !progress(++done, total)) {
            // The track ends with the sentence said last.
            Sentences.resize(static_cast<std::size_t>(done));
            stopped = true;
            break;
        }
    }
    if (SampleRate == 0)
        return !stopped;
    // The track ends on a whole millisecond, the last span with it.
    uint64_t pad = 0;
    while ((samples_ + pad) * 1000 % SampleRate != 0)
        ++pad;
    Silence(put, pad);
    endBefore(MsOf(samples_, SampleRate));
    return !stopped;
}

void TSpokenStory::Speak(plat::SpeechSynth& synth, const std::string& text, float stretch,
                         const std::function<void(int, int)>& progress) {
    Plan(text);
    Samples.clear();
    Say(
        synth, text, stretch,
        [this](const int16_t* samples, std::size_t count) {
            Samples.insert(Samples.end(), samples, samples + count);
        },
        [&](int done, int total) {
            if (progress)
                progress(done, total);
            return true;
        });
}

int64_t TSpokenStory::DurationMs() const {
    return MsOf(samples_, SampleRate);
}

int TSpokenStory::ClippedWords() const {
    int n = 0;
    for (const Sentence& s : Sentences)
        n += static_cast<int>(s.WordClips.size());
    return n;
}
