// The storybook window driven through its named components: the cover
// spread, turning by arrows, keys and the window's surface, where the
// commands and the turn-page hint stand for odd and even page counts,
// "Read saved story", growing the window, the twist buttons and the names.
#include <QAccessible>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTest>

#include "BookFixture.h"
#include "book/BookPieces.h"
#include "platform/SpeechSynth.h"
#include "scene/SceneLayout.h"
#include "story/TaleTable.h"
#include "support/BookParts.h"

using FormBookTest = BookFixture;

namespace {

QRect Rect(const TRect& r) {
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

// The piece of the painted book where Arrow stands.
QImage ArrowShown(const QImage& picture, const TBookPieces::Piece& arrow) {
    return picture.copy(arrow.dest.X, arrow.dest.Y, 40, 25);
}

// Typing Text into Box key by key, as a keyboard with those characters
// would.
void Type(QLineEdit& box, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, &box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A key pressed on the keyboard: it goes to the control with the focus.
void Press(int key) {
    QWidget* focused = QApplication::focusWidget();
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key(key));
}

} // namespace

TEST_F(FormBookTest, FormTextsAndPlaces) {
    EXPECT_EQ(book->windowTitle(), "Storybook");
    EXPECT_EQ(book->size(), QSize(592, 418));
    EXPECT_EQ(book->minimumSize(), QSize(592, 418));
    EXPECT_EQ(book->font().pixelSize(), 12);
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").font().family(), "Times New Roman");
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").font().pixelSize(), 16);
    EXPECT_EQ(fbwtest::Child<QToolButton>(*book, "sbFull").text(), "Full");
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbFull").isChecked());
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 2);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").text(), "Create story");
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").text(), "Read saved story");
    EXPECT_EQ(fbwtest::Child<QTimer>(*book, "tmrMessage").interval(), 2500);
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrMessage").isActive());
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblSaveText").text(),
              "Save the story as a text file. Read it again by clicking "
              "\"Read saved story\" next time you pick the current title.");
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblCopyText").text(),
              "Copy the story to the clipboard so that you can paste it into another program.");
    // No text speaks of another desktop's things.
    for (const QLabel* label : book->findChildren<QLabel*>())
        for (const char* word : {"Windows", "disk", "Clipboard"})
            EXPECT_FALSE(label->text().contains(word)) << label->objectName().toStdString();
    EXPECT_EQ(TTaleTable::ShortName(2), "Goldilox");
    EXPECT_EQ(TTaleTable::ShortName(10), "Tortoise");
    for (int bad : {0, 11, -1})
        EXPECT_THROW(
            {
                try {
                    TTaleTable::ShortName(bad);
                } catch (const std::exception& e) {
                    EXPECT_STREQ(e.what(), "Invalid book number");
                    throw;
                }
            },
            std::exception);

    Open(3); // hero and heroine
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry(), QRect(60, 49, 216, 320));
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry(),
              QRect(326, 49, 216, 320));
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxClose").geometry(), QRect(569, 36, 19, 65));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").pos(), QPoint(24, 370));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNextPage").pos(), QPoint(544, 370));
    // Placed upward from the page foot: new story, hero, heroine, twist.
    const int base = 326 + 10;
    int y = 369 - 10;
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry(),
              QRect(base + (216 - 132) / 2, y - 29, 132, 29));
    y -= 29 + 8;
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlHero").geometry(),
              QRect(base + (216 - 169) / 2, y - 73, 169, 73));
    y -= 73 + 8;
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlHeroine").geometry(),
              QRect(base + (216 - 169) / 2, y - 73, 169, 73));
    y -= 73 + 8;
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlTwist").geometry(),
              QRect(base + (216 - 169) / 2, y - 62, 169, 62));
    // The command panel of four commands, 216 x 316, centred on the right page.
    EXPECT_EQ(fbwtest::Child<QWidget>(*book, "pnlCommands").geometry(),
              QRect(base + (216 - 216) / 2 - 15, 49 + (320 - 316) / 2, 216, 316));
    for (const QWidget* w : fbwtest::Child<QWidget>(*book, "pnlCommands")
                                .findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").rect().contains(w->geometry()))
            << w->objectName().toStdString();
    // The hint stands at the page foot, but above the forward arrow.
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblTurnPage").geometry(),
              QRect(326 + (216 - 218) / 2, 418 - 64 - 33, 218, 33));
    EXPECT_TRUE(errors.empty());
}

// Left to itself, the window reads in the game's own voice: a story
// created, and one read back, both have it.
TEST_F(FormBookTest, TheGamesOwnVoiceReadsEveryStory) {
    if (!plat::CreateSystemSpeechSynth())
        GTEST_SKIP() << "built without a speech engine";
    Open(2);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_TRUE(book->Reader().HasVoice());
    book->ShowPages(book->Book().PageCount() | 1);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    Show();
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    EXPECT_TRUE(book->Reader().HasVoice()) << "read back";
}

TEST_F(FormBookTest, CoverSpreadNeverTurnsEvenWithAStory) {
    OpenWith(2, Story(300));
    ASSERT_GT(book->Book().PageCount(), 2);
    const QImage bookArt = LibraryImage("book");
    const int w = book->width(), h = book->height();
    const auto arrowsShow = [&](bool back, bool forward) {
        EXPECT_EQ(ArrowShown(book->Painter().BookPicture(),
                             TBookPieces::BackArrow(TBookFoot(w, h, 1), back)),
                  bookArt.copy(Rect(TBookPieces::BackArrow(TBookFoot(w, h, 1), back).source)))
            << "back arrow " << back;
        EXPECT_EQ(ArrowShown(book->Painter().BookPicture(),
                             TBookPieces::ForwardArrow(TBookFoot(w, h, 1), forward)),
                  bookArt.copy(Rect(TBookPieces::ForwardArrow(TBookFoot(w, h, 1), forward).source)))
            << "forward arrow " << forward;
    };

    EXPECT_EQ(book->CurrentPage(), 0);
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").isEnabled());
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
    arrowsShow(false, false);
    EXPECT_NE(bookArt.copy(200, 100, 40, 25), bookArt.copy(200, 125, 40, 25))
        << "the two arrow forms differ";
    EXPECT_TRUE(fbwtest::Child<QFrame>(*book, "pnlTwist").isVisible());
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdNewStory").isVisible());
    EXPECT_TRUE(fbwtest::Child<QFrame>(*book, "pnlHeroine").isVisible());
    EXPECT_FALSE(fbwtest::Child<QFrame>(*book, "pnlHero").isVisible()) << "Goldilocks has no hero";
    EXPECT_FALSE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible());

    // Nothing turns the cover forward.
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    QTest::keyClick(book.get(), Qt::Key_Right);
    QTest::keyClick(book.get(), Qt::Key_PageDown);
    QTest::mouseClick(book.get(), Qt::LeftButton, {}, QPoint(w - 60, 200));
    EXPECT_EQ(book->CurrentPage(), 0);

    const std::string before = book->StoryText();
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_NE(book->StoryText(), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass went";
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").isEnabled());
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
    arrowsShow(false, true);
    EXPECT_FALSE(fbwtest::Child<QFrame>(*book, "pnlTwist").isVisible());
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdNewStory").isVisible());
    EXPECT_FALSE(fbwtest::Child<QFrame>(*book, "pnlHeroine").isVisible());
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    EXPECT_EQ(book->CurrentPage(), 3);
    arrowsShow(true, true);

    // Showing again returns to the cover, arrows off.
    Show();
    EXPECT_EQ(book->CurrentPage(), 0);
    arrowsShow(false, false);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, OddPageCountShowsTheCommandsBesideTheLastPage) {
    const int words = WordsFor(60, 400, [](const TBook& b) { return b.PageCount() == 3; });
    ASSERT_GT(words, 0);
    OpenWith(1, Story(words));
    book->ShowPages(1);
    EXPECT_FALSE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible());
    TurnTo(3);
    EXPECT_EQ(book->CurrentPage(), 3);
    EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible());
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").isEnabled());
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").cursor().shape(), Qt::ArrowCursor);
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      QPoint(20, 20));
    EXPECT_EQ(book->CurrentPage(), 3) << "no spread after the commands";
}

TEST_F(FormBookTest, EvenPageCountHintsAndShowsTheCommandsOverleaf) {
    const auto even = [](const TBook& b) { return b.PageCount() == 4; };
    const auto rule = [](const TBook& b) { return b.PageLineCount(4) <= b.PageLineCount(3) - 2; };
    const int shortLast = WordsFor(120, 600, [&](const TBook& b) { return even(b) && rule(b); });
    const int fullLast =
        WordsFor(shortLast, 600, [&](const TBook& b) { return even(b) && !rule(b); });
    ASSERT_GT(shortLast, 0);
    ASSERT_GT(fullLast, 0);
    for (const int words : {shortLast, fullLast}) {
        SCOPED_TRACE(words);
        OpenWith(1, Story(words));
        ASSERT_EQ(book->Book().PageCount(), 4);
        const bool hint = rule(book->Book());
        book->ShowPages(1);
        EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible());
        TurnTo(3);
        EXPECT_EQ(book->CurrentPage(), 3);
        EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible(), hint);
        EXPECT_FALSE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
        EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
        if (hint) {
            const QRect arrow(book->width() - 80, book->height() - 64, 40, 25);
            EXPECT_EQ(
                fbwtest::Child<QLabel>(*book, "lblTurnPage").geometry().bottom() + 1,
                std::min(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry().bottom() + 1,
                         arrow.top()))
                << "the hint stands at the foot of the right page, above the arrow";
            EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").geometry().intersects(arrow));
        }
        TurnTo(5);
        EXPECT_EQ(book->CurrentPage(), 5);
        EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
        EXPECT_FALSE(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible());
        EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
        // The empty spread after the story: nothing on its pages.
        EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left),
                  book->Painter().BookPicture().copy(
                      fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry()));
        QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), Qt::LeftButton, {},
                          QPoint(20, 20));
        EXPECT_EQ(book->CurrentPage(), 3);
        EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblTurnPage").isVisible(), hint);
    }
}

TEST_F(FormBookTest, ReadSavedStoryOnlyOnTheCoverAfterShowingAgain) {
    OpenWith(2, Story(100));
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    const QRect newStoryAlone = fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry();
    book->ShowPages(1);
    TurnTo(book->Book().PageCount());
    ASSERT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible())
        << "not on the commands spread";
    const std::string saved = book->StoryText();
    std::vector<int> lines;
    for (int p = 1; p <= book->Book().PageCount(); ++p)
        lines.push_back(book->Book().PageLineCount(p));

    // Another tale has no saved story.
    book->TaleNumber = 3;
    Show();
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());

    book->SetStory(Story(30));
    book->TaleNumber = 2;
    Show();
    EXPECT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    const QRect right = fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry();
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").geometry().bottom() + 1,
              right.bottom() + 1 - 10);
    // "My stories" beside it, the two centred on the page as one.
    const auto savedRow = [&](const QRect& page) {
        return page.x() + 10 +
               (page.width() -
                (133 + 4 + fbwtest::Child<QPushButton>(*book, "cmdMyStories").width())) /
                   2;
    };
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").x(), savedRow(right));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdMyStories").geometry(),
              fbwtest::Child<QPushButton>(*book, "cmdReadSaved")
                  .geometry()
                  .translated(133 + 4, 0)
                  .adjusted(0, 0, -37, 0));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry().bottom() + 1,
              right.bottom() + 1 - 10 - 29 - 24);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry(),
              newStoryAlone.translated(0, -53));
    EXPECT_LT(fbwtest::Child<QFrame>(*book, "pnlTwist").geometry().bottom(),
              fbwtest::Child<QPushButton>(*book, "cmdNewStory").y());

    // Resizing the cover moves them with the page foot, centred on the page.
    book->resize(800, 600);
    QCoreApplication::processEvents();
    const QRect grown = fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry();
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").geometry().bottom(),
              grown.bottom() - 10);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry().bottom() + 1,
              grown.bottom() + 1 - 10 - 29 - 24);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").x(),
              grown.x() + 10 + (grown.width() - 132) / 2);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").x(), savedRow(grown));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdMyStories").x(),
              fbwtest::Child<QPushButton>(*book, "cmdReadSaved").x() + 133 + 4);
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlTwist").x(),
              grown.x() + 10 + (grown.width() - 169) / 2);
    book->resize(592, 418);
    QCoreApplication::processEvents();

    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(book->StoryText().substr(0, saved.size()), saved);
    std::vector<int> linesBack;
    for (int p = 1; p <= book->Book().PageCount(); ++p)
        linesBack.push_back(book->Book().PageLineCount(p));
    EXPECT_EQ(linesBack, lines);
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, GrowingTheWindowMovesToTheShorterLayoutsCommands) {
    OpenWith(4, Story(500));
    const int longCount = book->Book().PageCount();
    ASSERT_GE(longCount, 8);
    book->ShowPages(1);
    TurnTo(longCount);
    const int commandsSpread = book->CurrentPage();
    ASSERT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());

    book->resize(1200, 900);
    QCoreApplication::processEvents();
    ASSERT_EQ(book->size(), QSize(1200, 900));
    const int shortCount = book->Book().PageCount();
    ASSERT_LT(shortCount + 1, commandsSpread);
    EXPECT_EQ(book->CurrentPage(), shortCount | 1);
    EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    EXPECT_FALSE(fbwtest::Child<QPushButton>(*book, "cmdNextPage").isEnabled());
    EXPECT_EQ(book->Painter().BookPicture().size(), QSize(1200, 900));

    // The resize arithmetic at the new size, where the controls show twice
    // their size: the pages give the grown ribbon and foot their room.
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry(),
              QRect(60 + 32, 49, 520 - 32, 802 - 25));
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry(),
              QRect(1200 - 520 - 50, 49, 520 - 32, 802 - 25));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdPrevPage").pos(), QPoint(24, 900 - 48));
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNextPage").pos(), QPoint(1200 - 48, 900 - 48));
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxClose").geometry(),
              QRect(1200 - 46, 42, 38, 130));
    // The commands grow with the book, twice their size here, centred.
    const QWidget& panel = fbwtest::Child<QWidget>(*book, "pnlCommands");
    EXPECT_EQ(panel.size(), QSize(2 * 216, 2 * 316));
    EXPECT_EQ(panel.pos(), QPoint(630 + 10 + (488 - 432) / 2 - 15, 49 + (777 - 632) / 2));

    // Shrinking back keeps the spread while it is still within the story.
    book->ShowPages(1);
    book->resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry(), QRect(60, 49, 270, 402));

    // Back on the cover, the controls follow the page foot.
    Show();
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry().bottom() + 1,
              49 + 402 - 10);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").x(),
              700 - 270 - 50 + 10 + (270 - 132) / 2);
}

TEST_F(FormBookTest, TurningByArrowsKeysAndTheWindowsSurface) {
    OpenWith(4, Story(500));
    const int count = book->Book().PageCount();
    ASSERT_GE(count, 8);
    book->ShowPages(1);
    const auto key = [&](int k) { Press(k); };
    key(Qt::Key_Left);
    key(Qt::Key_PageUp);
    EXPECT_EQ(book->CurrentPage(), 1) << "no turning back from the first spread";
    key(Qt::Key_Right);
    EXPECT_EQ(book->CurrentPage(), 3);
    key(Qt::Key_PageDown);
    EXPECT_EQ(book->CurrentPage(), 5);
    key(Qt::Key_Left);
    EXPECT_EQ(book->CurrentPage(), 3);
    key(Qt::Key_PageUp);
    EXPECT_EQ(book->CurrentPage(), 1);
    for (int i = 0; i < count; ++i)
        key(Qt::Key_PageDown);
    EXPECT_EQ(book->CurrentPage(), count | 1) << "stops at the commands spread";
    EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());

    // The window's surface: the gutter between the pages takes the cursor of
    // the page whose side it is on (split at W / 2 + 9).
    book->ShowPages(3);
    const int w = book->width(), h = book->height();
    const int split = w / 2 + 9;
    ASSERT_LT(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry().right(), split - 1);
    ASSERT_GT(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").x(), split);
    QTest::mouseClick(book.get(), Qt::LeftButton, {}, QPoint(split, 200));
    EXPECT_EQ(book->CurrentPage(), 5);
    QTest::mouseClick(book.get(), Qt::LeftButton, {}, QPoint(split - 1, 200));
    EXPECT_EQ(book->CurrentPage(), 3);
    QTest::mouseClick(book.get(), Qt::LeftButton, {}, QPoint(40, 30));
    EXPECT_EQ(book->CurrentPage(), 1) << "lower bounds are inside";
    book->ShowPages(3);
    for (const QPoint outside :
         {QPoint(39, 200), QPoint(split - 1, 29), QPoint(split, h - 42), QPoint(w - 40, 200)}) {
        QTest::mouseClick(book.get(), Qt::LeftButton, {}, outside);
        EXPECT_EQ(book->CurrentPage(), 3) << outside.x() << "," << outside.y();
        EXPECT_EQ(book->cursor().shape(), Qt::ArrowCursor);
    }

    // Escape closes the book, as the close tab does.
    key(Qt::Key_Escape);
    EXPECT_FALSE(book->isVisible());
    Show();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxClose"), Qt::LeftButton, {},
                      QPoint(5, 5));
    EXPECT_FALSE(book->isVisible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, TwistButtonsRepaintOnlyTheCoverPictureAndSetTheNextStory) {
    Open(2);
    const QImage before = book->Painter().PagePicture(TPagePainter::Side::Left);
    QRegion repainted;
    CollectRepaints(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), repainted);
    QCoreApplication::processEvents();
    repainted = QRegion();
    const TPoint at = book->Book().PicturePos;
    const QRect picture(at.X, at.Y, 150, 150);
    ASSERT_TRUE(book->Painter().PagePicture(TPagePainter::Side::Left).rect().contains(picture));
    const QImage tale = LibraryImage("Goldilox");

    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbNone"), Qt::LeftButton);
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbNone").isChecked());
    EXPECT_FALSE(fbwtest::Child<QToolButton>(*book, "sbFull").isChecked());
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 0);
    EXPECT_EQ(generator().TwistPercent(), 0);
    QCoreApplication::processEvents();
    EXPECT_FALSE(repainted.isEmpty());
    EXPECT_TRUE((repainted - QRegion(picture)).isEmpty()) << "the page was not drawn again";
    const QImage after = book->Painter().PagePicture(TPagePainter::Side::Left);
    EXPECT_EQ(after.copy(picture), tale.copy(0, 0, 150, 150));
    EXPECT_NE(before.copy(picture), after.copy(picture));
    QImage outside = after, outsideBefore = before;
    {
        QPainter p1(&outside), p2(&outsideBefore);
        p1.fillRect(picture, Qt::black);
        p2.fillRect(picture, Qt::black);
    }
    EXPECT_EQ(outside, outsideBefore) << "the cover text and frame stay";

    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbHalf"), Qt::LeftButton);
    EXPECT_EQ(generator().TwistPercent(), 50);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left).copy(picture),
              tale.copy(0, 150, 150, 150));
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbNone"), Qt::LeftButton);

    // The next story is told without a twist.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    const std::string untwisted = book->StoryText();
    generator().SetTwistLevel(0);
    EXPECT_EQ(untwisted, ResolveStoryLineEnds(JoinStoryLines(generator().GenerateStory(2))));
    generator().SetTwistLevel(100);
    EXPECT_NE(untwisted, ResolveStoryLineEnds(JoinStoryLines(generator().GenerateStory(2))))
        << "the same seed with the full twist tells another story";
    generator().SetTwistLevel(0);

    // The level stays for the next showing.
    Show();
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbNone").isChecked());
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 0);
    EXPECT_EQ(book->Book().PictureRect.Top, 0);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left).copy(picture),
              tale.copy(0, 0, 150, 150));
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, TheCoverGrowsWithTheWindow) {
    Open(3); // hero and heroine
    const QImage small = book->Painter().PagePicture(TPagePainter::Side::Left);
    // The dark rows of the cover's words: inside the frame, above the picture.
    const auto wordsHeight = [&](const QImage& page, int pictureTop) {
        int first = -1, last = -1;
        for (int y = 8 + 3 + 4; y < pictureTop - 2; ++y)
            for (int x = 8 + 3 + 4; x < page.width() - 8 - 3 - 4; ++x)
                if (qGray(page.pixel(x, y)) < 60) {
                    first = first < 0 ? y : first;
                    last = y;
                    break;
                }
        return first < 0 ? 0 : last - first + 1;
    };
    const int smallWords = wordsHeight(small, book->Book().PicturePos.Y);
    ASSERT_GT(smallWords, 0);
    EXPECT_EQ(book->Book().PictureScale, 1);
    EXPECT_EQ(fbwtest::Cover(*book).Scale(), 1);

    // Maximized on a full-HD screen.
    book->resize(1920, 1080);
    const QImage large = book->Painter().PagePicture(TPagePainter::Side::Left);
    const TPoint at = book->Book().PicturePos;
    // The picture: three times as large, the most the lower half of the
    // 848 x 957 page holds, each of its pixels a 3 x 3 block.
    ASSERT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").size(), QSize(848, 957));
    EXPECT_EQ(book->Book().PictureScale, 3);
    const QImage tale = LibraryImage("Hansel");
    EXPECT_EQ(large.copy(at.X, at.Y, 450, 450),
              tale.copy(0, 300, 150, 150)
                  .scaled(450, 450, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    EXPECT_GE(at.Y, 982 / 2 - 12);
    EXPECT_LE(at.Y + 450, 982 - 8 - 3);
    // The words: set larger, still above the picture.
    EXPECT_GE(wordsHeight(large, at.Y), 2 * smallWords);
    // The controls: at the scene's step for this size, fonts and all.
    const int k = TSceneLayout::WindowScale(1920, 1080);
    ASSERT_EQ(k, 2);
    EXPECT_EQ(fbwtest::Cover(*book).Scale(), k);
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlTwist").size(), QSize(169, 62) * k);
    EXPECT_EQ(fbwtest::Child<QToolButton>(*book, "sbNone").geometry(),
              QRect(13 * k, 28 * k, 45 * k, 25 * k));
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlHero").size(), QSize(169, 73) * k);
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").geometry(),
              QRect(9 * k, 40 * k, 152 * k, 23 * k));
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").font().pixelSize(), 12 * k);
    EXPECT_EQ(fbwtest::Child<QLabel>(*book, "lblHeroine").font().pixelSize(), 12 * k);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").size(), QSize(132, 29) * k);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").font().pixelSize(), 13 * k);
    EXPECT_EQ(fbwtest::Child<QPushButton>(*book, "cmdNewStory").iconSize(), QSize(18, 18) * k);
    const QFrame& letters = fbwtest::Child<QFrame>(*book, "pnlLetters");
    EXPECT_EQ(letters.size(), QSize(169, 30) * k);
    EXPECT_EQ(fbwtest::Child<QToolButton>(*book, "sbBigLetters").font().pixelSize(), 12 * k);
    // Stacked on the right page without overlapping, centred on it.
    const QRect page = fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry();
    EXPECT_GE(letters.y(), page.top() - 10);
    EXPECT_LE(letters.geometry().bottom(), fbwtest::Child<QFrame>(*book, "pnlTwist").y());
    EXPECT_LE(fbwtest::Child<QFrame>(*book, "pnlTwist").geometry().bottom(),
              fbwtest::Child<QFrame>(*book, "pnlHeroine").y());
    EXPECT_LE(fbwtest::Child<QFrame>(*book, "pnlHeroine").geometry().bottom(),
              fbwtest::Child<QFrame>(*book, "pnlHero").y());
    EXPECT_LE(fbwtest::Child<QFrame>(*book, "pnlHero").geometry().bottom(),
              fbwtest::Child<QPushButton>(*book, "cmdNewStory").y());
    EXPECT_LE(fbwtest::Child<QPushButton>(*book, "cmdNewStory").geometry().bottom(), page.bottom());
    EXPECT_NEAR(fbwtest::Child<QFrame>(*book, "pnlTwist").geometry().center().x(),
                page.center().x() + 10, 1);

    // Another twist repaints the whole of the grown picture.
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbNone"), Qt::LeftButton);
    EXPECT_EQ(
        book->Painter().PagePicture(TPagePainter::Side::Left).copy(at.X, at.Y, 450, 450),
        tale.copy(0, 0, 150, 150).scaled(450, 450, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    QTest::mouseClick(&fbwtest::Child<QToolButton>(*book, "sbFull"), Qt::LeftButton);

    // Back to the first size: all as it was.
    book->resize(592, 418);
    EXPECT_EQ(fbwtest::Cover(*book).Scale(), 1);
    EXPECT_EQ(fbwtest::Child<QFrame>(*book, "pnlTwist").size(), QSize(169, 62));
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").font().pixelSize(), 12);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), small);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, NameBoxesReachTheGeneratorAtOnceAndRefuseNonLatin1) {
    generator().HeroName = "Bob";
    generator().HeroineName = "";
    Open(3);
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").text(), "Bob");
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHeroine").text(), "");
    EXPECT_EQ(generator().HeroName, "Bob") << "showing the names writes nothing";

    fbwtest::Child<QLineEdit>(*book, "txtHero").selectAll();
    QTest::keyClick(&fbwtest::Child<QLineEdit>(*book, "txtHero"), Qt::Key_Backspace);
    EXPECT_EQ(generator().HeroName, "");
    Type(fbwtest::Child<QLineEdit>(*book, "txtHero"), "T");
    EXPECT_EQ(generator().HeroName, "T");
    Type(fbwtest::Child<QLineEdit>(*book, "txtHero"), QString::fromUtf8("om\u00e9"));
    EXPECT_EQ(generator().HeroName, "Tom\xe9");
    Type(fbwtest::Child<QLineEdit>(*book, "txtHero"), QString::fromUtf8("\u017d\u20ac"));
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").text(), QString::fromUtf8("Tom\u00e9"));
    EXPECT_EQ(generator().HeroName, "Tom\xe9");

    Type(fbwtest::Child<QLineEdit>(*book, "txtHeroine"), QString::fromUtf8("Ann\u0101"));
    EXPECT_EQ(generator().HeroineName, "Ann");
    // A pasted name with a character outside Latin-1 is refused whole.
    QApplication::clipboard()->setText(QString::fromUtf8("Zo\u00eb \u4e00"));
    fbwtest::Child<QLineEdit>(*book, "txtHeroine").paste();
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHeroine").text(), "Ann");
    EXPECT_EQ(generator().HeroineName, "Ann");

    // The story told next uses them.
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_NE(book->StoryText().find("Tom\xe9"), std::string::npos);
    Show();
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").text(), QString::fromUtf8("Tom\u00e9"));
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHeroine").text(), "Ann");
}

TEST_F(FormBookTest, ANameBoxSaysWhichLettersItCannotTake) {
    generator().HeroName = "";
    Open(3);
    auto* box = book->findChild<QLineEdit*>("txtHero");
    const auto* note = book->findChild<QLabel*>("lblHeroNote");
    ASSERT_TRUE(box && note);
    EXPECT_FALSE(note->isVisible());

    // Pasted: nothing is taken, and the note names each letter the book
    // cannot write (the face a pair of UTF-16 units), for screen readers too.
    QApplication::clipboard()->setText(QString::fromUtf8("\u0141ucja \U0001F600"));
    box->paste();
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), QString::fromUtf8("The book cannot write \u0141 or \U0001F600."));
    EXPECT_EQ(box->accessibleDescription(), note->text());
    EXPECT_EQ(generator().HeroName, "");

    // A letter the box takes ends the note; typed, the face is one key.
    Type(*box, "L");
    EXPECT_FALSE(note->isVisible());
    EXPECT_EQ(box->accessibleDescription(), "");
    QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString::fromUtf8("\U0001F600"),
                        Qt::NoModifier);
    EXPECT_EQ(note->text(), QString::fromUtf8("The book cannot write \U0001F600."));
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(box->text(), "L");
    EXPECT_EQ(generator().HeroName, "L");

    // The next tale starts without it.
    Open(3);
    EXPECT_FALSE(note->isVisible());
}

TEST_F(FormBookTest, ANameIsUsedWithoutTheSpacesTypedAroundIt) {
    generator().HeroineName = "";
    Open(2);
    Type(fbwtest::Child<QLineEdit>(*book, "txtHeroine"), QString::fromUtf8(" Zo\u00eb     "));
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_EQ(book->StoryText().rfind("Zo\xEB and the Three ", 0), 0u) << book->StoryText();
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHeroine").text(),
              QString::fromUtf8(" Zo\u00eb     "))
        << "the box keeps it";
}

TEST_F(FormBookTest, PageKeysTurnWhicheverControlHasTheFocus) {
    OpenWith(4, Story(500));
    ASSERT_TRUE(book->isActiveWindow());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    ASSERT_EQ(book->CurrentPage(), 1);
    const std::string story = book->StoryText();
    Press(Qt::Key_Right);
    EXPECT_EQ(book->CurrentPage(), 3);
    // "Create story" went with the cover: Space and Enter no longer press it.
    Press(Qt::Key_Space);
    Press(Qt::Key_Return);
    EXPECT_EQ(book->CurrentPage(), 3);
    EXPECT_EQ(book->StoryText(), story);

    // After a command, the arrow keys still turn rather than move the focus.
    book->ShowPages(book->Book().PageCount() | 1);
    const int commands = book->CurrentPage();
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdCopy"), Qt::LeftButton);
    Press(Qt::Key_Left);
    EXPECT_EQ(book->CurrentPage(), commands - 2);
    Press(Qt::Key_Right);
    EXPECT_EQ(book->CurrentPage(), commands);

    // A name box keeps Left and Right for its cursor.
    Show();
    fbwtest::Child<QLineEdit>(*book, "txtHero").setFocus();
    fbwtest::Child<QLineEdit>(*book, "txtHero").setText("Tom");
    fbwtest::Child<QLineEdit>(*book, "txtHero").setCursorPosition(3);
    Press(Qt::Key_Left);
    EXPECT_EQ(fbwtest::Child<QLineEdit>(*book, "txtHero").cursorPosition(), 2);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(book->isVisible());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FormBookTest, MaximizedSettingReadAtCreationWrittenAtDestruction) {
    book.reset();
    EXPECT_EQ(Setting("Book", "Maximized"), "0");
    for (const char* value : {"2", "yes", ""}) {
        plat::WriteProfileString("Book", "Maximized", value, SettingsFileName);
        TFormBook other(generator(), *game->Library());
        EXPECT_FALSE(other.windowState() & Qt::WindowMaximized) << value;
    }
    EXPECT_EQ(Setting("Book", "Maximized"), "0");
    plat::WriteProfileString("Book", "Maximized", "1", SettingsFileName);
    {
        TFormBook other(generator(), *game->Library());
        EXPECT_TRUE(other.windowState() & Qt::WindowMaximized);
    }
    EXPECT_EQ(Setting("Book", "Maximized"), "1");
}

// A window that cannot be made (its library has none of the book's pictures)
// leaves nothing of itself registered with the library: the library's end
// writes through no pointer into the window that was not made (under ASan a
// stale registration is a heap-use-after-free).
TEST_F(FormBookTest, FailedConstructionLeavesTheLibrarySafe) {
    auto start = std::make_unique<TRL8Library>();
    start->Open(fbwtest::YarnsDir() + "/FBWstart.rl8");
    ASSERT_FALSE(start->ImageExists("book"));
    EXPECT_THROW(TFormBook(generator(), *start), std::exception);
    start.reset();
    // The window that was made on the game library is whole.
    Open(2);
    EXPECT_EQ(book->CurrentPage(), 0);
    EXPECT_TRUE(errors.empty());
}

namespace {
// How many 2 x 2 blocks of Rect (in Image's pixels) are not of one colour.
int MixedBlocks(const QImage& image, const QRect& rect) {
    int mixed = 0;
    for (int y = rect.top(); y + 1 <= rect.bottom(); y += 2)
        for (int x = rect.left(); x + 1 <= rect.right(); x += 2) {
            const QRgb a = image.pixel(x, y);
            if (image.pixel(x + 1, y) != a || image.pixel(x, y + 1) != a ||
                image.pixel(x + 1, y + 1) != a)
                ++mixed;
        }
    return mixed;
}
} // namespace

// On a screen scaled to 200 % the pages' text is drawn at the screen's pixel
// ratio (its edges are finer than 2 x 2 blocks) from the layout of 100 %,
// while the cover picture stays whole pixels, doubled. Runs in the program
// started with QT_SCALE_FACTOR=2 (ctest's FormBookAt200Percent).
TEST_F(FormBookTest, PageTextIsDrawnAtTheScreensPixelRatio) {
    if (book->devicePixelRatioF() < 2)
        GTEST_SKIP() << "needs a screen scaled to 200 % (QT_SCALE_FACTOR=2)";
    Open(2);
    const QImage& cover = book->Painter().Picture(TPagePainter::Side::Left);
    EXPECT_EQ(cover.devicePixelRatio(), 2.0);
    EXPECT_EQ(cover.size(), fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").size() * 2);
    const TPoint at = book->Book().PicturePos;
    EXPECT_EQ(MixedBlocks(cover, QRect(at.X * 2, at.Y * 2, 300, 300)), 0);
    // The cover words above the picture.
    EXPECT_GT(MixedBlocks(cover, QRect(0, 0, cover.width(), at.Y * 2)), 50);

    fbwtest::Child<QPushButton>(*book, "cmdNewStory").click();
    ASSERT_EQ(book->CurrentPage(), 1);
    const QImage& page = book->Painter().Picture(TPagePainter::Side::Left);
    EXPECT_GT(MixedBlocks(page, page.rect()), 500);
    // The pages as a person sees them: the layer's fine text, over the book.
    const QImage shown = book->Painter().PagePicture(TPagePainter::Side::Left);
    EXPECT_EQ(shown.size(), fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").size());
}

// Screen readers get every control's place in screen pixels, which on a screen
// scaled to 200 % are twice the window's own: a push button of Qt's, a page
// area painted by the book (also found at a point of the screen), and the
// characters on it.
// Also runs in FormBookAt200Percent.
TEST_F(FormBookTest, ScreenReadersGetPlacesInScreenPixels) {
    Open(2);
    const qreal ratio = book->devicePixelRatioF();
    const auto onScreen = [ratio](QWidget& w) {
        return QRect(w.mapToGlobal(QPoint(0, 0)) * ratio, w.size() * ratio);
    };
    QAccessibleInterface* create =
        QAccessible::queryAccessibleInterface(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"));
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(create->text(QAccessible::Name), "Create story");
    EXPECT_EQ(create->rect(), onScreen(fbwtest::Child<QPushButton>(*book, "cmdNewStory")));
    QAccessibleInterface* page =
        QAccessible::queryAccessibleInterface(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"));
    EXPECT_EQ(page->rect(), onScreen(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")));
    const QPoint middle = page->rect().center();
    EXPECT_EQ(page->parent()->childAt(middle.x(), middle.y()), page);

    fbwtest::Child<QPushButton>(*book, "cmdNewStory").click();
    ASSERT_EQ(book->CurrentPage(), 1);
    QAccessibleTextInterface* text = page->textInterface();
    ASSERT_NE(text, nullptr);
    const QRect first = text->characterRect(0);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(page->rect().contains(first));
    EXPECT_EQ(text->offsetAtPoint(first.center()), 0);
}
