// The word-list editor's rules without a window: typing, looking up,
// committing, deleting, switching class and setting forms.
#include <gtest/gtest.h>

#include <random>

#include "support/TestSupport.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Vocab.h"
#include "vocab/WordStrings.h"
#include "wordlist/WordListEditor.h"

namespace {
std::shared_ptr<TPartOfSpeech> MakeWord(int cls, const std::string& text) {
    std::shared_ptr<TPartOfSpeech> w = TPartOfSpeech::Create(cls);
    w->SetWord(text);
    return w;
}

std::vector<std::string> Texts(const std::vector<TWordEntry>& entries) {
    std::vector<std::string> out;
    for (const auto& e : entries)
        out.push_back(e.Text);
    return out;
}

using Strings = std::vector<std::string>;

// A vocabulary without a file, and an editor on it showing nouns.
struct EditorTest : ::testing::Test {
    fbwtest::TempDir dir;
    TVocab vocab{dir / "words.dat", false};
    TWordListEditor editor{vocab};

    void Load(int cls, const Strings& words) {
        for (const auto& w : words)
            vocab.AddWord(MakeWord(cls, w));
        editor.SelectWordClass(cls, "");
    }
    // Types Text one character at a time, as the box reports it.
    void TypeLetters(const std::string& text) {
        for (std::size_t n = 1; n <= text.size(); ++n)
            editor.WordTyped(text.substr(0, n));
    }
    std::string SelectedText() {
        return editor.Selection() < 0 ? "" : editor.Entry(editor.Selection()).Text;
    }
};
} // namespace

TEST_F(EditorTest, TypingLeavesOnlyTheWholeWordAndEmptyingRemovesIt) {
    Load(wcNoun, {"apple", "pear"});
    TypeLetters("kiwi");
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"apple", "kiwi", "pear"}));
    EXPECT_EQ(editor.PendingIndex(), 1);
    EXPECT_EQ(SelectedText(), "kiwi");
    EXPECT_EQ(editor.CurrentWordText(), "\"kiwi\"");
    EXPECT_EQ(editor.FieldText(TEditorField::Plural), "kiwis");
    EXPECT_EQ(editor.SentenceWord(wcNoun), "kiwi");
    EXPECT_EQ(editor.SentenceWord(wcVerb), "gobble");

    for (std::size_t n = 4; n-- > 0;)
        editor.WordTyped(std::string("kiwi").substr(0, n));
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"apple", "pear"}));
    EXPECT_EQ(editor.PendingIndex(), -1);
    EXPECT_EQ(SelectedText(), "apple"); // blank text keeps (or makes) a selection

    // Committed, the word stays: the next text no longer replaces it.
    TypeLetters("fig");
    editor.CommitWord("fig");
    EXPECT_EQ(editor.PendingIndex(), -1);
    editor.WordTyped("");
    editor.WordTyped("z");
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"apple", "fig", "pear", "z"}));
}

TEST_F(EditorTest, LookupIgnoresCaseAndTheSpacesAroundAndBlankAddsNothing) {
    Load(wcNoun, {"Apple", "pear"});
    editor.WordTyped("PEAR");
    EXPECT_EQ(editor.Count(), 2);
    EXPECT_EQ(SelectedText(), "pear");
    EXPECT_EQ(editor.PendingIndex(), -1);

    editor.WordTyped("   ");
    EXPECT_EQ(editor.Count(), 2);
    EXPECT_EQ(SelectedText(), "pear");

    // Spaces around the text: the existing word, not a second one.
    const TPartOfSpeech* apple = editor.Entry(0).Word.get();
    editor.WordTyped(" apple ");
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"Apple", "pear"}));
    EXPECT_EQ(SelectedText(), "Apple");
    EXPECT_EQ(editor.PendingIndex(), -1);
    editor.CommitWord(" apple ");
    editor.ReturnList();
    EXPECT_EQ(Texts(vocab.WordList(wcNoun).Entries()), (Strings{"Apple", "pear"}));
    EXPECT_EQ(&vocab.WordList(wcNoun).Word(0), apple);
}

TEST_F(EditorTest, TypingANameWithASpaceBeforeItKeepsTheNameItFinds) {
    Load(wcProperNoun, {"Alfie", "Bella"});
    editor.Select(0);
    editor.SetMale(true);
    editor.SetField(TEditorField::Nickname, "Alf");
    // A space, then the name letter by letter, then Enter.
    TypeLetters(" Alfie");
    EXPECT_EQ(SelectedText(), "Alfie");
    EXPECT_EQ(editor.PendingIndex(), -1);
    editor.CommitWord(" Alfie");
    editor.WordTyped("");
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"Alfie", "Bella"}));
    editor.Select(0);
    EXPECT_TRUE(editor.Male());
    EXPECT_EQ(editor.FieldText(TEditorField::Nickname), "Alf");
    editor.ReturnList();
    EXPECT_EQ(vocab.WordList(wcProperNoun).Count(), 2);
}

TEST_F(EditorTest, DeletingSelectsTheEntryAtThePlaceOrTheNewLast) {
    Load(wcVerb, {"hop", "run", "skip"});
    editor.Select(1);
    editor.DeleteSelected();
    EXPECT_EQ(SelectedText(), "skip");
    editor.DeleteSelected();
    EXPECT_EQ(SelectedText(), "hop");
    editor.DeleteSelected();
    EXPECT_EQ(editor.Selection(), -1);
    EXPECT_EQ(editor.CurrentWordText(), "Add a word to the list");
    editor.DeleteSelected(); // nothing to delete
    EXPECT_EQ(editor.Count(), 0);
    // Deleted words leave the store when the list goes back.
    editor.ReturnList();
    EXPECT_EQ(vocab.WordList(wcVerb).Count(), 0);
}

TEST_F(EditorTest, PendingPositionFollowsDeletionsBeforeIt) {
    Load(wcNoun, {"apple", "pear"});
    editor.WordTyped("zebra");
    editor.Select(0);
    editor.DeleteSelected();
    EXPECT_EQ(editor.PendingIndex(), 1);
    editor.WordTyped("zebras");
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"pear", "zebras"}));
}

TEST_F(EditorTest, SwitchingClassKeepsTheWordTypedInItsOwnClass) {
    Load(wcNoun, {"apple"});
    vocab.AddWord(MakeWord(wcVerb, "hop"));
    TypeLetters("kiwi");
    editor.SelectWordClass(wcVerb, "kiwi");
    EXPECT_EQ(Texts(vocab.WordList(wcNoun).Entries()), (Strings{"apple", "kiwi"}));
    EXPECT_EQ(Texts(editor.Entries()), (Strings{"hop"}));
    EXPECT_EQ(editor.PendingIndex(), -1);
    EXPECT_EQ(editor.Selection(), 0);

    // A word still pending with the box emptied does not go back.
    editor.WordTyped("jump");
    editor.SelectWordClass(wcNoun, "");
    EXPECT_EQ(Texts(vocab.WordList(wcVerb).Entries()), (Strings{"hop"}));
    editor.SelectWordClass(7, ""); // no such class
    EXPECT_EQ(editor.ShownClass(), wcNoun);
}

TEST_F(EditorTest, FormsReachOnlyTheSelectedWordOfTheirClass) {
    Load(wcNoun, {"box"});
    auto& noun = static_cast<TNoun&>(*editor.Entry(0).Word);
    editor.SetField(TEditorField::Plural, "boxes");
    EXPECT_EQ(editor.FieldText(TEditorField::Plural), "boxes");
    editor.SetField(TEditorField::Plural, "");
    // A field of another class, or no selection, reaches no word.
    editor.SetField(TEditorField::PastTense, "went");
    EXPECT_EQ(editor.FieldText(TEditorField::PastTense), "");
    editor.Select(-1);
    editor.SetField(TEditorField::Plural, "boxen");
    EXPECT_EQ(noun.Plural(), "");
    EXPECT_EQ(editor.CurrentWordText(), "Pick a word from the list or add a new one");

    // New words take their class's defaults; places are words of their own class.
    editor.SelectWordClass(wcPlace, "");
    editor.WordTyped("Rome");
    EXPECT_EQ(editor.Entry(0).Word->WordClass(), wcPlace);
    editor.SelectWordClass(wcProperNoun, "");
    editor.WordTyped("Sam");
    EXPECT_FALSE(editor.Male());
    editor.SetMale(true);
    EXPECT_TRUE(static_cast<TProperNoun&>(*editor.Entry(0).Word).Male);
}

TEST_F(EditorTest, ListOrderIsTheStoresOrder) {
    // Mixed case, punctuation and bytes above 127: whatever the editor adds
    // must sit where the store would put it.
    std::mt19937 rng(5);
    const std::string letters = "aAbBzZ _-'\xE9\xC9\xFC";
    Load(wcNoun, {});
    for (int i = 0; i < 300; ++i) {
        std::string w(1 + rng() % 4, 'a');
        for (char& ch : w)
            ch = letters[rng() % letters.size()];
        if (w.front() == ' ' || w.back() == ' ')
            continue;
        editor.WordTyped(w);
        editor.CommitWord(w);
    }
    const Strings shown = Texts(editor.Entries());
    editor.ReturnList();
    EXPECT_EQ(Texts(vocab.WordList(wcNoun).Entries()), shown);
    for (int i = 0; i + 1 < editor.Count(); ++i)
        EXPECT_LT(CompareTextIgnoringCase(editor.Entry(i).Text, editor.Entry(i + 1).Text), 0);
}

TEST_F(EditorTest, AFullClassTakesNoMoreWords) {
    std::vector<TWordEntry> many;
    for (int i = 0; i < TVocab::kMaxWordsPerClass; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "w%05d", i);
        many.push_back({text, MakeWord(wcNoun, text)});
    }
    vocab.ReplaceWordList(wcNoun, many);
    editor.SelectWordClass(wcNoun, "");
    editor.WordTyped("one more");
    EXPECT_EQ(editor.Count(), TVocab::kMaxWordsPerClass);
    EXPECT_EQ(editor.PendingIndex(), -1);
}
