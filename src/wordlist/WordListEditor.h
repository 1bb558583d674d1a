// The word-list editor without its window: the list of the word class shown,
// the word being typed into the new-word box, the selection, and what the
// editor shows and sets of the selected word. The window hands each of its
// events to one operation here and then shows the result.
//
// The list holds the store's entries (texts and shared word objects) of one
// class, sorted by CompareTextIgnoringCase with ties in the order they were
// added. Changes reach the store when the class is switched (SelectWordClass)
// or the window hides (ReturnList).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "vocab/WordEntry.h"

class TVocab;
class TWordListObserver;

// The form boxes of the editor, each showing and setting one form of the
// selected word.
enum class TEditorField : uint8_t {
    Nickname,     // proper noun: ShortForm
    Plural,       // common noun: Plural
    PastTense,    // verb
    Continuous,   // verb
    PresentTense, // verb
    Participle,   // verb
    Bigger,       // adjective
    Biggest,      // adjective
    Adverb,       // adjective
};
inline constexpr int kEditorFieldCount = 9;

class TWordListEditor {
public:
    // The text that makes the place class available.
    static constexpr const char* kPlaceSecret = "WANDERLOT";
    static constexpr const char* kCaption = "Whirled Lists";
    static constexpr const char* kOopsCaption = "Oops";

    // Vocab outlives the editor. No class is loaded until SelectWordClass.
    explicit TWordListEditor(TVocab& vocab);
    TWordListEditor(const TWordListEditor&) = delete;
    TWordListEditor& operator=(const TWordListEditor&) = delete;

    // Observer (may be null) hears of every change of the list; not owned.
    void SetObserver(TWordListObserver* observer) { observer_ = observer; }

    int Count() const { return static_cast<int>(entries_.size()); }
    // 0 <= Index < Count().
    const TWordEntry& Entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    const std::vector<TWordEntry>& Entries() const { return entries_; }
    // Position of the first entry whose text equals Text ignoring case; -1 if none.
    int Find(const std::string& text) const;

    int ShownClass() const { return shownClass_; }
    // Position of the word being typed, or -1.
    int PendingIndex() const { return pendingIndex_; }
    // The selected position, or -1.
    int Selection() const { return selection_; }
    // The place class has been made available by typing kPlaceSecret.
    bool PlaceShown() const { return placeShown_; }
    // The window caption: kCaption, or kOopsCaption after SelectedWord met an
    // entry without a word.
    const std::string& Caption() const { return caption_; }

    // The selected entry's word; null when nothing is selected or the entry
    // carries no word. Sets Caption.
    TPartOfSpeech* SelectedWord();

    // Gives the class shown so far back to the store (dropping a word being
    // typed when BoxText is empty) and loads class N (0..4; others are
    // ignored) with its first entry selected and no word being typed.
    void SelectWordClass(int n, const std::string& boxText);
    // The new-word box changed to BoxText: the word made from the previous
    // text goes; BoxText is taken without the spaces around it; an entry
    // equal to it ignoring case is selected; otherwise a non-blank text adds
    // a new word of the class, selected and pending. A class already holding
    // the most words the words file keeps adds nothing.
    void WordTyped(const std::string& boxText);
    // The box loses focus or Enter is pressed: the word typed becomes an
    // ordinary entry. The window then empties the box.
    void CommitWord(const std::string& boxText);
    // Removes the selected entry and selects the one at its place (the last
    // when it was the last); nothing without a selection.
    void DeleteSelected();
    // Index -1 .. Count()-1; anything else selects nothing.
    void Select(int index);
    // The store's list of the class shown becomes the editor's list.
    void ReturnList();
    // ReturnList, then the store writes its file; false when that fails.
    bool SaveWords();

    // What the editor shows: the word standing for class 0..3 in the example
    // sentence (the selected word's base form for its own class, else the
    // class's example word); the text above the notebook.
    std::string SentenceWord(int wordClass);
    std::string CurrentWordText();
    // The selected word's form shown in Field, "" without a selected word of
    // the field's class.
    std::string FieldText(TEditorField field);
    bool Male();
    bool AdverbAllowed();

    // Sets the selected word's form to Text by the word's setting rule;
    // nothing without a selected word of the field's class.
    void SetField(TEditorField field, const std::string& text);
    void SetMale(bool male);
    void SetAdverbAllowed(bool allowed);

    static int FieldClass(TEditorField field);
    // The class's example word in the sentence ("" for places).
    static const char* ExampleWord(int wordClass);
    // "New name" / "Delete name" for names, "New word" / "Delete word" otherwise.
    static const char* NewWordCaption(int wordClass);
    static const char* DeleteCaption(int wordClass);
    // What a class's words are, as a screen reader names the class's tab:
    // "Names", "Things", "Actions", "Describing words", "Places".
    static const char* ClassName(int wordClass);

private:
    // The selected word when it belongs to the class, else null.
    TPartOfSpeech* SelectedOfClass(int wordClass);
    // Inserts after every entry that sorts equal or before; returns the position.
    int Insert(TWordEntry entry);
    void RemoveAt(int index);

    TVocab& vocab_;
    TWordListObserver* observer_ = nullptr;
    std::vector<TWordEntry> entries_;
    int shownClass_ = 0;
    int pendingIndex_ = -1;
    int selection_ = -1;
    bool listLoaded_ = false;
    bool placeShown_ = false;
    std::string caption_ = kCaption;
};
