// The base of all words: the base form, the word class and the two marks of
// the vocabulary's random choice. Each word class derives from it, adds its
// forms and writes its own record to the words file.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Stream.h"
#include "vocab/WordFlags.h"

class TPartOfSpeech {
public:
    virtual ~TPartOfSpeech() = default;
    TPartOfSpeech(const TPartOfSpeech&) = delete;
    TPartOfSpeech& operator=(const TPartOfSpeech&) = delete;

    // A new empty word of a class (wcProperNoun..wcPlace) with the class's
    // defaults; nullptr for any other number.
    static std::unique_ptr<TPartOfSpeech> Create(int wordClass);
    // A word of a class made with Create and then filled from its record.
    // Raises LumException when the stream ends inside the record or the class
    // number is not a word class.
    static std::unique_ptr<TPartOfSpeech> CreateFromStream(int wordClass, plat::Stream& stream);

    // Writes the class's record. Raises LumException when a write falls short.
    virtual void SaveToStream(plat::Stream& stream) const;

    uint8_t WordClass() const { return wordClass_; }
    // The base form as typed; the automatic forms follow it.
    const std::string& Word() const { return word_; }
    void SetWord(std::string word);

    // Form N of the word, the stored form or else the rule's: 0 the base
    // form; 1 to 4 the class's forms in the order of the word flags (short
    // form; plural; past, present, -ing form, participle; comparative,
    // superlative, adverb). "" for a number the class does not have.
    static constexpr int kFormCount = 5;
    virtual const std::string& Form(int n) const;
    // Bit 2N set: form N is not empty; bit 2N+1 set: it is also a single word
    // (has no space). Kept up to date by the setters; the random choice tests
    // candidates with it.
    uint16_t FormMask() const { return formMask_; }

    bool Used = false;      // picked during the current story
    bool Candidate = false; // scratch mark of the random choice

protected:
    explicit TPartOfSpeech(uint8_t wordClass) : wordClass_(wordClass) {}
    // Reads the record written by SaveToStream over this word's fields.
    virtual void ReadFromStream(plat::Stream& stream);
    // Recomputes the automatic forms after the base form changed.
    virtual void WordChanged() {}
    // WordChanged, then UpdateFormMask: each class's constructor calls it.
    void Refresh() {
        WordChanged();
        UpdateFormMask();
    }
    // Recomputes FormMask after any form changed.
    void UpdateFormMask();
    // The setter rule of every form: a text equal to the automatic form
    // (ignoring ASCII case) clears the stored form, any other is kept as typed.
    void StoreForm(std::string& stored, const std::string& text, const std::string& rule);
    // The stored form when there is one, else the automatic one.
    static const std::string& FormOrRule(const std::string& stored, const std::string& rule) {
        return stored.empty() ? rule : stored;
    }

private:
    uint8_t wordClass_;
    uint16_t formMask_ = 0; // of the empty base form, right for a class without rules
    std::string word_;
};
