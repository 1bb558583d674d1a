// The word-list editor window driven through its named components: the form,
// typing and committing words, deleting, switching class, correcting forms,
// and the words file after the window closes and after the program ends.
#include <QAbstractItemModel>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>

#include "story/Generate.h"
#include "support/TestSupport.h"
#include "vocab/Noun.h"
#include "vocab/ProperNoun.h"
#include "vocab/Verb.h"
#include "vocab/Vocab.h"
#include "wordlist/forms/FormWords.h"

using fbwtest::RunTool;
using fbwtest::TempDir;
using fbwtest::WriteBytes;

namespace {
using Strings = std::vector<std::string>;

const char* const kWords = "name\tAnna\n"
                           "name\tBob\tmale\n"
                           "noun\tapple\n"
                           "noun\tcup\n"
                           "noun\tpear\n"
                           "verb\tjump\tpast=leapt\n"
                           "verb\trun\n"
                           "adjective\tbig\n";

// A generator over a words file of its own (no templates, no settings) and
// the editor on its vocabulary.
struct FormTest : ::testing::Test {
    TempDir dir;
    std::unique_ptr<TStoryGenerator> generator;
    std::unique_ptr<TFormWords> form;

    void SetUp() override { Start(kWords); }
    void Start(const std::string& words) {
        WriteBytes(dir / "words.txt", words);
        auto built = RunTool({"words", "build", dir / "words.txt", dir / "words.dat"});
        ASSERT_EQ(built.status, 0) << built.err;
        TStoryGenerator::Files files;
        files.dataFolder = dir.Path();
        files.wordsFile = dir / "words.dat";
        files.saveSettings = false;
        generator = std::make_unique<TStoryGenerator>(files);
        form = std::make_unique<TFormWords>(generator->Vocab());
    }
    void Open() {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    template <class T> T& Get(const char* name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            throw std::runtime_error(std::string("no component ") + name);
        return *w;
    }
    QLineEdit& Box(const char* name) { return Get<QLineEdit>(name); }
    std::string Text(const char* name) {
        QWidget& w = Get<QWidget>(name);
        if (auto* l = qobject_cast<QLabel*>(&w))
            return l->text().toStdString();
        if (auto* e = qobject_cast<QLineEdit*>(&w))
            return e->text().toStdString();
        return qobject_cast<QAbstractButton*>(&w)->text().toStdString();
    }
    Strings Rows() {
        QAbstractItemModel* model = Get<QListView>("lstWordList").model();
        Strings out;
        for (int r = 0; r < model->rowCount(); ++r)
            out.push_back(model->index(r, 0).data().toString().toStdString());
        return out;
    }
    int CurrentRow() { return Get<QListView>("lstWordList").currentIndex().row(); }
    void Click(const char* name) { QTest::mouseClick(&Get<QWidget>(name), Qt::LeftButton); }
    // Key presses carrying each character, as a keyboard of any layout sends them.
    void Type(const char* name, const QString& text) {
        for (QChar ch : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&Box(name), &press);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(&Box(name), &release);
        }
    }
    void Backspace(const char* name, int n) {
        for (int i = 0; i < n; ++i)
            QTest::keyClick(&Box(name), Qt::Key_Backspace);
    }
    void ClickRow(int row) {
        QListView& list = Get<QListView>("lstWordList");
        const QRect r = list.visualRect(list.model()->index(row, 0));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, r.center());
    }
    bool Enabled(const char* name) { return Get<QWidget>(name).isEnabled(); }
    std::string Dump() {
        auto dump = RunTool({"words", "dump", dir / "words.dat"});
        EXPECT_EQ(dump.status, 0) << dump.err;
        return dump.out;
    }
};
} // namespace

TEST_F(FormTest, TheFormAsDesigned) {
    Open();
    EXPECT_EQ(form->windowTitle(), "Whirled Lists");
    EXPECT_EQ(form->size(), QSize(562, 348));
    struct Bounds {
        const char* name;
        QRect rect;
    };
    const Bounds bounds[] = {
        {"pnlSelect", {0, 0, 562, 41}},       {"sbProperNoun", {67, 8, 128, 25}},
        {"sbVerb", {198, 8, 89, 25}},         {"sbAdjective", {314, 8, 89, 25}},
        {"sbCommonNoun", {406, 8, 89, 25}},   {"sbPlace", {516, 8, 37, 25}},
        {"pnlWordList", {0, 41, 562, 307}},   {"lblNewWord", {4, 12, 64, 15}},
        {"txtWord", {72, 7, 101, 23}},        {"lstWordList", {6, 35, 167, 266}},
        {"cmdDelWord", {178, 277, 83, 25}},   {"gbxEditor", {178, 0, 377, 272}},
        {"lblCurrentWord", {8, 12, 361, 24}}, {"nbkWords", {8, 34, 361, 228}},
        {"cmdClose", {466, 277, 89, 25}},
    };
    for (const auto& b : bounds)
        EXPECT_EQ(Get<QWidget>(b.name).geometry(), b.rect) << b.name;
    // The example sentence, with the first name selected at start.
    EXPECT_EQ(Text("lblWill"), "Will");
    EXPECT_EQ(Text("sbProperNoun"), "Anna");
    EXPECT_EQ(Text("sbVerb"), "gobble");
    EXPECT_EQ(Text("lblThe"), "the");
    EXPECT_EQ(Text("sbAdjective"), "delicious");
    EXPECT_EQ(Text("sbCommonNoun"), "porridge");
    EXPECT_EQ(Text("sbPlace"), "Place");
    EXPECT_FALSE(Get<QWidget>("sbPlace").isVisible());
    EXPECT_TRUE(Get<QToolButton>("sbProperNoun").isChecked());
    EXPECT_EQ(Text("lblNewWord"), "New name");
    EXPECT_EQ(Text("cmdDelWord"), "Delete name");
    EXPECT_EQ(Text("lblCurrentWord"), "\"Anna\"");
    EXPECT_EQ(Get<QStackedWidget>("nbkWords").currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), &Box("txtWord"));

    auto font = [&](const char* name) { return Get<QWidget>(name).font(); };
    EXPECT_EQ(font("sbVerb").pixelSize(), 11);
    EXPECT_TRUE(font("sbVerb").bold());
    EXPECT_TRUE(font("lstWordList").bold());
    EXPECT_FALSE(font("sbPlace").bold());
    EXPECT_FALSE(font("cmdClose").bold());
    EXPECT_EQ(font("txtWord").pixelSize(), 12);
    EXPECT_EQ(font("txtPlural").pixelSize(), 12);
    EXPECT_FALSE(font("txtPlural").bold());
    EXPECT_TRUE(font("gbxPlural").bold());
    EXPECT_EQ(font("lblFixTenses").pixelSize(), 11);
    EXPECT_EQ(font("lblCurrentWord").family(), "Liberation Serif");
    EXPECT_EQ(font("lblCurrentWord").pixelSize(), 16);
    EXPECT_EQ(Get<QLabel>("lblCurrentWord").alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    EXPECT_EQ(Get<QGroupBox>("gbxPlural").title(), " What if there's more than one? ");
    EXPECT_EQ(Text("chkAdverb"), "This word can describe an action:");
}

TEST_F(FormTest, EditBoxesAreNamedByTheirLabelsForScreenReaders) {
    const auto name = [&](const char* box) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&Get<QWidget>(box));
        return a ? a->text(QAccessible::Name).toStdString() : std::string("<none>");
    };
    const auto labelledBy = [&](const char* box, const char* label) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&Get<QWidget>(box));
        for (const auto& [other, relation] : a->relations(QAccessible::Label))
            if (other->object() == &Get<QWidget>(label))
                return true;
        return false;
    };
    EXPECT_EQ(name("txtWord"), "New name");
    EXPECT_TRUE(labelledBy("txtWord", "lblNewWord"));
    EXPECT_EQ(name("txtPlural"), "Goldilocks saw two");
    EXPECT_TRUE(labelledBy("txtPlural", "lblPluralPhrase"));
    EXPECT_EQ(name("txtPastTense"), "Yesterday, Goldilocks");
    EXPECT_EQ(name("txtContinuous"), "Today, Goldilocks is");
    EXPECT_EQ(name("txtPresentTense"), "Sometimes, Goldilocks");
    EXPECT_EQ(name("txtParticiple"), "Goldilocks has just");
    EXPECT_EQ(name("txtBigger"), "The next one was even");
    EXPECT_EQ(name("txtBiggest"), "But the last one was the");
    EXPECT_EQ(name("txtNickname"), "Short form");
    EXPECT_TRUE(labelledBy("txtNickname", "lblShortFormText"));
    // Every box and button of the editor has a name.
    for (QWidget* w : form->findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractButton*>(w))
            EXPECT_NE(QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name), "")
                << w->objectName().toStdString();
    // The name follows the label, which follows the class shown.
    Click("sbCommonNoun");
    EXPECT_EQ(name("txtWord"), "New word");
}

TEST_F(FormTest, AnEmptyClassAndItsFirstWord) {
    Start("verb\trun\n");
    Open();
    EXPECT_EQ(Text("lblCurrentWord"), "Add a word to the list");
    EXPECT_FALSE(Enabled("cmdDelWord"));
    EXPECT_FALSE(Enabled("txtNickname"));
    EXPECT_FALSE(Enabled("rbSexM"));

    Click("sbCommonNoun");
    EXPECT_EQ(Get<QStackedWidget>("nbkWords").currentIndex(), 1);
    EXPECT_EQ(Text("lblNewWord"), "New word");
    EXPECT_EQ(Text("cmdDelWord"), "Delete word");
    EXPECT_FALSE(Enabled("txtPlural"));
    Type("txtWord", "box");
    EXPECT_EQ(Rows(), Strings{"box"});
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(Enabled("txtPlural"));
    EXPECT_TRUE(Enabled("cmdDelWord"));
    EXPECT_EQ(Text("txtPlural"), "boxs");
    EXPECT_EQ(Text("lblCurrentWord"), "\"box\"");
    EXPECT_EQ(Text("sbCommonNoun"), "box");
}

TEST_F(FormTest, TypingCommittingAndLookingUp) {
    Open();
    Click("sbCommonNoun");
    Type("txtWord", "kiwi");
    EXPECT_EQ(Rows(), (Strings{"apple", "cup", "kiwi", "pear"}));
    Backspace("txtWord", 4);
    EXPECT_EQ(Rows(), (Strings{"apple", "cup", "pear"}));

    // Enter makes the word an ordinary entry and empties the box.
    Type("txtWord", "fig");
    QTest::keyClick(&Box("txtWord"), Qt::Key_Return);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Text("txtWord"), "");
    EXPECT_EQ(CurrentRow(), 2);
    Type("txtWord", "plum");
    EXPECT_EQ(Rows(), (Strings{"apple", "cup", "fig", "pear", "plum"}));
    // Leaving the box does the same.
    Get<QListView>("lstWordList").setFocus();
    EXPECT_EQ(Text("txtWord"), "");
    Box("txtWord").setFocus();

    // Other letter case and spaces around the word select the entry.
    Type("txtWord", "PEAR");
    EXPECT_EQ(Rows().size(), 5u);
    EXPECT_EQ(CurrentRow(), 3);
    Box("txtWord").clear();
    Type("txtWord", " apple ");
    QTest::keyClick(&Box("txtWord"), Qt::Key_Return);
    EXPECT_EQ(Rows(), (Strings{"apple", "cup", "fig", "pear", "plum"}));
    EXPECT_EQ(form->Editor().PendingIndex(), -1);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Text("lblCurrentWord"), "\"apple\"");
}

TEST_F(FormTest, DeletingTheLastAndTheOnlyEntry) {
    Open();
    Click("sbCommonNoun");
    ClickRow(2);
    EXPECT_EQ(Text("lblCurrentWord"), "\"pear\"");
    Click("cmdDelWord");
    EXPECT_EQ(Rows(), (Strings{"apple", "cup"}));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Text("txtPlural"), "cups");
    Click("cmdDelWord");
    Click("cmdDelWord");
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(CurrentRow(), -1);
    EXPECT_FALSE(Enabled("cmdDelWord"));
    EXPECT_FALSE(Enabled("txtPlural"));
    EXPECT_EQ(Text("txtPlural"), "");
    EXPECT_EQ(Text("lblCurrentWord"), "Add a word to the list");
    EXPECT_EQ(Text("sbCommonNoun"), "porridge");
}

TEST_F(FormTest, SwitchingClassKeepsTheWordTypedAndTheSecretWordOpensThePlaces) {
    Open();
    Click("sbCommonNoun");
    Type("txtWord", "kiwi");
    Click("sbProperNoun");
    EXPECT_EQ(Rows(), (Strings{"Anna", "Bob"}));
    EXPECT_EQ(Text("txtWord"), "");
    EXPECT_EQ(Text("sbCommonNoun"), "porridge");
    EXPECT_EQ(Text("sbProperNoun"), "Anna");

    Type("txtWord", "wanderlot");
    EXPECT_FALSE(Get<QWidget>("sbPlace").isVisible());
    Box("txtWord").clear();
    Type("txtWord", "WANDERLOT");
    EXPECT_TRUE(Get<QWidget>("sbPlace").isVisible());
    EXPECT_EQ(Rows(), (Strings{"Anna", "Bob", "WANDERLOT"}));
    Box("txtWord").clear();
    EXPECT_EQ(Rows(), (Strings{"Anna", "Bob"}));
    Click("sbPlace");
    EXPECT_EQ(Get<QStackedWidget>("nbkWords").currentIndex(), 4);
    Type("txtWord", "Rome");
    EXPECT_EQ(Rows(), Strings{"Rome"});
    EXPECT_TRUE(Get<QWidget>("sbPlace").isVisible());
    form->close();
    EXPECT_NE(Dump().find("noun\tkiwi\n"), std::string::npos);
    EXPECT_NE(Dump().find("place\tRome\n"), std::string::npos);
}

TEST_F(FormTest, CorrectingFormsAndShowingThemLeavesOthersAlone) {
    Open();
    Click("sbVerb");
    // The stored past tense is shown and survives being shown.
    EXPECT_EQ(Text("txtPastTense"), "leapt");
    EXPECT_EQ(Text("txtContinuous"), "jumping");
    ClickRow(1);
    ClickRow(0);
    auto& jump = static_cast<TVerb&>(generator->Vocab().WordList(wcVerb).Word(0));
    EXPECT_EQ(jump.PastTense(), "leapt");
    EXPECT_EQ(jump.Continuous(), "");

    Box("txtParticiple").selectAll();
    Type("txtParticiple", "leapt");
    EXPECT_EQ(jump.Participle(), "leapt");

    Click("sbCommonNoun");
    auto& apple = static_cast<TNoun&>(generator->Vocab().WordList(wcNoun).Word(0));
    Box("txtPlural").selectAll();
    Type("txtPlural", "APPLES");
    EXPECT_EQ(apple.Plural(), "");
    Type("txtPlural", "!");
    EXPECT_EQ(apple.Plural(), "APPLES!");
    // An emptied box gives the rule back and stays empty until shown again.
    Box("txtPlural").clear();
    EXPECT_EQ(apple.Plural(), "");
    EXPECT_EQ(Text("txtPlural"), "");
    ClickRow(1);
    ClickRow(0);
    EXPECT_EQ(Text("txtPlural"), "apples");
}

TEST_F(FormTest, SexAndAdverbAreFlagsOfTheWord) {
    Open();
    auto& anna = static_cast<TProperNoun&>(generator->Vocab().WordList(wcProperNoun).Word(0));
    EXPECT_TRUE(Get<QRadioButton>("rbSexF").isChecked());
    Click("rbSexM");
    EXPECT_TRUE(anna.Male);
    ClickRow(1);
    EXPECT_TRUE(Get<QRadioButton>("rbSexM").isChecked());
    Click("rbSexF");
    ClickRow(0);
    EXPECT_TRUE(Get<QRadioButton>("rbSexM").isChecked()); // Anna's, not Bob's
    EXPECT_FALSE(static_cast<TProperNoun&>(generator->Vocab().WordList(wcProperNoun).Word(1)).Male);

    Click("sbAdjective");
    EXPECT_TRUE(Get<QCheckBox>("chkAdverb").isChecked());
    Click("chkAdverb");
    Type("txtWord", "shy");
    EXPECT_TRUE(Get<QCheckBox>("chkAdverb").isChecked()); // a new adjective allows it
    Box("txtWord").clear();
    EXPECT_FALSE(Get<QCheckBox>("chkAdverb").isChecked());
    form->close();
    EXPECT_NE(Dump().find("adjective\tbig\tnoadverb\n"), std::string::npos);
}

// The word types are a tab bar: one Tab stop, the arrows and Ctrl+Tab,
// Ctrl+Page Down and their reverses switch round the sentence, screen
// readers find page tabs; every page is worked with the keyboard alone.
TEST_F(FormTest, TheWordTypesAreATabBarAndEveryPageWorksByKeyboard) {
    Open();
    const auto key = [](int k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(k), m);
    };
    const auto focused = [] {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName().toStdString() : std::string("<none>");
    };
    // The Tab walk: the tab bar once, then every control of the names' page.
    Strings walk;
    for (int i = 0; i < 9; ++i) {
        walk.push_back(focused());
        key(Qt::Key_Tab);
    }
    EXPECT_EQ(walk, (Strings{"txtWord", "lstWordList", "cmdDelWord", "rbSexF", "txtNickname",
                             "cmdClose", "sbProperNoun", "txtWord", "lstWordList"}));

    // The arrows on the tab bar choose the type; Ctrl+Tab and Ctrl+Page Down
    // go along the sentence and round, their reverses back, wherever the
    // focus is.
    Get<QToolButton>("sbProperNoun").setFocus(Qt::TabFocusReason);
    key(Qt::Key_Right);
    EXPECT_TRUE(Get<QToolButton>("sbVerb").isChecked());
    EXPECT_EQ(focused(), "sbVerb");
    const auto shown = [&] { return Get<QStackedWidget>("nbkWords").currentIndex(); };
    EXPECT_EQ(shown(), 2);
    Box("txtWord").setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(shown(), 3) << "describing words";
    EXPECT_EQ(focused(), "txtWord") << "the focus stays where it was";
    key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(shown(), 1) << "things";
    key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(shown(), 0) << "round to names";
    key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(shown(), 1);
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(), 3);
    // From a box on the page that goes, the focus goes to the type's tab.
    Box("txtBigger").setFocus();
    key(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(shown(), 2);
    EXPECT_EQ(focused(), "sbVerb");

    // Screen readers: a tab list of page tabs, the one shown selected, each
    // pressed by its action.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&Get<QWidget>("pnlSelect"));
    EXPECT_EQ(bar->role(), QAccessible::PageTabList);
    QAccessibleInterface* things =
        QAccessible::queryAccessibleInterface(&Get<QWidget>("sbCommonNoun"));
    EXPECT_EQ(things->role(), QAccessible::PageTab);
    EXPECT_EQ(things->text(QAccessible::Name), "Things");
    EXPECT_FALSE(things->state().selected);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&Get<QWidget>("sbVerb"))->state().selected);
    things->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(shown(), 1);
    EXPECT_TRUE(things->state().selected);

    // The things' page by keyboard: a new word and its plural.
    Box("txtWord").setFocus();
    for (const char* c : {"k", "i", "w", "i"})
        QTest::keyClicks(&Box("txtWord"), c);
    key(Qt::Key_Return);
    key(Qt::Key_Tab); // the list, on kiwi
    EXPECT_EQ(Rows()[static_cast<std::size_t>(CurrentRow())], "kiwi");
    key(Qt::Key_Tab); // Delete word
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), "txtPlural");
    Box("txtPlural").selectAll();
    QTest::keyClicks(&Box("txtPlural"), "kiwis!");
    EXPECT_EQ(form->Editor().FieldText(TEditorField::Plural), "kiwis!");

    // The names' page: the sex by the arrows.
    key(Qt::Key_PageDown, Qt::ControlModifier);
    ASSERT_EQ(shown(), 0);
    Get<QListView>("lstWordList").setFocus();
    key(Qt::Key_Down); // Bob
    key(Qt::Key_Tab);
    key(Qt::Key_Tab);
    EXPECT_EQ(focused(), "rbSexM") << "the sex's stop is its checked button";
    key(Qt::Key_Left);
    EXPECT_TRUE(Get<QRadioButton>("rbSexF").isChecked());
    EXPECT_FALSE(static_cast<TProperNoun&>(generator->Vocab().WordList(wcProperNoun).Word(1)).Male)
        << "Bob is female now";

    // The describing words' page: the check box by Space.
    key(Qt::Key_Tab, Qt::ControlModifier);
    key(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(shown(), 3);
    Get<QCheckBox>("chkAdverb").setFocus();
    const bool allowed = Get<QCheckBox>("chkAdverb").isChecked();
    key(Qt::Key_Space);
    EXPECT_NE(form->Editor().AdverbAllowed(), allowed);
}

TEST_F(FormTest, TextIsKeptAsTypedOrRefused) {
    Open();
    // Outside Latin-1 the box refuses the character instead of changing it.
    Type("txtWord", QString::fromUtf8("Zo\xC3\xAB\xE2\x84\xA6"));
    EXPECT_EQ(Box("txtWord").text(), QString::fromUtf8("Zo\xC3\xAB"));
    EXPECT_EQ(Rows(), (Strings{"Anna", "Bob", "Zo\xC3\xAB"}));
    Box("txtWord").clear();
    // Markup and ampersands are shown as typed.
    Type("txtWord", "<b>Tom</b> & Jerry");
    EXPECT_EQ(Text("lblCurrentWord"), "\"<b>Tom</b> & Jerry\"");
    EXPECT_EQ(Get<QLabel>("lblCurrentWord").textFormat(), Qt::PlainText);
    EXPECT_EQ(Text("sbProperNoun"), "<b>Tom</b> && Jerry");
    // A name too long for its button is cut short, and whole in the tip.
    Box("txtWord").clear();
    Type("txtWord", "Dame Dorothy Dumpling the Third");
    const QString shown = Get<QToolButton>("sbProperNoun").text();
    EXPECT_TRUE(shown.startsWith("Dame") && shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_EQ(Get<QToolButton>("sbProperNoun").toolTip(), "Dame Dorothy Dumpling the Third");
}

TEST_F(FormTest, EditsReachTheWordsFileTheStoreAndTheStories) {
    Open();
    Click("sbCommonNoun");
    for (int i = 0; i < 3; ++i)
        Click("cmdDelWord");
    Type("txtWord", "gizmo");
    Box("txtPlural").selectAll();
    Type("txtPlural", "gizmoz");
    Click("sbVerb");
    ClickRow(1);
    Click("cmdDelWord");
    // Closed with a word still in the box, the word stays.
    Type("txtWord", "zap");
    Click("cmdClose");
    EXPECT_FALSE(form->isVisible());

    const std::string expected = "name\tAnna\tfemale\n"
                                 "name\tBob\tmale\n"
                                 "noun\tgizmo\tplural=gizmoz\n"
                                 "verb\tjump\tpast=leapt\n"
                                 "verb\tzap\n"
                                 "adjective\tbig\n";
    EXPECT_EQ(Dump(), expected);

    generator->SetTemplate(1, {"Test", ">cup=NOUNS", "Two {cup} on the table.\\n\\n"});
    generator->SetTwistLevel(100);
    const auto& story = generator->GenerateStory(1);
    ASSERT_EQ(story.size(), 2u);
    EXPECT_EQ(story[1], "Two gizmoz on the table.\\n\\n");

    // Shown again, the list is where it was; closed by the program's end.
    QTimer::singleShot(0, form.get(), [this] {
        Type("txtWord", "zip");
        form->close();
    });
    form->exec();
    form.reset();
    generator.reset();
    EXPECT_NE(Dump().find("verb\tzip\n"), std::string::npos);
}

// With FBW_SHOT_DIR set, saves a picture of each class page with a word
// selected and of an empty class, for looking at the window.
TEST_F(FormTest, Pictures) {
    const char* shots = std::getenv("FBW_SHOT_DIR");
    if (!shots)
        GTEST_SKIP() << "FBW_SHOT_DIR not set";
    form.reset();
    generator.reset();
    TStoryGenerator::Files files;
    files.dataFolder = dir.Path();
    // A copy: closing the window writes its words file.
    std::filesystem::copy_file(fbwtest::YarnsDir() + "/words.dat", dir / "default.dat");
    files.wordsFile = dir / "default.dat";
    files.saveWords = false;
    files.saveSettings = false;
    generator = std::make_unique<TStoryGenerator>(files);
    form = std::make_unique<TFormWords>(generator->Vocab());
    Open();
    Type("txtWord", "WANDERLOT");
    Box("txtWord").clear();
    const char* buttons[] = {"sbProperNoun", "sbCommonNoun", "sbVerb", "sbAdjective", "sbPlace"};
    for (int c = 0; c < 5; ++c) {
        Click(buttons[c]);
        ClickRow(c + 3);
        QTest::qWait(50);
        form->grab().save(QString("%1/class%2.png").arg(shots).arg(c));
        if (std::getenv("DISPLAY"))
            std::system(QString("import -window root %1/screen%2.png").arg(shots).arg(c).toUtf8());
    }
    Click("sbProperNoun");
    Type("txtWord", "Dame Dorothy Dumpling the Third");
    form->grab().save(QString("%1/long.png").arg(shots));
    Click("sbCommonNoun");
    while (Enabled("cmdDelWord"))
        Click("cmdDelWord");
    form->grab().save(QString("%1/empty.png").arg(shots));
}
