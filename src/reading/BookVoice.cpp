// TBookVoice: a talking book's track said sentence by sentence.
#include "reading/BookVoice.h"

#include <algorithm>

#include "reading/StorySentences.h"

namespace {

// A word the reader lights: one with a letter or a digit.
bool Lit(const std::string& word) {
    return TStorySentences::CountWords(word) > 0;
}

} // namespace

TBookVoice::TBookVoice(std::vector<Sentence> sentences, std::unique_ptr<plat::PcmTrack> track)
    : sentences_(std::move(sentences)), track_(std::move(track)) {
    lit_.resize(sentences_.size());
    for (std::size_t s = 0; s < sentences_.size(); ++s) {
        std::vector<std::string> words;
        for (std::size_t w = 0; w < sentences_[s].Words.size(); ++w)
            if (Lit(sentences_[s].Words[w])) {
                lit_[s].push_back(static_cast<int>(w));
                words.push_back(sentences_[s].Words[w]);
            }
        byKey_.emplace(KeyOf(words), static_cast<int>(s));
    }
}

std::string TBookVoice::KeyOf(const std::vector<std::string>& words) {
    std::string key;
    for (const std::string& w : words)
        key += w + '\x01';
    return key;
}

bool TBookVoice::Synthesize(const std::string& text, float, plat::SpeechPcm& out) {
    out = {};
    std::vector<std::string> words;
    for (const TSentenceWord& w :
         TStorySentences::FindWords(text.c_str(), 0, static_cast<int32_t>(text.size())))
        words.emplace_back(text, static_cast<std::size_t>(w.Begin),
                           static_cast<std::size_t>(w.End - w.Begin));
    if (words.empty() || !track_ || track_->SampleRate() == 0)
        return false;
    const std::string key = KeyOf(words);
    // The whole sentence, else the sentence it begins or ends.
    int sentence = -1;
    std::size_t first = 0; // of the sentence's lit words
    if (const auto found = byKey_.find(key); found != byKey_.end()) {
        sentence = found->second;
    } else {
        for (std::size_t s = 0; s < sentences_.size() && sentence < 0; ++s) {
            if (sentences_[s].WordClips.empty() || lit_[s].size() <= words.size())
                continue;
            std::vector<std::string> all;
            for (int w : lit_[s])
                all.push_back(sentences_[s].Words[static_cast<std::size_t>(w)]);
            const std::string whole = KeyOf(all);
            if (whole.starts_with(key)) {
                sentence = static_cast<int>(s);
            } else if (whole.ends_with(key)) {
                sentence = static_cast<int>(s);
                first = all.size() - words.size();
            }
        }
    }
    if (sentence < 0)
        return false;
    const Sentence& said = sentences_[static_cast<std::size_t>(sentence)];
    const std::vector<int>& lit = lit_[static_cast<std::size_t>(sentence)];
    const bool whole = first == 0 && words.size() == lit.size();
    const bool clips = said.WordClips.size() == said.Words.size();
    if (!whole && !clips)
        return false;
    // The stretch of the track: the sentence's span, or from its first word's
    // clip to the clip of the word after its last.
    Clip part = said.Span;
    if (!whole) {
        if (first > 0)
            part.Begin = said.WordClips[static_cast<std::size_t>(lit[first])].Begin;
        const std::size_t after = first + words.size();
        if (after < lit.size())
            part.End = said.WordClips[static_cast<std::size_t>(lit[after])].Begin;
    }
    const uint32_t rate = track_->SampleRate();
    const auto sampleAt = [this, rate](int64_t ms) {
        return std::min<std::size_t>(
            track_->Length(), static_cast<std::size_t>(std::max<int64_t>(0, ms)) * rate / 1000);
    };
    const std::size_t from = sampleAt(part.Begin), to = sampleAt(part.End);
    if (from >= to || !track_->Read(from, to - from, out.Samples)) {
        out = {};
        return false;
    }
    out.SampleRate = rate;
    if (clips)
        for (std::size_t i = 0; i < words.size(); ++i) {
            const Clip& c = said.WordClips[static_cast<std::size_t>(lit[first + i])];
            out.Words.push_back({static_cast<float>(c.Begin - part.Begin) / 1000.0f,
                                 static_cast<float>(c.End - part.Begin) / 1000.0f,
                                 static_cast<int>(i)});
        }
    return true;
}
