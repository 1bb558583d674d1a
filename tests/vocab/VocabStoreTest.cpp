// The vocabulary store: sorted and merged class lists, shared word objects,
// and the words file.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/InitGame.h"
#include "platform/MemoryStream.h"
#include "support/TestSupport.h"
#include "vocab/Adjective.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/Vocab.h"
#include "vocab/WordStrings.h"

using fbwtest::MessageCapture;
using fbwtest::TempDir;

namespace {
const char* const kReadWarning = "Error reading vocabulary file - vocabulary may be incomplete.";
const char* const kWriteWarning = "Error writing vocabulary file - vocabulary may be incomplete.";

std::string Str(const std::string& s) {
    return std::string{static_cast<char>(s.size() & 0xFF), static_cast<char>(s.size() >> 8)} + s;
}
std::string Count(int n) {
    return std::string{static_cast<char>(n & 0xFF), static_cast<char>((n >> 8) & 0xFF)};
}

std::shared_ptr<TPartOfSpeech> MakeWord(int cls, const std::string& text) {
    std::shared_ptr<TPartOfSpeech> w = TPartOfSpeech::Create(cls);
    w->SetWord(text);
    return w;
}

std::vector<std::string> Texts(const TWordList& list) {
    std::vector<std::string> out;
    for (const auto& e : list)
        out.push_back(e.Text);
    return out;
}

// A vocabulary that reads no file and writes none.
struct Empty {
    TVocab vocab{"", false};
};
} // namespace

TEST(WordList, SortedWithoutRegardToCase) {
    TWordList list;
    for (const char* t : {"pear", "Apple", "banana", "apricot", "Zebra", "_under",
                          "\xC9"
                          "clair"})
        list.Add(t, MakeWord(wcNoun, t));
    EXPECT_EQ(Texts(list),
              (std::vector<std::string>{"_under", "Apple", "apricot", "banana", "pear", "Zebra",
                                        "\xC9"
                                        "clair"}));
    EXPECT_EQ(list.IndexOf("APRICOT"), 2);
    EXPECT_EQ(list.IndexOf("apricots"), -1);
}

TEST(WordList, AddAllMatchesAddingOneByOne) {
    // Many case variants in scrambled order: the batch gives the same texts,
    // positions and (latest) objects as adding one at a time.
    const char* stems[] = {"ox", "Ox", "OX", "ant", "ANT", "bee", "b", "B", "", "zz", "Zz"};
    uint32_t x = 12345;
    for (int round = 0; round < 20; ++round) {
        std::vector<TWordEntry> entries;
        for (int i = 0; i < 30; ++i) {
            x = x * 1103515245u + 12345u;
            const char* t = stems[(x >> 16) % (sizeof stems / sizeof *stems)];
            entries.push_back({t, MakeWord(wcNoun, t)});
        }
        TWordList one, batch;
        auto bee = MakeWord(wcNoun, "Bee");
        one.Add("Bee", bee);
        batch.Add("Bee", bee);
        for (const auto& e : entries)
            one.Add(e.Text, e.Word);
        batch.AddAll(entries);
        ASSERT_EQ(Texts(batch), Texts(one));
        for (int i = 0; i < one.Count(); ++i)
            EXPECT_EQ(batch[i].Word, one[i].Word) << i;
    }
}

TEST(VocabOwnership, DisplacedWordIsFreedOnceNobodyHoldsIt) {
    Empty e;
    std::weak_ptr<TPartOfSpeech> displaced;
    {
        auto w = MakeWord(wcNoun, "egg");
        displaced = w;
        e.vocab.AddWord(std::move(w));
    }
    e.vocab.AddWord(MakeWord(wcNoun, "EGG"));
    EXPECT_TRUE(displaced.expired()) << "the store was the last holder";
    EXPECT_EQ(e.vocab.WordList(wcNoun).Word(0).Word(), "EGG");
}

TEST(VocabOwnership, EditorCopiesAndReplacesWithoutFreeingHeldWords) {
    Empty e;
    for (const char* t : {"cat", "dog", "emu"})
        e.vocab.AddWord(MakeWord(wcNoun, t));

    // The editor copies the class list: the same objects.
    std::vector<TWordEntry> editor = e.vocab.WordList(wcNoun).Entries();
    std::weak_ptr<TPartOfSpeech> dog = editor[1].Word;
    static_cast<TNoun&>(*editor[0].Word).SetPlural("kitties");
    EXPECT_EQ(static_cast<TNoun&>(e.vocab.WordList(wcNoun).Word(0)).GetPlural(), "kitties");

    // It deletes dog, adds two words that differ only in case and hands the
    // list back unsorted.
    editor.erase(editor.begin() + 1);
    editor.push_back({"Yak", MakeWord(wcNoun, "Yak")});
    auto yak2 = MakeWord(wcNoun, "yak");
    editor.push_back({"yak", yak2});
    editor.push_back({"ant", MakeWord(wcNoun, "ant")});
    editor.push_back({"null", nullptr});
    editor.push_back({"verb", MakeWord(wcVerb, "verb")});
    e.vocab.ReplaceWordList(wcNoun, editor);
    EXPECT_EQ(Texts(e.vocab.WordList(wcNoun)),
              (std::vector<std::string>{"ant", "cat", "emu", "Yak"}))
        << "sorted, merged, without entries it could not write";
    EXPECT_EQ(e.vocab.WordList(wcNoun)[3].Word, yak2);
    EXPECT_TRUE(dog.expired()) << "dropped by the editor and then by the store";

    // The editor still holds the displaced "Yak" until it lets go.
    std::weak_ptr<TPartOfSpeech> yak1 = editor[2].Word;
    EXPECT_FALSE(yak1.expired());
    editor.clear();
    EXPECT_TRUE(yak1.expired());
}

TEST(VocabOwnership, FreeAllWordsAndBadClassNumbers) {
    Empty e;
    e.vocab.AddWord(MakeWord(wcPlace, "Rome"));
    e.vocab.AddWord(nullptr);
    e.vocab.ReplaceWordList(7, {});
    EXPECT_EQ(e.vocab.WordList(7).Count(), 0);
    EXPECT_EQ(e.vocab.WordList(-1).Count(), 0);
    EXPECT_EQ(e.vocab.ChooseWord(9, 0), "");
    e.vocab.ClearUsed(-3);
    EXPECT_EQ(e.vocab.WordList(wcPlace).Count(), 1);
    e.vocab.FreeAllWords();
    EXPECT_EQ(e.vocab.WordList(wcPlace).Count(), 0);
}

TEST(WordsFile, ClassesInOrderWithZeroAndNegativeCounts) {
    TempDir dir;
    std::string file = Count(1) + Str("Bob") + '\x01' + Str("") + // names
                       Count(-4) +                                // nouns: none
                       Count(0) +                                 // verbs: none
                       Count(5);
    for (const char* a : {"red", "Big", "odd", "cold", "shy"})
        file += Str(a) + Str("") + Str("") + '\x01' + Str("");
    file += Count(1) + Str("Oslo");
    fbwtest::WriteBytes(dir / "words.dat", file);
    MessageCapture capture;
    TVocab vocab(dir / "words.dat", false);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(vocab.WordList(wcProperNoun).Count(), 1);
    EXPECT_EQ(vocab.WordList(wcNoun).Count(), 0);
    EXPECT_EQ(vocab.WordList(wcVerb).Count(), 0);
    EXPECT_EQ(Texts(vocab.WordList(wcAdjective)),
              (std::vector<std::string>{"Big", "cold", "odd", "red", "shy"}));
    EXPECT_EQ(vocab.WordList(wcPlace).Count(), 1);
}

TEST(WordsFile, LaterWordWinsOnLoad) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "words.dat", Count(0) + Count(2) + Str("Lamp") + Str("") +
                                               Str("lamp") + Str("lampies") + Count(0) + Count(0) +
                                               Count(0));
    TVocab vocab(dir / "words.dat", false);
    ASSERT_EQ(vocab.WordList(wcNoun).Count(), 1);
    EXPECT_EQ(vocab.WordList(wcNoun)[0].Text, "Lamp");
    EXPECT_EQ(vocab.WordList(wcNoun).Word(0).Word(), "lamp");
    EXPECT_EQ(static_cast<TNoun&>(vocab.WordList(wcNoun).Word(0)).GetPlural(), "lampies");
}

TEST(WordsFile, DamagedFileWarnsAndKeepsWhatWasRead) {
    TempDir dir;
    const std::string whole = Count(2) + Str("Ann") + '\0' + Str("") + Str("Bob") + '\x01' +
                              Str("") + Count(1) + Str("cup") + Str("");
    struct Case {
        std::size_t keep;
        int names, nouns;
    };
    // Cut inside a record, between sections, before a count and at zero.
    for (Case c : {Case{whole.size() - 1, 2, 0}, Case{whole.size(), 2, 1}, Case{14, 1, 0},
                   Case{18, 2, 0}, Case{0, 0, 0}}) {
        fbwtest::WriteBytes(dir / "words.dat", whole.substr(0, c.keep));
        MessageCapture capture;
        TVocab vocab(dir / "words.dat", false);
        ASSERT_EQ(capture.Messages().size(), 1u) << c.keep;
        EXPECT_EQ(capture.Messages()[0].text, kReadWarning);
        EXPECT_EQ(capture.Messages()[0].kind, plat::MsgKind::Warning);
        EXPECT_EQ(capture.Messages()[0].buttons, plat::MsgButtons::Ok);
        EXPECT_EQ(vocab.WordList(wcProperNoun).Count(), c.names) << c.keep;
        EXPECT_EQ(vocab.WordList(wcNoun).Count(), c.nouns) << c.keep;
    }
}

TEST(WordsFile, MissingFileIsSilentAndEmpty) {
    TempDir dir;
    MessageCapture capture;
    TVocab vocab(dir / "nothing.dat", false);
    EXPECT_TRUE(capture.Messages().empty());
    for (int c = 0; c < kWordClassCount; ++c)
        EXPECT_EQ(vocab.WordList(c).Count(), 0);
    EXPECT_TRUE(vocab.LoadWords());
}

TEST(WordsFile, SaveLoadRoundTripAndDestructorWrites) {
    TempDir dir;
    std::string bytes;
    {
        TVocab vocab(dir / "words.dat");
        auto bob = MakeWord(wcProperNoun, "Bob Bobson");
        static_cast<TProperNoun&>(*bob).Male = true;
        vocab.AddWord(bob);
        auto run = MakeWord(wcVerb, "run");
        static_cast<TVerb&>(*run).SetPastTense("ran");
        vocab.AddWord(run);
        auto a = MakeWord(wcAdjective, "blue");
        static_cast<TAdjective&>(*a).AdverbAllowed = false;
        vocab.AddWord(a);
        vocab.AddWord(MakeWord(wcNoun, "zoo"));
        vocab.AddWord(MakeWord(wcNoun, "Ark"));
        vocab.AddWord(MakeWord(wcPlace, "Lima"));
    }
    bytes = fbwtest::ReadBytes(dir / "words.dat");
    EXPECT_EQ(bytes, Count(1) + Str("Bob Bobson") + '\x01' + Str("") + Count(2) + Str("Ark") +
                         Str("") + Str("zoo") + Str("") + Count(1) + Str("run") + Str("ran") +
                         Str("") + Str("") + Str("") + Count(1) + Str("blue") + Str("") + Str("") +
                         '\0' + Count(1) + Str("Lima"));
    {
        TVocab again(dir / "words.dat");
        EXPECT_TRUE(static_cast<TProperNoun&>(again.WordList(0).Word(0)).Male);
        EXPECT_EQ(static_cast<TVerb&>(again.WordList(2).Word(0)).GetPastTense(), "ran");
    }
    EXPECT_EQ(fbwtest::ReadBytes(dir / "words.dat"), bytes) << "load then save is stable";

    {
        TVocab readOnly(dir / "words.dat", false);
        readOnly.FreeAllWords();
    }
    EXPECT_EQ(fbwtest::ReadBytes(dir / "words.dat"), bytes)
        << "a read-only vocabulary never writes";
}

TEST(WordsFile, SaveIsSilentWhenItCannotCreate) {
    TempDir dir;
    MessageCapture capture;
    {
        TVocab vocab(dir / "no-such-folder/words.dat");
        vocab.AddWord(MakeWord(wcNoun, "cup"));
        EXPECT_FALSE(vocab.SaveWords());
    }
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(WordsFile, FailedReplaceWarnsAndLeavesTheTarget) {
    // The target is a folder: writing the temporary file works, replacing fails.
    TempDir dir;
    std::filesystem::create_directory(dir / "words.dat");
    MessageCapture capture;
    {
        TVocab vocab(dir / "words.dat");
        vocab.AddWord(MakeWord(wcNoun, "cup"));
        EXPECT_FALSE(vocab.SaveWords());
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text, kWriteWarning);
        EXPECT_EQ(capture.Messages()[0].kind, plat::MsgKind::Warning);
        EXPECT_EQ(capture.Messages()[0].buttons, plat::MsgButtons::Ok);
    }
    EXPECT_EQ(capture.Messages().size(), 2u) << "the destructor saves once more";
    EXPECT_TRUE(std::filesystem::is_directory(dir / "words.dat"));
    int files = 0;
    for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 1) << "no temporary file is left";
}

TEST(WordsFile, ClassOver32767WordsKeepsTheFirst) {
    Empty e;
    std::vector<TWordEntry> many;
    for (int i = 0; i < 32770; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "w%05d", i);
        many.push_back({text, MakeWord(wcPlace, text)});
    }
    e.vocab.ReplaceWordList(wcPlace, many);
    plat::MemoryStream s;
    ASSERT_TRUE(e.vocab.WriteWords(s));
    s.Seek(0);
    Empty back;
    ASSERT_TRUE(back.vocab.ReadWords(s));
    ASSERT_EQ(back.vocab.WordList(wcPlace).Count(), 32767);
    EXPECT_EQ(back.vocab.WordList(wcPlace)[32766].Text, "w32766");
    EXPECT_EQ(s.Position(), s.Size()) << "the count matches the records written";
}

TEST(WordsFile, DefaultFileIsInTheInstallFolder) {
    TempDir dir;
    const std::string saved = InstallFolder;
    InstallFolder = dir.Path();
    fbwtest::WriteBytes(dir / "WORDS.DAT", Count(0) + Count(1) + Str("pot") + Str("") + Count(0) +
                                               Count(0) + Count(0));
    {
        TVocab vocab;
        EXPECT_EQ(vocab.FileName(), dir / "words.dat");
        ASSERT_EQ(vocab.WordList(wcNoun).Count(), 1) << "found without regard to case";
        vocab.AddWord(MakeWord(wcNoun, "lid"));
    }
    InstallFolder = saved;
    TVocab back(dir / "words.dat", false);
    EXPECT_EQ(Texts(back.WordList(wcNoun)), (std::vector<std::string>{"lid", "pot"}));
}

namespace {
namespace fs = std::filesystem;

// A words file of two names and a cup; Damage changes the length byte of
// the second name so that the file ends inside class 0.
std::string TwoNamesAndACup(bool damage) {
    std::string bytes = Count(2) + Str("Ann") + '\0' + Str("") + Str("Bob") + '\x01' + Str("") +
                        Count(1) + Str("cup") + Str("") + Count(0) + Count(0) + Count(0);
    if (damage)
        bytes[10] = '\x7F';
    return bytes;
}

// One run of the game over File: load, one more word, save when destroyed.
void OneRun(const std::string& file) {
    TVocab vocab(file);
    vocab.AddWord(MakeWord(wcPlace, "Oslo"));
}
} // namespace

TEST(WordsFile, DamagedFileIsKeptBesideBeforeTheFirstWrite) {
    TempDir dir;
    const std::string file = dir / "words.dat";
    const std::string damaged = TwoNamesAndACup(true);
    fbwtest::WriteBytes(file, damaged);
    {
        MessageCapture capture;
        OneRun(file);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text.rfind(kReadWarning, 0), 0u);
        EXPECT_NE(capture.Messages()[0].text.find("words.dat.bak"), std::string::npos)
            << capture.Messages()[0].text;
    }
    EXPECT_EQ(fbwtest::ReadBytes(dir / "words.dat.bak"), damaged);
    {
        TVocab back(file, false);
        EXPECT_EQ(back.WordList(wcProperNoun).Count(), 1) << "what was read was saved";
        EXPECT_EQ(back.WordList(wcPlace).Count(), 1);
    }

    // Damaged again: the earlier backup stays and this file gets its own.
    const std::string second = damaged.substr(0, damaged.size() - 3);
    fbwtest::WriteBytes(file, second);
    {
        MessageCapture capture;
        OneRun(file);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_NE(capture.Messages()[0].text.find("words.dat.bak2"), std::string::npos);
    }
    EXPECT_EQ(fbwtest::ReadBytes(dir / "words.dat.bak"), damaged);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "words.dat.bak2"), second);

    // A vocabulary that never saves makes no backup.
    fbwtest::WriteBytes(file, damaged);
    {
        MessageCapture capture;
        TVocab readOnly(file, false);
    }
    EXPECT_FALSE(fs::exists(dir / "words.dat.bak3"));
}

TEST(WordsFile, FileThatCannotBeReadIsNeverWrittenOver) {
    TempDir dir;
    const std::string file = dir / "words.dat";
    const std::string bytes = TwoNamesAndACup(false);
    fbwtest::WriteBytes(file, bytes);
    fs::permissions(dir.Path(), fs::perms::all);
    fs::permissions(file, fs::perms::none);
    const int result = fbwtest::RunUnprivileged([&] {
        MessageCapture capture;
        {
            TVocab vocab(file);
            if (vocab.WordList(wcProperNoun).Count() != 0)
                return 1; // the file was readable after all
            vocab.AddWord(MakeWord(wcPlace, "Oslo"));
            if (vocab.SaveWords())
                return 2;
        }
        for (const auto& m : capture.Messages())
            if (m.text != kWriteWarning)
                return 3;
        return capture.Messages().empty() ? 4 : 0;
    });
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fbwtest::ReadBytes(file), bytes);
}

TEST(WordsFile, AReadOnlyFolderKeepsTheFileWholeAndThePlayerIsTold) {
    // The file itself is writable, but no temporary can be made beside it:
    // the words are never written over the file in place.
    TempDir dir;
    const std::string file = dir / "words.dat";
    const std::string bytes = TwoNamesAndACup(false);
    fbwtest::WriteBytes(file, bytes);
    fs::permissions(file, fs::perms::all);
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    // Words as the file holds them need no writing: nothing to tell.
    EXPECT_EQ(fbwtest::RunUnprivileged([&] {
                  MessageCapture capture;
                  { TVocab vocab(file); }
                  return capture.Messages().empty() ? 0 : 1;
              }),
              0);
    EXPECT_EQ(fbwtest::RunUnprivileged([&] {
                  MessageCapture capture;
                  OneRun(file);
                  return capture.Messages().size() == 1 &&
                                 capture.Messages()[0].text == kWriteWarning
                             ? 0
                             : 1;
              }),
              0);
    EXPECT_EQ(fbwtest::ReadBytes(file), bytes) << "byte for byte";

    // Neither a temporary file nor the file itself can be written: the
    // player is told.
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(fbwtest::RunUnprivileged([&] {
                  MessageCapture capture;
                  OneRun(file);
                  return capture.Messages().size() == 1 &&
                                 capture.Messages()[0].text == kWriteWarning
                             ? 0
                             : 1;
              }),
              0);
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(fbwtest::ReadBytes(file), bytes);
}

TEST(WordsFile, SymbolicLinkIsUpdatedThroughTheLink) {
    TempDir dir;
    fs::create_directory(dir / "home");
    fbwtest::WriteBytes(dir / "home/words.dat", TwoNamesAndACup(false));
    fs::create_symlink(dir / "home/words.dat", dir / "words.dat");
    OneRun(dir / "words.dat");
    EXPECT_TRUE(fs::is_symlink(dir / "words.dat"));
    TVocab back(dir / "home/words.dat", false);
    EXPECT_EQ(back.WordList(wcPlace).Count(), 1);
}
