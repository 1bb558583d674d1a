// A common noun: a thing that may appear in the stories, with its plural.
#pragma once
#include "vocab/PartOfSpeech.h"

class TNoun : public TPartOfSpeech {
public:
    TNoun() : TPartOfSpeech(wcNoun) { Refresh(); }

    void SaveToStream(plat::Stream& stream) const override;
    const std::string& Form(int n) const override;

    const std::string& Plural() const { return plural_; }
    const std::string& GetPlural() const { return FormOrRule(plural_, autoPlural_); }
    void SetPlural(const std::string& text) { StoreForm(plural_, text, autoPlural_); }

    // -s, -es after s or sh, -ves for a final lf or rf; no stem.
    static std::string AutoPlural(const std::string& word);
    const std::string& AutoPlural() const { return autoPlural_; }

protected:
    void ReadFromStream(plat::Stream& stream) override;
    void WordChanged() override;

private:
    std::string plural_;
    std::string autoPlural_;
};
