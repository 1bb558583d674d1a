// Verbs: record and the tense rules (first word inflected, rest kept).
#include "vocab/Verb.h"

#include "vocab/WordStrings.h"

std::string TVerb::AutoPastTense(const std::string& word) {
    std::string stem = Stem(FirstWord(word));
    return stem + (EndsWith(stem, "e") ? "d" : "ed") + RestAfterFirstWord(word);
}

std::string TVerb::AutoPresentTense(const std::string& word) {
    return FirstWord(word) + "s" + RestAfterFirstWord(word);
}

std::string TVerb::AutoContinuous(const std::string& word) {
    return Stem(FirstWord(word)) + "ing" + RestAfterFirstWord(word);
}

const std::string& TVerb::Form(int n) const {
    switch (n) {
    case 1:
        return GetPastTense();
    case 2:
        return GetPresentTense();
    case 3:
        return GetContinuous();
    case 4:
        return GetParticiple();
    default:
        return TPartOfSpeech::Form(n);
    }
}

void TVerb::WordChanged() {
    autoPastTense_ = AutoPastTense(Word());
    autoPresentTense_ = AutoPresentTense(Word());
    autoContinuous_ = AutoContinuous(Word());
}

void TVerb::ReadFromStream(plat::Stream& stream) {
    TPartOfSpeech::ReadFromStream(stream);
    pastTense_ = ReadWordString(stream);
    presentTense_ = ReadWordString(stream);
    continuous_ = ReadWordString(stream);
    participle_ = ReadWordString(stream);
}

void TVerb::SaveToStream(plat::Stream& stream) const {
    TPartOfSpeech::SaveToStream(stream);
    WriteWordString(stream, pastTense_);
    WriteWordString(stream, presentTense_);
    WriteWordString(stream, continuous_);
    WriteWordString(stream, participle_);
}
