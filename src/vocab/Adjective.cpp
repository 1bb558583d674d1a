// Adjectives: record and the comparison and adverb rules.
#include "vocab/Adjective.h"

#include "vocab/WordStrings.h"

namespace {
// "more"/"most" + space + stem after a final c or an -ing; otherwise the
// stem + the short suffix after e, else the long one.
std::string Compare(const std::string& word, const char* prefix, const char* afterE,
                    const char* otherwise) {
    std::string stem = Stem(word);
    if ((!stem.empty() && UpCase(stem.back()) == 'C') || EndsWith(stem, "ing"))
        return std::string(prefix) + " " + stem;
    return stem + (EndsWith(stem, "e") ? afterE : otherwise);
}
} // namespace

std::string TAdjective::AutoBigger(const std::string& word) {
    return Compare(word, "more", "r", "er");
}

std::string TAdjective::AutoBiggest(const std::string& word) {
    return Compare(word, "most", "st", "est");
}

std::string TAdjective::AutoAdverb(const std::string& word) {
    std::string stem = Stem(word);
    if (stem.empty())
        return "ly";
    return stem + (stem.back() == 'l' ? "y" : "ly");
}

const std::string& TAdjective::Form(int n) const {
    switch (n) {
    case 1:
        return GetBigger();
    case 2:
        return GetBiggest();
    case 3:
        return GetAdverb();
    default:
        return TPartOfSpeech::Form(n);
    }
}

void TAdjective::WordChanged() {
    autoBigger_ = AutoBigger(Word());
    autoBiggest_ = AutoBiggest(Word());
    autoAdverb_ = AutoAdverb(Word());
}

void TAdjective::ReadFromStream(plat::Stream& stream) {
    TPartOfSpeech::ReadFromStream(stream);
    bigger_ = ReadWordString(stream);
    biggest_ = ReadWordString(stream);
    AdverbAllowed = ReadByte(stream) != 0;
    if (AdverbAllowed)
        adverb_ = ReadWordString(stream);
}

void TAdjective::SaveToStream(plat::Stream& stream) const {
    TPartOfSpeech::SaveToStream(stream);
    WriteWordString(stream, bigger_);
    WriteWordString(stream, biggest_);
    WriteByte(stream, AdverbAllowed ? 1 : 0);
    if (AdverbAllowed)
        WriteWordString(stream, adverb_);
}
