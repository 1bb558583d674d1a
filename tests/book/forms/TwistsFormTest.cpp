// The storybook's twists: the "Show the twists" button and its setting, the
// tint repainted alone, the tooltip of what the tale had, a click on a tinted
// word swapping it and showing its spread, a click elsewhere turning the
// page, and saving and copying the story as it now stands.
#include <QClipboard>

#include <QAccessible>

#include "BookFixture.h"
#include "book/PageText.h"
#include "book/StoryTwists.h"
#include "platform/Files.h"
#include "platform/qt/Latin1.h"
#include "support/BookParts.h"

namespace {

class TwistsTest : public BookFixture {
protected:
    // Opens tale Tale at the twist level's percentage and shows page 1.
    void OpenStory(int tale, int twist = 100) {
        generator().SetTwistLevel(twist);
        Open(tale);
        book->ShowPages(1);
        QCoreApplication::processEvents();
    }
    // Collects what the page areas repaint from now on.
    void WatchPaints() {
        for (auto [area, region] :
             {std::pair{&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), &leftDamage},
              std::pair{&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), &rightDamage}}) {
            auto paint = area->OnPaint;
            area->OnPaint = [paint, region = region](QPainter& c, const QRegion& damage) {
                *region += damage;
                paint(c, damage);
            };
        }
    }
    void Flush() {
        QCoreApplication::processEvents();
        leftDamage = rightDamage = QRegion();
    }
    // The story's text as the generator's last story resolves to.
    std::string GeneratorText() {
        return ResolveStoryLineEnds(JoinStoryLines(generator().StoryLines()));
    }
    QRegion leftDamage, rightDamage;
};

TEST_F(TwistsTest, ToggleRepaintsTheTintAloneAndIsKept) {
    OpenStory(2);
    ASSERT_FALSE(fbwtest::Twists(*book).Twists().Empty());
    ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isVisible());
    ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isEnabled());
    EXPECT_FALSE(fbwtest::Twists(*book).ShowTwists());
    // It stands just left of "Read to me", their feet level, below the
    // lowest text a page can hold.
    EXPECT_LT(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").geometry().right(),
              fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").x());
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").geometry().bottom(),
              fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").geometry().bottom());
    EXPECT_GE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").y(),
              fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").geometry().bottom() + 1 -
                  book->Book().MarginY);

    const QImage plain = book->Painter().PagePicture(TPagePainter::Side::Left);
    const QImage button = fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").grab().toImage();
    WatchPaints();
    Flush();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_TRUE(fbwtest::Twists(*book).ShowTwists());
    EXPECT_EQ(Setting("Book", "ShowTwists"), "1");
    EXPECT_NE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").grab().toImage(), button)
        << "the button shows it is on";
    const QImage tinted = book->Painter().PagePicture(TPagePainter::Side::Left);
    const QRegion changed = Changed(plain, tinted);
    ASSERT_FALSE(changed.isEmpty());
    // What changed is repainted, and little else: the tinted words' rows.
    EXPECT_TRUE((changed - leftDamage).isEmpty());
    QRegion tints;
    for (const auto& [rect, span] : TwistRects(true))
        tints += rect;
    EXPECT_TRUE((changed - tints).isEmpty()) << "only behind the words";
    long damaged = 0;
    for (const QRect& r : leftDamage)
        damaged += static_cast<long>(r.width()) * r.height();
    EXPECT_LT(damaged, fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").width() *
                           fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").height() / 3);

    Flush();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"), Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_FALSE(fbwtest::Twists(*book).ShowTwists());
    EXPECT_EQ(Setting("Book", "ShowTwists"), "0");
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), plain);
    EXPECT_TRUE((changed - leftDamage).isEmpty());

    // A new window takes the kept choice.
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"), Qt::LeftButton);
    book.reset();
    book = std::make_unique<TFormBook>(generator(), *game->Library());
    book->ShowError = [this](const std::string& m) { errors.push_back(m); };
    EXPECT_TRUE(fbwtest::Twists(*book).ShowTwists());
    EXPECT_TRUE(errors.empty());
}

TEST_F(TwistsTest, NothingToShowAtTwistNone) {
    OpenStory(2, 0);
    EXPECT_TRUE(fbwtest::Twists(*book).Twists().Empty());
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isEnabled());
    const QImage plain = book->Painter().PagePicture(TPagePainter::Side::Left);
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"), Qt::LeftButton);
    EXPECT_FALSE(fbwtest::Twists(*book).ShowTwists());
    fbwtest::Twists(*book).SetShowTwists(true);
    EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), plain);
    EXPECT_TRUE(TwistRects(true).empty());
    // A saved story read back has none either.
    book->SetStory(JoinStoryLines(generator().GenerateStory(2)) + " ");
    EXPECT_TRUE(fbwtest::Twists(*book).Twists().Empty());
}

TEST_F(TwistsTest, TooltipTellsWhatTheTaleHad) {
    OpenStory(2);
    fbwtest::Twists(*book).SetShowTwists(true);
    const auto& rects = TwistRects(true);
    ASSERT_FALSE(rects.empty());
    const auto& [rect, span] = rects.front();
    QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), rect.center());
    const std::string was = fbwtest::Twists(*book).Twists().Was(generator(), span);
    ASSERT_FALSE(was.empty());
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip(), ToQString("was: " + was));
    const TWordChoice& choice =
        generator().StoryChoices()
            [fbwtest::Twists(*book).Twists().Spans()[static_cast<std::size_t>(span)].Choice];
    EXPECT_EQ(was, choice.plain);
    QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), QPoint(2, 2)); // the margin
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip().isEmpty());
    // Hidden twists tell nothing.
    fbwtest::Twists(*book).SetShowTwists(false);
    QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), rect.center());
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip().isEmpty());
}

TEST_F(TwistsTest, ClickOnATintedWordSwapsItAndElsewhereTurns) {
    OpenStory(2);
    fbwtest::Twists(*book).SetShowTwists(true);
    const std::string before = book->StoryText();
    const auto rects = TwistRects(true);
    ASSERT_FALSE(rects.empty());
    const auto [rect, span] = rects.front();
    const TStoryTwists::Span old =
        fbwtest::Twists(*book).Twists().Spans()[static_cast<std::size_t>(span)];
    const std::string word = before.substr(static_cast<std::size_t>(old.Begin),
                                           static_cast<std::size_t>(old.End - old.Begin));
    WatchPaints();
    Flush();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), Qt::LeftButton, {},
                      rect.center());
    QCoreApplication::processEvents();
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_NE(book->StoryText(), before);
    EXPECT_EQ(book->StoryText(), GeneratorText());
    const TStoryTwists::Span now =
        fbwtest::Twists(*book).Twists().Spans()[static_cast<std::size_t>(span)];
    EXPECT_EQ(now.Begin, old.Begin);
    EXPECT_NE(book->StoryText().substr(static_cast<std::size_t>(now.Begin),
                                       static_cast<std::size_t>(now.End - now.Begin)),
              word);
    EXPECT_FALSE(leftDamage.isEmpty());
    EXPECT_FALSE(leftDamage.contains(QPoint(2, 2))) << "the margin, where nothing changed, stays";
    // Swapping every tinted word of the spread in turn (the title's among
    // them) draws only the changed rows, yet the pages stand as drawn whole.
    for (const bool left : {true, false})
        for (std::size_t i = 0; i < TwistRects(left).size(); ++i) {
            const auto spans = TwistRects(left);
            if (i >= spans.size() || book->CurrentPage() != 1)
                break;
            fbwtest::Twists(*book).SwapTwist(spans[i].second);
            const QImage swapped[2] = {book->Painter().PagePicture(TPagePainter::Side::Left),
                                       book->Painter().PagePicture(TPagePainter::Side::Right)};
            book->ShowPages(book->CurrentPage());
            EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Left), swapped[0]);
            EXPECT_EQ(book->Painter().PagePicture(TPagePainter::Side::Right), swapped[1]);
        }
    ASSERT_EQ(book->CurrentPage(), 1);

    // Elsewhere on the right page the page turns as before.
    QPoint empty(fbwtest::Child<TPaintBox>(*book, "pbxRightPage").width() - 3,
                 fbwtest::Child<TPaintBox>(*book, "pbxRightPage").height() - 3);
    for (const auto& [r, s] : TwistRects(false))
        ASSERT_FALSE(r.contains(empty));
    const std::string text = book->StoryText();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {}, empty);
    EXPECT_EQ(book->CurrentPage(), 3);
    EXPECT_EQ(book->StoryText(), text);
    // With the twists hidden, a click on a word turns too.
    fbwtest::Twists(*book).SetShowTwists(false);
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), Qt::LeftButton, {},
                      rect.center());
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(book->StoryText(), text);
}

TEST_F(TwistsTest, SwapShowsTheSpreadOfTheWordAndCommandsUseTheNewText) {
    OpenStory(6);
    fbwtest::Twists(*book).SetShowTwists(true);
    ASSERT_GE(book->Book().PageCount(), 4);
    // A span on a later spread.
    int far = -1;
    for (std::size_t i = 0; i < fbwtest::Twists(*book).Twists().Spans().size(); ++i)
        if (TStoryTwists::PageOf(book->Book(), fbwtest::Twists(*book).Twists().Spans()[i].Begin) >=
            4) {
            far = static_cast<int>(i);
            break;
        }
    ASSERT_GE(far, 0);
    fbwtest::Twists(*book).SwapTwist(far);
    const int page = TStoryTwists::PageOf(
        book->Book(), fbwtest::Twists(*book).Twists().Spans()[static_cast<std::size_t>(far)].Begin);
    EXPECT_EQ(book->CurrentPage(), page % 2 == 1 ? page : page - 1);
    EXPECT_EQ(book->StoryText(), GeneratorText());

    book->ShowPages(1 | book->Book().PageCount());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdCopy"), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), ToQString(MakeExportText(book->StoryText())));
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    std::string bytes;
    ASSERT_TRUE(plat::ReadWholeFile(book->SavedStoryPath(), bytes));
    EXPECT_EQ(bytes, MakeSavedStoryFile(book->StoryText()));
}

} // namespace

// A swap on the spread shown tells screen readers of each page whose text
// changed, once, with the page's new text.
TEST_F(TwistsTest, ASwapOnTheSpreadShownTellsReadersOfEachChangedPage) {
    OpenStory(2);
    fbwtest::Twists(*book).SetShowTwists(true);
    const auto rects = TwistRects(true);
    ASSERT_FALSE(rects.empty());
    const auto pageText = [&](int page) {
        return TPageText(book->Book(), page, book->StoryText().c_str()).Text();
    };
    const std::string left = pageText(1), right = pageText(2);
    std::vector<std::pair<QObject*, QString>> told;
    book->Access().TellReaders = [&](QAccessibleEvent& e) {
        if (e.type() == QAccessible::TextUpdated)
            told.emplace_back(e.object(),
                              static_cast<QAccessibleTextUpdateEvent&>(e).textInserted());
    };
    book->ShowPages(1); // the reader hears the spread as it is
    told.clear();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), Qt::LeftButton, {},
                      rects.front().first.center());
    ASSERT_TRUE(errors.empty()) << errors[0];
    ASSERT_EQ(book->CurrentPage(), 1);
    std::vector<std::pair<QObject*, QString>> expected;
    if (pageText(1) != left)
        expected.emplace_back(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"),
                              ToQString(pageText(1)));
    if (pageText(2) != right)
        expected.emplace_back(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"),
                              ToQString(pageText(2)));
    ASSERT_FALSE(expected.empty()) << "the swapped word is on the left page";
    EXPECT_EQ(told, expected);
}

// A story read back, with the twists shown: no tint, no "was:", no swap; the
// toggle stands disabled and says why, and a click on a word turns the page.
TEST_F(TwistsTest, AStoryReadBackHasNoTwists) {
    OpenStory(2);
    fbwtest::Twists(*book).SetShowTwists(true);
    const auto rects = TwistRects(true);
    ASSERT_FALSE(rects.empty());
    book->ShowPages(1 | book->Book().PageCount());
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    ASSERT_TRUE(errors.empty()) << errors[0];
    Show(); // the book opened again: "Read saved story" is offered
    const std::string saved = book->StoryText();
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
    ASSERT_EQ(book->CurrentPage(), 1);
    EXPECT_TRUE(fbwtest::Twists(*book).Twists().Empty());
    EXPECT_TRUE(TwistRects(true).empty());
    const QRgb tint = 0xFF000000u | TStoryTwists::kColour;
    const QImage page = book->Painter().PagePicture(TPagePainter::Side::Left);
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            ASSERT_NE(page.pixel(x, y), tint) << x << "," << y;
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isEnabled());
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").toolTip(),
              "This story was read from a file");
    QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"),
                     rects.front().first.center());
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip().isEmpty());
    const std::string text = book->StoryText();
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                      rects.front().first.center());
    EXPECT_EQ(book->CurrentPage(), 3) << "the click turns the page";
    EXPECT_EQ(book->StoryText(), text) << "nothing was swapped";
}
