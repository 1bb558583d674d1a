// An action word, possibly a phrase ("jump over"): only its first word is
// inflected, the rest follows unchanged.
#pragma once
#include "vocab/PartOfSpeech.h"

class TVerb : public TPartOfSpeech {
public:
    TVerb() : TPartOfSpeech(wcVerb) { Refresh(); }

    void SaveToStream(plat::Stream& stream) const override;
    const std::string& Form(int n) const override;

    // The stored forms ("" when the rule applies).
    const std::string& PastTense() const { return pastTense_; }
    const std::string& PresentTense() const { return presentTense_; }
    const std::string& Continuous() const { return continuous_; }
    const std::string& Participle() const { return participle_; }

    const std::string& GetPastTense() const { return FormOrRule(pastTense_, autoPastTense_); }
    const std::string& GetPresentTense() const {
        return FormOrRule(presentTense_, autoPresentTense_);
    }
    const std::string& GetContinuous() const { return FormOrRule(continuous_, autoContinuous_); }
    // The participle's rule is the past tense rule.
    const std::string& GetParticiple() const { return FormOrRule(participle_, autoPastTense_); }

    void SetPastTense(const std::string& text) { StoreForm(pastTense_, text, autoPastTense_); }
    void SetPresentTense(const std::string& text) {
        StoreForm(presentTense_, text, autoPresentTense_);
    }
    void SetContinuous(const std::string& text) { StoreForm(continuous_, text, autoContinuous_); }
    void SetParticiple(const std::string& text) { StoreForm(participle_, text, autoPastTense_); }

    // Stem of the first word + "d" after e, else + "ed"; then the rest.
    static std::string AutoPastTense(const std::string& word);
    // The first word + "s" (never "es", no stem); then the rest.
    static std::string AutoPresentTense(const std::string& word);
    // Stem of the first word + "ing"; then the rest.
    static std::string AutoContinuous(const std::string& word);
    const std::string& AutoPastTense() const { return autoPastTense_; }
    const std::string& AutoPresentTense() const { return autoPresentTense_; }
    const std::string& AutoContinuous() const { return autoContinuous_; }

protected:
    void ReadFromStream(plat::Stream& stream) override;
    void WordChanged() override;

private:
    std::string pastTense_, presentTense_, continuous_, participle_;
    std::string autoPastTense_, autoPresentTense_, autoContinuous_;
};
