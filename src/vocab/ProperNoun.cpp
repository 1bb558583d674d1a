// Proper nouns: record and short-form rule.
#include "vocab/ProperNoun.h"

#include "vocab/WordStrings.h"

std::string TProperNoun::AutoShortForm(const std::string& text) {
    std::string s = FirstWord(text);
    if (!s.empty() && s.back() == ',')
        s.pop_back();
    return s;
}

const std::string& TProperNoun::Form(int n) const {
    return n == 1 ? GetShortForm() : TPartOfSpeech::Form(n);
}

void TProperNoun::WordChanged() {
    autoShortForm_ = AutoShortForm(Word());
}

void TProperNoun::ReadFromStream(plat::Stream& stream) {
    TPartOfSpeech::ReadFromStream(stream);
    Male = ReadByte(stream) != 0;
    shortForm_ = ReadWordString(stream);
}

void TProperNoun::SaveToStream(plat::Stream& stream) const {
    TPartOfSpeech::SaveToStream(stream);
    WriteByte(stream, Male ? 1 : 0);
    WriteWordString(stream, shortForm_);
}
