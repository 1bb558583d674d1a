// The word-list editor's rules: one class's list, the word being typed, the
// selection and the forms of the selected word.
#include "wordlist/WordListEditor.h"

#include <algorithm>

#include "base/LumUtil.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/Vocab.h"
#include "vocab/WordStrings.h"
#include "wordlist/WordListObserver.h"

namespace {
bool ValidClass(int wordClass) {
    return wordClass >= 0 && wordClass < kWordClassCount;
}

bool Less(const TWordEntry& e, const std::string& t) {
    return CompareTextIgnoringCase(e.Text, t) < 0;
}
} // namespace

TWordListEditor::TWordListEditor(TVocab& vocab) : vocab_(vocab) {}

int TWordListEditor::Find(const std::string& text) const {
    auto it = std::lower_bound(entries_.begin(), entries_.end(), text, Less);
    if (it != entries_.end() && CompareTextIgnoringCase(it->Text, text) == 0)
        return static_cast<int>(it - entries_.begin());
    return -1;
}

int TWordListEditor::Insert(TWordEntry entry) {
    auto it = std::upper_bound(entries_.begin(), entries_.end(), entry.Text,
                               [](const std::string& t, const TWordEntry& e) {
                                   return CompareTextIgnoringCase(t, e.Text) < 0;
                               });
    const int pos = static_cast<int>(it - entries_.begin());
    if (observer_)
        observer_->EntryInserting(pos);
    entries_.insert(it, std::move(entry));
    if (selection_ >= pos)
        ++selection_;
    if (pendingIndex_ >= pos)
        ++pendingIndex_;
    if (observer_)
        observer_->EntryInserted(pos);
    return pos;
}

void TWordListEditor::RemoveAt(int index) {
    if (observer_)
        observer_->EntryRemoving(index);
    entries_.erase(entries_.begin() + index);
    for (int* pos : {&selection_, &pendingIndex_}) {
        if (*pos == index)
            *pos = -1;
        else if (*pos > index)
            --*pos;
    }
    if (observer_)
        observer_->EntryRemoved(index);
}

TPartOfSpeech* TWordListEditor::SelectedWord() {
    caption_ = kCaption;
    if (selection_ < 0)
        return nullptr;
    TPartOfSpeech* word = Entry(selection_).Word.get();
    if (!word)
        caption_ = kOopsCaption;
    return word;
}

TPartOfSpeech* TWordListEditor::SelectedOfClass(int wordClass) {
    TPartOfSpeech* word = SelectedWord();
    return word && word->WordClass() == wordClass ? word : nullptr;
}

void TWordListEditor::SelectWordClass(int n, const std::string& boxText) {
    if (!ValidClass(n))
        return;
    if (listLoaded_) {
        if (pendingIndex_ >= 0 && boxText.empty())
            RemoveAt(pendingIndex_);
        ReturnList();
    }
    if (observer_)
        observer_->ListResetting();
    shownClass_ = n;
    entries_ = vocab_.WordList(n).Entries();
    listLoaded_ = true;
    selection_ = entries_.empty() ? -1 : 0;
    pendingIndex_ = -1;
    if (observer_)
        observer_->ListReset();
}

void TWordListEditor::WordTyped(const std::string& boxText) {
    if (pendingIndex_ >= 0)
        RemoveAt(pendingIndex_);
    if (boxText == kPlaceSecret)
        placeShown_ = true;
    const std::string word = TrimTrailingSpaces(TrimLeadingSpaces(boxText));
    const int found = word.empty() ? -1 : Find(word);
    if (found < 0 && !word.empty()) {
        if (Count() >= TVocab::kMaxWordsPerClass)
            return;
        std::shared_ptr<TPartOfSpeech> made = TPartOfSpeech::Create(shownClass_);
        made->SetWord(word);
        const int pos = Insert({word, std::move(made)});
        selection_ = pos;
        pendingIndex_ = pos;
    } else if (found >= 0) {
        selection_ = found;
    } else if (!entries_.empty() && selection_ < 0) {
        selection_ = 0;
    }
}

void TWordListEditor::CommitWord(const std::string& boxText) {
    if (pendingIndex_ >= 0 && boxText.empty())
        RemoveAt(pendingIndex_);
    pendingIndex_ = -1;
}

void TWordListEditor::DeleteSelected() {
    if (selection_ < 0)
        return;
    int pos = selection_;
    RemoveAt(pos);
    if (pos >= Count())
        pos = Count() - 1;
    selection_ = pos;
}

void TWordListEditor::Select(int index) {
    selection_ = index >= 0 && index < Count() ? index : -1;
}

void TWordListEditor::ReturnList() {
    if (listLoaded_)
        vocab_.ReplaceWordList(shownClass_, entries_);
}

bool TWordListEditor::SaveWords() {
    ReturnList();
    return vocab_.SaveWords();
}

std::string TWordListEditor::SentenceWord(int wordClass) {
    if (TPartOfSpeech* word = SelectedOfClass(wordClass))
        return word->Word();
    return ExampleWord(wordClass);
}

std::string TWordListEditor::CurrentWordText() {
    if (TPartOfSpeech* word = SelectedWord())
        return "\"" + word->Word() + "\"";
    return entries_.empty() ? "Add a word to the list"
                            : "Pick a word from the list or add a new one";
}

int TWordListEditor::FieldClass(TEditorField field) {
    switch (field) {
    case TEditorField::Nickname:
        return wcProperNoun;
    case TEditorField::Plural:
        return wcNoun;
    case TEditorField::PastTense:
    case TEditorField::Continuous:
    case TEditorField::PresentTense:
    case TEditorField::Participle:
        return wcVerb;
    case TEditorField::Bigger:
    case TEditorField::Biggest:
    case TEditorField::Adverb:
        return wcAdjective;
    }
    return -1;
}

std::string TWordListEditor::FieldText(TEditorField field) {
    TPartOfSpeech* word = SelectedOfClass(FieldClass(field));
    if (!word)
        return {};
    switch (field) {
    case TEditorField::Nickname:
        return static_cast<TProperNoun*>(word)->GetShortForm();
    case TEditorField::Plural:
        return static_cast<TNoun*>(word)->GetPlural();
    case TEditorField::PastTense:
        return static_cast<TVerb*>(word)->GetPastTense();
    case TEditorField::Continuous:
        return static_cast<TVerb*>(word)->GetContinuous();
    case TEditorField::PresentTense:
        return static_cast<TVerb*>(word)->GetPresentTense();
    case TEditorField::Participle:
        return static_cast<TVerb*>(word)->GetParticiple();
    case TEditorField::Bigger:
        return static_cast<TAdjective*>(word)->GetBigger();
    case TEditorField::Biggest:
        return static_cast<TAdjective*>(word)->GetBiggest();
    case TEditorField::Adverb:
        return static_cast<TAdjective*>(word)->GetAdverb();
    }
    return {};
}

void TWordListEditor::SetField(TEditorField field, const std::string& text) {
    TPartOfSpeech* word = SelectedOfClass(FieldClass(field));
    if (!word)
        return;
    switch (field) {
    case TEditorField::Nickname:
        static_cast<TProperNoun*>(word)->SetShortForm(text);
        break;
    case TEditorField::Plural:
        static_cast<TNoun*>(word)->SetPlural(text);
        break;
    case TEditorField::PastTense:
        static_cast<TVerb*>(word)->SetPastTense(text);
        break;
    case TEditorField::Continuous:
        static_cast<TVerb*>(word)->SetContinuous(text);
        break;
    case TEditorField::PresentTense:
        static_cast<TVerb*>(word)->SetPresentTense(text);
        break;
    case TEditorField::Participle:
        static_cast<TVerb*>(word)->SetParticiple(text);
        break;
    case TEditorField::Bigger:
        static_cast<TAdjective*>(word)->SetBigger(text);
        break;
    case TEditorField::Biggest:
        static_cast<TAdjective*>(word)->SetBiggest(text);
        break;
    case TEditorField::Adverb:
        static_cast<TAdjective*>(word)->SetAdverb(text);
        break;
    }
}

bool TWordListEditor::Male() {
    TPartOfSpeech* word = SelectedOfClass(wcProperNoun);
    return word && static_cast<TProperNoun*>(word)->Male;
}

bool TWordListEditor::AdverbAllowed() {
    TPartOfSpeech* word = SelectedOfClass(wcAdjective);
    return word && static_cast<TAdjective*>(word)->AdverbAllowed;
}

void TWordListEditor::SetMale(bool male) {
    if (TPartOfSpeech* word = SelectedOfClass(wcProperNoun))
        static_cast<TProperNoun*>(word)->Male = male;
}

void TWordListEditor::SetAdverbAllowed(bool allowed) {
    if (TPartOfSpeech* word = SelectedOfClass(wcAdjective))
        static_cast<TAdjective*>(word)->AdverbAllowed = allowed;
}

const char* TWordListEditor::ExampleWord(int wordClass) {
    switch (wordClass) {
    case wcProperNoun:
        return "Goldilocks";
    case wcNoun:
        return "porridge";
    case wcVerb:
        return "gobble";
    case wcAdjective:
        return "delicious";
    default:
        return "";
    }
}

const char* TWordListEditor::NewWordCaption(int wordClass) {
    return wordClass == wcProperNoun ? "New name" : "New word";
}

const char* TWordListEditor::DeleteCaption(int wordClass) {
    return wordClass == wcProperNoun ? "Delete name" : "Delete word";
}

const char* TWordListEditor::ClassName(int wordClass) {
    switch (wordClass) {
    case wcProperNoun:
        return "Names";
    case wcNoun:
        return "Things";
    case wcVerb:
        return "Actions";
    case wcAdjective:
        return "Describing words";
    default:
        return "Places";
    }
}
