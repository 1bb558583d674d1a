// A describing word with its comparative, superlative and (when it can
// describe an action) its adverb.
#pragma once
#include "vocab/PartOfSpeech.h"

class TAdjective : public TPartOfSpeech {
public:
    TAdjective() : TPartOfSpeech(wcAdjective) { Refresh(); }

    void SaveToStream(plat::Stream& stream) const override;
    const std::string& Form(int n) const override;

    // The word can describe an action; the adverb is written to the file
    // only when this is set.
    bool AdverbAllowed = true;

    const std::string& Bigger() const { return bigger_; }
    const std::string& Biggest() const { return biggest_; }
    const std::string& Adverb() const { return adverb_; }

    const std::string& GetBigger() const { return FormOrRule(bigger_, autoBigger_); }
    const std::string& GetBiggest() const { return FormOrRule(biggest_, autoBiggest_); }
    const std::string& GetAdverb() const { return FormOrRule(adverb_, autoAdverb_); }

    void SetBigger(const std::string& text) { StoreForm(bigger_, text, autoBigger_); }
    void SetBiggest(const std::string& text) { StoreForm(biggest_, text, autoBiggest_); }
    void SetAdverb(const std::string& text) { StoreForm(adverb_, text, autoAdverb_); }

    // "more X" after a final c or -ing, else the stem + "r" after e or "er".
    static std::string AutoBigger(const std::string& word);
    // "most X" after a final c or -ing, else the stem + "st" after e or "est".
    static std::string AutoBiggest(const std::string& word);
    // The stem + "y" after a lower-case l, else + "ly".
    static std::string AutoAdverb(const std::string& word);
    const std::string& AutoBigger() const { return autoBigger_; }
    const std::string& AutoBiggest() const { return autoBiggest_; }
    const std::string& AutoAdverb() const { return autoAdverb_; }

protected:
    void ReadFromStream(plat::Stream& stream) override;
    void WordChanged() override;

private:
    std::string bigger_, biggest_, adverb_;
    std::string autoBigger_, autoBiggest_, autoAdverb_;
};
