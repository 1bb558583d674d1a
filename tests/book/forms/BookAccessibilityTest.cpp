// The storybook through Qt's accessibility, as a screen reader finds it:
// the page areas' text equal to the pages as laid out (the cover's words,
// the story's lines with the title) following the page turns, the
// characters' places, the events that tell a reader the text changed, and
// the names and press actions of the arrows, the close ribbon and every
// button and box.
#include <QAccessible>
#include <QDir>

#include "BookFixture.h"
#include "book/BookFoot.h"
#include "book/PageText.h"
#include "platform/qt/Latin1.h"
#include "support/BookParts.h"

namespace {

QAccessibleInterface* Accessible(QWidget& w) {
    return QAccessible::queryAccessibleInterface(&w);
}

QString AllText(QWidget& area) {
    return BookFixture::ReaderText(area);
}

// The text updates a reader was told of: the object and the new text.
struct TextUpdate {
    QObject* object;
    QString inserted;
};
std::vector<TextUpdate> g_updates;

void NoteUpdate(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TextUpdated)
        g_updates.push_back(
            {event->object(), static_cast<QAccessibleTextUpdateEvent*>(event)->textInserted()});
}

} // namespace

using BookAccessibilityTest = BookFixture;

TEST_F(BookAccessibilityTest, PagesReadAsTheyAreLaidOutAndFollowTheTurns) {
    Open(2);
    QAccessibleInterface* left = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"));
    QAccessibleInterface* right = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxRightPage"));
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->role(), QAccessible::Document);
    EXPECT_EQ(left->text(QAccessible::Name), "Left page");
    EXPECT_EQ(right->text(QAccessible::Name), "Right page");
    EXPECT_TRUE(left->state().readOnly);
    ASSERT_NE(left->textInterface(), nullptr);
    EXPECT_EQ(AllText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")),
              "Goldilocks\nand\nthe\nThree\nBears");
    EXPECT_EQ(left->text(QAccessible::Description), "Cover");
    EXPECT_EQ(AllText(fbwtest::Child<TPaintBox>(*book, "pbxRightPage")), "");

    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    ASSERT_EQ(book->CurrentPage(), 1);
    const auto pageText = [&](int page) {
        return ToQString(TPageText(book->Book(), page, book->StoryText().c_str()).Text());
    };
    const QString first = AllText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"));
    EXPECT_EQ(first, pageText(1));
    const TPage* page1 = book->Book().Page(1);
    EXPECT_TRUE(first.startsWith(ToQString(page1->LineText(book->StoryText().c_str(), 1)) + "\n"))
        << "the title first";
    EXPECT_EQ(first.count('\n') + 1, page1->LineCount());
    EXPECT_EQ(AllText(fbwtest::Child<TPaintBox>(*book, "pbxRightPage")), pageText(2));
    EXPECT_EQ(right->text(QAccessible::Description), "Page 2");

    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    ASSERT_EQ(book->CurrentPage(), 3);
    EXPECT_EQ(AllText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")), pageText(3));
    EXPECT_EQ(left->text(QAccessible::Description), "Page 3");
    // Laid out again in other letters, the text follows.
    book->LettersPart().SetLetters(TBookLetters{TBookLetters::Face::EasyRead, true});
    EXPECT_EQ(AllText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")),
              pageText(book->CurrentPage()));
}

TEST_F(BookAccessibilityTest, CharactersStandWhereTheyAreDrawn) {
    Open(2);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    QAccessibleTextInterface* text =
        Accessible(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"))->textInterface();
    const QRect area(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").mapToGlobal(QPoint(0, 0)),
                     fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").size());
    const TPageText page(book->Book(), 1, book->StoryText().c_str());
    std::vector<int> lines; // the first three lines with letters, the title's first
    for (int l = 1; l <= page.LineCount() && lines.size() < 3; ++l)
        if (page.LineLength(l) > 1)
            lines.push_back(l);
    ASSERT_EQ(lines.size(), 3u);
    QRect previous;
    for (const int line : lines) {
        const int offset = page.OffsetOf(line, 0);
        const QRect r = text->characterRect(offset);
        ASSERT_FALSE(r.isEmpty()) << "line " << line;
        EXPECT_TRUE(area.contains(r)) << "line " << line;
        EXPECT_GT(r.top(), previous.top()) << "line " << line << " below the one before";
        EXPECT_EQ(text->offsetAtPoint(r.center()), offset) << "line " << line;
        previous = r;
    }
    const QRect a = text->characterRect(page.OffsetOf(lines[2], 0));
    const QRect b = text->characterRect(page.OffsetOf(lines[2], 1));
    EXPECT_EQ(a.right() + 1, b.left()) << "the second letter follows the first";
    EXPECT_EQ(text->offsetAtPoint(area.topLeft() - QPoint(5, 5)), -1);
}

TEST_F(BookAccessibilityTest, AReaderIsToldWhenAPagesTextChanges) {
    Open(2);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    g_updates.clear();
    book->Access().TellReaders = [](QAccessibleEvent& e) { NoteUpdate(&e); };
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    ASSERT_EQ(book->CurrentPage(), 3);
    bool left = false, right = false;
    for (const TextUpdate& e : g_updates) {
        if (e.object == &fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")) {
            left = true;
            EXPECT_EQ(e.inserted, AllText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")));
        }
        right |= e.object == &fbwtest::Child<TPaintBox>(*book, "pbxRightPage") &&
                 e.inserted == AllText(fbwtest::Child<TPaintBox>(*book, "pbxRightPage"));
    }
    EXPECT_TRUE(left);
    EXPECT_TRUE(right);
    // Nothing changed, nothing told.
    g_updates.clear();
    book->update();
    book->ShowPages(3);
    EXPECT_TRUE(g_updates.empty());
}

TEST_F(BookAccessibilityTest, ArrowsRibbonAndEveryButtonAndBoxHaveNamesAndPress) {
    Open(3);
    for (QWidget* w : book->findChildren<QWidget*>())
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<TPaintBox*>(w))
            EXPECT_NE(Accessible(*w)->text(QAccessible::Name), "") << w->objectName().toStdString();
    EXPECT_EQ(Accessible(fbwtest::Child<QLineEdit>(*book, "txtHero"))->text(QAccessible::Name),
              "Hero's name");
    EXPECT_EQ(Accessible(fbwtest::Child<QLineEdit>(*book, "txtHeroine"))->text(QAccessible::Name),
              "Heroine's name");
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblHero").buddy(),
              &fbwtest::Child<QLineEdit>(*book, "txtHero"));
    EXPECT_EQ(
        Accessible(fbwtest::Child<QToolButton>(*book, "sbEasyLetters"))->text(QAccessible::Name),
        "Easy-read letters");

    // The arrows stand where they are drawn, pale on the cover.
    QAccessibleInterface* next = Accessible(fbwtest::Child<QPushButton>(*book, "cmdNextPage"));
    QAccessibleInterface* back = Accessible(fbwtest::Child<QPushButton>(*book, "cmdPrevPage"));
    EXPECT_EQ(next->role(), QAccessible::Button);
    EXPECT_EQ(next->text(QAccessible::Name), "Next page");
    EXPECT_EQ(back->text(QAccessible::Name), "Previous page");
    EXPECT_FALSE(next->state().invisible);
    EXPECT_TRUE(next->state().disabled);
    const TBookBox at = TBookFoot(book->width(), book->height(), 1).ForwardArrow();
    EXPECT_EQ(next->rect(), QRect(book->mapToGlobal(QPoint(at.left, at.top)), QSize(40, 25)));
    ASSERT_NE(next->actionInterface(), nullptr);
    EXPECT_EQ(next->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::pressAction()});
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(book->CurrentPage(), 0) << "the cover does not turn";

    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_FALSE(next->state().disabled);
    next->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(book->CurrentPage(), 3);
    back->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(book->CurrentPage(), 1);

    // "Show the twists" is a button whose name says what a press does.
    QAccessibleInterface* twists = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"));
    EXPECT_EQ(twists->role(), QAccessible::Button);
    ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isEnabled());
    const QString before = twists->text(QAccessible::Name);
    twists->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_NE(twists->text(QAccessible::Name), before);
    EXPECT_TRUE(before == "Show the twists" || before == "Hide the twists") << before.toStdString();

    QAccessibleInterface* ribbon = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxClose"));
    EXPECT_EQ(ribbon->role(), QAccessible::Button);
    EXPECT_EQ(ribbon->text(QAccessible::Name), "Close the book");
    ribbon->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(book->isVisible());
    EXPECT_EQ(Accessible(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"))->text(QAccessible::Name),
              "Read to me");

    // The reading pace: a press goes to the next pace, round from quick to slow.
    QAccessibleInterface* pace = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxReadPace"));
    EXPECT_EQ(pace->role(), QAccessible::Button);
    EXPECT_EQ(pace->text(QAccessible::Name), "Reading pace");
    for (const char* next : {"Read quickly", "Read slowly", "Read at a normal pace"}) {
        pace->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(pace->text(QAccessible::Description), next);
    }
}

TEST_F(BookAccessibilityTest, LettersAreAChoiceWhoseActionsDoWhatAClickDoes) {
    Open(2);
    auto& easy = fbwtest::Child<QToolButton>(*book, "sbEasyLetters");
    QAccessibleInterface* letters = Accessible(fbwtest::Child<QFrame>(*book, "pnlLetters"));
    ASSERT_NE(letters, nullptr);
    EXPECT_EQ(letters->role(), QAccessible::Grouping);
    EXPECT_EQ(letters->text(QAccessible::Name), "Letters");
    QAccessibleInterface* radio = Accessible(easy);
    EXPECT_EQ(radio->role(), QAccessible::RadioButton);
    EXPECT_EQ(Accessible(fbwtest::Child<QToolButton>(*book, "sbBigLetters"))->role(),
              QAccessible::CheckBox);
    // The reader's toggle lays the story out in the letters and keeps them.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    const QImage before = book->Painter().PagePicture(TPagePainter::Side::Left);
    radio->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(radio->state().checked);
    EXPECT_EQ(book->LettersPart().Letters().face, TBookLetters::Face::EasyRead);
    EXPECT_NE(book->Painter().PagePicture(TPagePainter::Side::Left), before);
    EXPECT_EQ(book->Settings().Get(TBookLetters::kLettersKey, ""),
              book->LettersPart().Letters().LettersValue())
        << "kept";
}

TEST_F(BookAccessibilityTest, AReadBackStorysPagesAreStopsAndItsFadedTwistsSayWhy) {
    Open(2);
    const std::string path = book->StoriesFolder + "read-back.txt";
    ASSERT_TRUE(QDir().mkpath(QString::fromLocal8Bit(book->StoriesFolder.c_str())));
    ASSERT_TRUE(plat::WriteFileAtomic(path, "Read Back\r\n\r\nOne line of a story.\r\n"));
    book->ReadStoryFile(2, path);
    ASSERT_EQ(book->CurrentPage(), 1);
    QAccessibleInterface* twists = Accessible(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"));
    EXPECT_EQ(twists->text(QAccessible::Name), "Show the twists");
    EXPECT_FALSE(twists->text(QAccessible::Description).isEmpty()) << "why it is faded";
    // With no tinted words, each page is a stop whose text a reader reads.
    auto& left = fbwtest::Child<TPaintBox>(*book, "pbxLeftPage");
    EXPECT_EQ(left.focusPolicy(), Qt::TabFocus);
    left.setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(left.hasFocus());
    EXPECT_TRUE(AllText(left).contains("One line of a story."));
}
