// Common nouns: record and plural rule.
#include "vocab/Noun.h"

#include "vocab/WordStrings.h"

std::string TNoun::AutoPlural(const std::string& word) {
    if (EndsWith(word, "s") || EndsWith(word, "sh"))
        return word + "es";
    if (EndsWith(word, "lf") || EndsWith(word, "rf"))
        return word.substr(0, word.size() - 1) + "ves";
    return word + "s";
}

const std::string& TNoun::Form(int n) const {
    return n == 1 ? GetPlural() : TPartOfSpeech::Form(n);
}

void TNoun::WordChanged() {
    autoPlural_ = AutoPlural(Word());
}

void TNoun::ReadFromStream(plat::Stream& stream) {
    TPartOfSpeech::ReadFromStream(stream);
    plural_ = ReadWordString(stream);
}

void TNoun::SaveToStream(plat::Stream& stream) const {
    TPartOfSpeech::SaveToStream(stream);
    WriteWordString(stream, plural_);
}
