// A name of a person: male or female, with a short form for second mentions.
#pragma once
#include "vocab/PartOfSpeech.h"

class TProperNoun : public TPartOfSpeech {
public:
    TProperNoun() : TPartOfSpeech(wcProperNoun) { Refresh(); }

    void SaveToStream(plat::Stream& stream) const override;
    const std::string& Form(int n) const override;

    bool Male = false; // false: a female name

    // The stored short form ("" when the rule applies).
    const std::string& ShortForm() const { return shortForm_; }
    const std::string& GetShortForm() const { return FormOrRule(shortForm_, autoShortForm_); }
    void SetShortForm(const std::string& text) { StoreForm(shortForm_, text, autoShortForm_); }

    // The first word of Text without a trailing comma ("Smith, John": Smith).
    static std::string AutoShortForm(const std::string& text);
    const std::string& AutoShortForm() const { return autoShortForm_; }

protected:
    void ReadFromStream(plat::Stream& stream) override;
    void WordChanged() override;

private:
    std::string shortForm_;
    std::string autoShortForm_;
};
