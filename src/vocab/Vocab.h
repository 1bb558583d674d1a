// The vocabulary: every word the stories can use, one sorted list per word
// class, kept in the words file; makes the story generator's random choices.
//
// Ownership: the class lists hold shared references to their word objects
// (see WordEntry.h). The word-list editor copies a class list (the same
// objects) and hands its edited list back with ReplaceWordList. A word that
// leaves a list, displaced by a later word with the same base form (ignoring
// case) or dropped by ReplaceWordList, is freed when its last holder lets go;
// nobody frees a word by hand, so none leaks and none is freed twice.
//
// The words file: for the classes 0 to 4, a signed 16-bit little-endian count
// and that many records of the class (see the word classes). A class keeps at
// most 32767 words in the file; longer lists are written as their first
// 32767 words.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Stream.h"
#include "vocab/WordFlags.h"
#include "vocab/WordList.h"

class TPartOfSpeech;

class TVocab {
public:
    // The most words of one class that the words file can hold.
    static constexpr int kMaxWordsPerClass = 32767;

    // Reads InstallFolder + "words.dat"; writes it back when destroyed.
    TVocab();
    // Reads FileName; writes it back when destroyed only when SaveOnDestroy.
    explicit TVocab(std::string fileName, bool saveOnDestroy = true);
    ~TVocab();
    TVocab(const TVocab&) = delete;
    TVocab& operator=(const TVocab&) = delete;

    // A random word of the class in the form Flags ask for; empty when the
    // class has no candidate. Draws with the process-wide Random().
    std::string ChooseWord(int wordClass, uint16_t flags);
    // Whether ChooseWord with Flags may take the word at Position of the
    // class (Used aside); false for a position outside the list.
    bool Fits(int wordClass, int position, uint16_t flags) const;
    // The word at Position of the class as ChooseWord with Flags would give
    // it (form, article, capitals), without drawing or marking anything;
    // empty for a position outside the list.
    std::string WordAt(int wordClass, int position, uint16_t flags) const;
    // Clears Used on every word of the class (of every class).
    void ClearUsed(int wordClass);
    void ClearAllUsed();

    // The form of Word that Flags ask for ("" for an adverb the adjective
    // does not allow).
    static std::string FormOf(const TPartOfSpeech& word, uint16_t flags);

    // The class list (wcProperNoun..wcPlace); an empty list for any other number.
    const TWordList& WordList(int wordClass) const;
    // The class list becomes Entries sorted and merged as by TWordList::Add
    // (a later entry wins over an earlier one with the same text). Entries
    // without a word object, or whose word belongs to another class, are left
    // out: they cannot be written to the class's section of the file.
    void ReplaceWordList(int wordClass, const std::vector<TWordEntry>& entries);
    // Adds a word to the list of its own class under its base form.
    void AddWord(std::shared_ptr<TPartOfSpeech> word);
    // Drops every word of every class.
    void FreeAllWords();

    // The list position of the word chosen last in the class; 0 at first.
    int32_t LastChosen(int wordClass) const;
    // What a later same-as-last choice in the class takes.
    void SetLastChosen(int wordClass, int32_t position);

    const std::string& FileName() const { return fileName_; }
    // Reads FileName() and adds its words. A missing or unopenable file adds
    // nothing and returns true; a file that exists but cannot be opened is
    // never written over afterwards. A read error shows the warning "Error
    // reading vocabulary file - vocabulary may be incomplete.", keeps the
    // words read so far and returns false; the file as it was is copied to
    // FileName() + ".bak" (".bak2", ... when earlier copies exist) before
    // the first save, and for a vocabulary that saves when destroyed at once,
    // the warning naming the copy.
    bool LoadWords();
    // Replaces FileName() atomically, never in place: where its folder takes
    // no new file the save fails. True when the file holds the words
    // afterwards: written, or, where writing failed, held already (byte for
    // byte as WriteWords gives them, or unchanged since it was read whole
    // into an empty vocabulary while the words are still the ones read);
    // nothing is said then, as nothing was lost. Otherwise false: silently
    // where no file was before, else with the warning "Error writing
    // vocabulary file - vocabulary may be incomplete." (the old file stays as
    // it was). Also false, with that warning, for a file that could not be
    // read, or a damaged one that could not be copied aside first.
    bool SaveWords();
    // The file contents without messages: ReadWords adds the words of
    // Stream and returns false when it ends early (the words read before
    // stay); WriteWords returns false when a write falls short.
    bool ReadWords(plat::Stream& stream);
    bool WriteWords(plat::Stream& stream) const;

private:
    // The state of the copy of a damaged file.
    enum class Keep { None, Pending, Kept, Never };
    static constexpr int kMaxKeptCopies = 99;
    // Copies a damaged file aside once; false when that is needed and fails.
    bool KeepDamagedFile();
    // Whether the file holds Words (WriteWords' bytes), as SaveWords says.
    bool FileHolds(const std::string& words) const;

    std::string fileName_;
    bool saveOnDestroy_;
    Keep keep_ = Keep::None;
    std::string keptName_; // file name (without folder) of the copy
    // After a whole read into an empty vocabulary: the file's bytes then,
    // and the words read as WriteWords gives them.
    bool fileKnown_ = false;
    std::string fileBytes_, fileWords_;
    std::array<int32_t, kWordClassCount> lastChosen_{};
    std::array<TWordList, kWordClassCount> lists_;
    std::vector<int> fresh_; // scratch of ChooseWord
};
