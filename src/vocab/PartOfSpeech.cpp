// The word base class: factory, base record and the form-setting rule.
#include "vocab/PartOfSpeech.h"

#include "base/LumException.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/Place.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/WordStrings.h"

std::unique_ptr<TPartOfSpeech> TPartOfSpeech::Create(int wordClass) {
    switch (wordClass) {
    case wcProperNoun:
        return std::make_unique<TProperNoun>();
    case wcNoun:
        return std::make_unique<TNoun>();
    case wcVerb:
        return std::make_unique<TVerb>();
    case wcAdjective:
        return std::make_unique<TAdjective>();
    case wcPlace:
        return std::make_unique<TPlace>();
    default:
        return nullptr;
    }
}

std::unique_ptr<TPartOfSpeech> TPartOfSpeech::CreateFromStream(int wordClass,
                                                               plat::Stream& stream) {
    auto word = Create(wordClass);
    if (!word)
        throw LumException("CreateFromStream: invalid word class " + std::to_string(wordClass));
    word->ReadFromStream(stream);
    word->UpdateFormMask();
    return word;
}

void TPartOfSpeech::SetWord(std::string word) {
    word_ = std::move(word);
    Refresh();
}

const std::string& TPartOfSpeech::Form(int n) const {
    static const std::string empty;
    return n == 0 ? word_ : empty;
}

void TPartOfSpeech::UpdateFormMask() {
    uint16_t mask = 0;
    for (int n = 0; n < kFormCount; ++n) {
        const std::string& form = Form(n);
        if (!form.empty())
            mask |= static_cast<uint16_t>(1u << (2 * n));
        if (!form.empty() && form.find(' ') == std::string::npos)
            mask |= static_cast<uint16_t>(1u << (2 * n + 1));
    }
    formMask_ = mask;
}

void TPartOfSpeech::ReadFromStream(plat::Stream& stream) {
    SetWord(ReadWordString(stream));
}

void TPartOfSpeech::SaveToStream(plat::Stream& stream) const {
    WriteWordString(stream, word_);
}

void TPartOfSpeech::StoreForm(std::string& stored, const std::string& text,
                              const std::string& rule) {
    if (SameTextIgnoringCase(text, rule))
        stored.clear();
    else
        stored = text;
    UpdateFormMask();
}
