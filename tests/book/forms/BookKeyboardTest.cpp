// The storybook by keyboard: the Tab walk over the cover in reading order and
// over a story spread, the twist words' stop (Left and Right move it, Enter
// and Space swap), where the focus goes after a new or read-back story, the
// focus ring's pixels on every kind of control, and the twist level as one
// radio choice for screen readers. "Read to me" speaks through the test
// wave-out device and the test synthesizer.
#include <QAccessible>

#include <filesystem>

#include "BookFixture.h"
#include "book/FocusRing.h"
#include "book/StoryTwists.h"
#include "platform/Files.h"
#include "sound/AppSound.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/TestWaveOutService.h"

namespace {

constexpr QRgb kInk = 0xFF000000u | TBook::kInk;

class BookKeyboardTest : public BookFixture {
protected:
    BookKeyboardTest() : BookFixture(Voice::Test) {}
    void Key(int key) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, Qt::Key(key));
    }
    // Whether the twist words' Tab stop (the word with the focus) stands on
    // the left page area: the area that holds it takes the focus by Tab, the
    // other none.
    bool StopOnLeft() const {
        return fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").focusPolicy() & Qt::TabFocus;
    }
    // The window as shown.
    QImage Window() { return book->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Checks that what changed between Before and After is a ring in the
    // ink: every changed pixel (but those inside Keep) in the ink and within
    // Outer, none inside Inner but Keep, and some on each of Outer's sides.
    static void ExpectRing(const QImage& before, const QImage& after, const QRect& outer,
                           const QRect& inner, const QRect& keep, const std::string& what) {
        const QRegion changed = Changed(before, after) - QRegion(keep);
        ASSERT_FALSE(changed.isEmpty()) << what << ": nothing shows the focus";
        EXPECT_TRUE((changed - QRegion(outer)).isEmpty()) << what << ": changed beyond the ring";
        EXPECT_TRUE((changed & QRegion(inner)).isEmpty()) << what << ": changed inside the ring";
        for (const QRect& r : changed)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x)
                    ASSERT_EQ(after.pixel(x, y), kInk) << what << " at " << x << "," << y;
        const int w = TFocusRing::kWidth;
        for (const QRect& side : {QRect(outer.left(), outer.top(), outer.width(), w),
                                  QRect(outer.left(), outer.bottom() - w + 1, outer.width(), w),
                                  QRect(outer.left(), outer.top(), w, outer.height()),
                                  QRect(outer.right() - w + 1, outer.top(), w, outer.height())})
            EXPECT_FALSE((changed & QRegion(side)).isEmpty()) << what << ": a side has no ring";
    }
    static QRect Box(const QWidget& w) {
        return QRect(w.mapTo(w.window(), QPoint(0, 0)), w.size());
    }
    static QRect Around(const QRect& box) {
        const int out = TFocusRing::kGap + TFocusRing::kWidth;
        return box.adjusted(-out, -out, out, out);
    }
    // Opens tale Tale at full twist with the twists shown, on its first spread.
    void OpenTwisted(int tale) {
        generator().SetTwistLevel(100);
        fbwtest::Twists(*book).SetShowTwists(true);
        Open(tale);
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
        ASSERT_EQ(book->CurrentPage(), 1);
    }
};

} // namespace

TEST_F(BookKeyboardTest, TabWalksTheCoverTopToBottomAndAStorySpreadInReadingOrder) {
    book->TaleNumber = 3; // a hero and a heroine
    std::filesystem::create_directories(book->StoriesFolder);
    ASSERT_TRUE(plat::WriteFileAtomic(book->SavedStoryPath(), "Saved\r\n\r\nA story.\r\n"));
    Open(3);
    ASSERT_TRUE(fbwtest::Child<QFrame>(*book, "pnlHero").isVisible() &&
                fbwtest::Child<QFrame>(*book, "pnlHeroine").isVisible());
    ASSERT_TRUE(fbwtest::Child<QPushButton>(*book, "cmdReadSaved").isVisible());
    book->setFocus();
    // The cover's choices are one stop each, on the button that is down.
    const std::vector<QWidget*> cover = {&fbwtest::Child<QToolButton>(*book, "sbClassicLetters"),
                                         &fbwtest::Child<QToolButton>(*book, "sbBigLetters"),
                                         &fbwtest::Child<QToolButton>(*book, "sbFull"),
                                         &fbwtest::Child<QLineEdit>(*book, "txtHeroine"),
                                         &fbwtest::Child<QLineEdit>(*book, "txtHero"),
                                         &fbwtest::Child<QPushButton>(*book, "cmdNewStory"),
                                         &fbwtest::Child<QPushButton>(*book, "cmdReadSaved")};
    for (std::size_t i = 1; i < cover.size(); ++i)
        ASSERT_LE(Box(*cover[i - 1]).top(), Box(*cover[i]).top()) << "top to bottom";
    std::vector<QWidget*> walk = TabWalk(static_cast<int>(cover.size()) * 2);
    const auto start = std::find(walk.begin(), walk.end(), cover.front());
    ASSERT_NE(start, walk.end()) << Names(walk);
    EXPECT_EQ(std::vector<QWidget*>(start, start + static_cast<long>(cover.size())), cover)
        << Names(walk);
    // The letters' other face is chosen by the arrow keys from its stop.
    fbwtest::Child<QToolButton>(*book, "sbClassicLetters").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Right);
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbEasyLetters").isChecked());
    EXPECT_EQ(TabWalk(1).front(), &fbwtest::Child<QToolButton>(*book, "sbBigLetters"));
    walk = TabWalk(static_cast<int>(cover.size()));
    EXPECT_NE(
        std::find(walk.begin(), walk.end(), &fbwtest::Child<QToolButton>(*book, "sbEasyLetters")),
        walk.end())
        << "the stop follows the choice: " << Names(walk);

    // A story spread with twist words: the page holding them, then the
    // controls at the foot.
    generator().SetTwistLevel(100);
    fbwtest::Twists(*book).SetShowTwists(true);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    ASSERT_EQ(book->CurrentPage(), 1);
    ASSERT_GE(fbwtest::Twists(*book).FocusWord(), 0);
    QWidget* words = StopOnLeft()
                         ? static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"))
                         : &fbwtest::Child<TPaintBox>(*book, "pbxRightPage");
    const std::vector<QWidget*> story = {words, &fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"),
                                         &fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"),
                                         &fbwtest::Child<TPaintBox>(*book, "pbxReadPace")};
    walk = TabWalk(8);
    const auto page = std::find(walk.begin(), walk.end(), words);
    ASSERT_LE(page + 4, walk.end()) << Names(walk);
    EXPECT_EQ(std::vector<QWidget*>(page, page + 4), story) << Names(walk);

    // The commands spread: its buttons before the foot's controls.
    book->ShowPages(book->Book().PageCount() | 1);
    book->setFocus();
    walk = TabWalk(7);
    const std::vector<QWidget*> commands = {&fbwtest::Child<QPushButton>(*book, "cmdPrint"),
                                            &fbwtest::Child<QPushButton>(*book, "cmdSave"),
                                            &fbwtest::Child<QPushButton>(*book, "cmdCopy"),
                                            &fbwtest::Child<QPushButton>(*book, "cmdPictureBook")};
    const auto print =
        std::find(walk.begin(), walk.end(), &fbwtest::Child<QPushButton>(*book, "cmdPrint"));
    ASSERT_LE(print + 4, walk.end()) << Names(walk);
    EXPECT_EQ(std::vector<QWidget*>(print, print + 4), commands) << Names(walk);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookKeyboardTest, ArrowsChooseThePaceAndTurnPagesWhereNoControlUsesThem) {
    OpenWith(4, Story(500));
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    TReadToMePart& r = fbwtest::ReadToMe(*book);
    ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadPace").isVisible());
    fbwtest::Child<TPaintBox>(*book, "pbxReadPace").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Left);
    EXPECT_EQ(r.ReadingPace(), TReadingPace::Pace::Slow);
    Key(Qt::Key_Up);
    EXPECT_EQ(r.ReadingPace(), TReadingPace::Pace::Slow) << "none slower";
    Key(Qt::Key_Right);
    Key(Qt::Key_Down);
    EXPECT_EQ(r.ReadingPace(), TReadingPace::Pace::Quick);
    EXPECT_EQ(book->CurrentPage(), 1) << "the pace's arrows turn nothing";
    // "Read to me" and "Show the twists" leave the arrows to the pages.
    for (QWidget* w : {static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe")),
                       static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"))}) {
        w->setFocus(Qt::TabFocusReason);
        const int page = book->CurrentPage();
        Key(Qt::Key_Right);
        EXPECT_EQ(book->CurrentPage(), page + 2) << w->objectName().toStdString();
        Key(Qt::Key_Left);
        EXPECT_EQ(book->CurrentPage(), page) << w->objectName().toStdString();
    }
    // Turned by the keys from a page onto the commands spread, the blank
    // page keeps no focus (nor its ring), and the keys still turn back.
    fbwtest::Child<TPaintBox>(*book, "pbxRightPage").setFocus(Qt::TabFocusReason);
    for (int turns = 0; turns < 40 && !fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible();
         ++turns)
        Key(Qt::Key_Right);
    ASSERT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisible());
    for (const char* page : {"pbxLeftPage", "pbxRightPage"}) {
        const TPaintBox& area = fbwtest::Child<TPaintBox>(*book, page);
        EXPECT_TRUE(area.focusPolicy() != Qt::NoFocus || !area.hasFocus()) << page;
    }
    const int last = book->CurrentPage();
    Key(Qt::Key_Left);
    EXPECT_LT(book->CurrentPage(), last);
    book->ShowPages(1);
    fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Space);
    EXPECT_TRUE(book->Reader().Reading()) << "Space presses it";
    Key(Qt::Key_Return);
    EXPECT_FALSE(book->Reader().State() == TReadState::Speaking) << "Enter pauses";
}

TEST_F(BookKeyboardTest, TwistWordsAreOneStopThatArrowsMoveAndEnterSwaps) {
    OpenTwisted(2);
    TTwistsPart& t = fbwtest::Twists(*book);
    // Tab to the stop.
    book->setFocus();
    TabWalk(1);
    QWidget* page = QApplication::focusWidget();
    ASSERT_TRUE(page == &fbwtest::Child<TPaintBox>(*book, "pbxLeftPage") ||
                page == &fbwtest::Child<TPaintBox>(*book, "pbxRightPage"))
        << Names({page});
    const int first = t.FocusWord();
    ASSERT_GE(first, 0);
    const auto side = [&] {
        return StopOnLeft() ? TPagePainter::Side::Left : TPagePainter::Side::Right;
    };
    // Left on the first word stays there; the page does not turn.
    Key(Qt::Key_Left);
    EXPECT_EQ(t.FocusWord(), first);
    EXPECT_EQ(book->CurrentPage(), 1);
    const QImage before = book->Painter().PagePicture(side());
    // Screen readers find the word with the focus selected on its page.
    std::vector<std::pair<QObject*, QString>> selected;
    book->Access().TellReaders = [&](QAccessibleEvent& e) {
        if (e.type() != QAccessible::TextSelectionChanged)
            return;
        auto& s = static_cast<QAccessibleTextSelectionEvent&>(e);
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(e.object())->textInterface();
        selected.emplace_back(e.object(), text->text(s.selectionStart(), s.selectionEnd()));
    };
    Key(Qt::Key_Right);
    const int second = t.FocusWord();
    ASSERT_NE(second, first) << "a story at full twist has two swapped words on its first spread";
    EXPECT_NE(book->Painter().PagePicture(side()), before) << "the ring moved";
    const TStoryTwists::Span now = t.Twists().Spans()[static_cast<std::size_t>(second)];
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].first, QApplication::focusWidget());
    EXPECT_EQ(
        selected[0].second.simplified(),
        QString::fromLatin1(book->StoryText().substr(static_cast<std::size_t>(now.Begin),
                                                     static_cast<std::size_t>(now.End - now.Begin)))
            .simplified());
    QAccessibleTextInterface* pageText =
        QAccessible::queryAccessibleInterface(QApplication::focusWidget())->textInterface();
    EXPECT_EQ(pageText->selectionCount(), 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(t.FocusWord(), first);
    EXPECT_EQ(book->Painter().PagePicture(side()), before);

    // Enter swaps the word with the focus, as a click does; readers are told.
    std::vector<QObject*> told;
    book->Access().TellReaders = [&](QAccessibleEvent& e) {
        if (e.type() == QAccessible::TextUpdated)
            told.push_back(e.object());
    };
    book->ShowPages(1);
    told.clear();
    const std::string text = book->StoryText();
    const TStoryTwists::Span span = t.Twists().Spans()[static_cast<std::size_t>(first)];
    Key(Qt::Key_Return);
    ASSERT_TRUE(errors.empty()) << errors[0];
    EXPECT_NE(book->StoryText(), text);
    EXPECT_EQ(book->StoryText().substr(0, static_cast<std::size_t>(span.Begin)),
              text.substr(0, static_cast<std::size_t>(span.Begin)))
        << "the words before it stay";
    EXPECT_FALSE(told.empty()) << "a text-changed event";
    EXPECT_EQ(t.FocusWord(), first) << "the focus stays on the swapped word";
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").hasFocus() ||
                fbwtest::Child<TPaintBox>(*book, "pbxRightPage").hasFocus());
    const std::string swapped = book->StoryText();
    Key(Qt::Key_Space);
    EXPECT_NE(book->StoryText(), swapped) << "Space swaps too";
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookKeyboardTest, AfterANewOrReadBackStoryTheFocusIsOnTheStory) {
    Open(2);
    fbwtest::Child<QPushButton>(*book, "cmdNewStory").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Space);
    ASSERT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(QApplication::focusWidget(), &fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"));

    // Without a voice: the right page.
    book->ShowPages(book->Book().PageCount() | 1);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
    book->SetSpeechSynth(nullptr);
    Show();
    fbwtest::Child<QPushButton>(*book, "cmdReadSaved").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Space);
    ASSERT_EQ(book->CurrentPage(), 1);
    EXPECT_EQ(QApplication::focusWidget(), &fbwtest::Child<TPaintBox>(*book, "pbxRightPage"));
    Show();
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), &fbwtest::Child<TPaintBox>(*book, "pbxRightPage"));
    // Its keys turn the pages.
    Key(Qt::Key_Right);
    EXPECT_EQ(book->CurrentPage(), 3);
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookKeyboardTest, TheFocusRingIsInkAroundEveryKindOfControl) {
    Open(3);
    // The cover's widgets: a ring around the control, nothing changed inside
    // it (an edit box shows its text cursor).
    struct Case {
        QWidget* control;
        bool edit;
    };
    for (const Case& c : {Case{&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), false},
                          Case{&fbwtest::Child<QToolButton>(*book, "sbFull"), false},
                          Case{&fbwtest::Child<QToolButton>(*book, "sbBigLetters"), false},
                          Case{&fbwtest::Child<QLineEdit>(*book, "txtHero"), true}}) {
        book->setFocus();
        QCoreApplication::processEvents();
        const QImage before = Window();
        c.control->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        const QRect box = Box(*c.control);
        ExpectRing(before, Window(), Around(box), box, c.edit ? box : QRect(),
                   c.control->objectName().toStdString());
    }

    // The painted controls: the ring along the inside of their edge.
    generator().SetTwistLevel(100);
    QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
    for (QWidget* control :
         {static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe")),
          static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxReadPace")),
          static_cast<QWidget*>(&fbwtest::Child<TPaintBox>(*book, "pbxShowTwists"))}) {
        ASSERT_TRUE(control->isVisible()) << control->objectName().toStdString();
        book->setFocus();
        QCoreApplication::processEvents();
        const QImage before = Window();
        control->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        const QRect box = Box(*control);
        const int w = TFocusRing::kWidth;
        ExpectRing(before, Window(), box, box.adjusted(w, w, -w, -w), QRect(),
                   control->objectName().toStdString());
    }

    // The twist word with the focus: around its tint on the page.
    fbwtest::Twists(*book).SetShowTwists(true);
    book->setFocus();
    QCoreApplication::processEvents();
    TTwistsPart& t = fbwtest::Twists(*book);
    ASSERT_GE(t.FocusWord(), 0);
    const bool left = StopOnLeft();
    TPaintBox& area = left ? fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")
                           : fbwtest::Child<TPaintBox>(*book, "pbxRightPage");
    const auto side = left ? TPagePainter::Side::Left : TPagePainter::Side::Right;
    const QImage before = book->Painter().PagePicture(side);
    area.setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    const QImage after = book->Painter().PagePicture(side);
    QRect word;
    for (const auto& [rect, span] : TwistRects(left))
        if (span == t.FocusWord())
            word = rect;
    ASSERT_FALSE(word.isNull());
    // The text of the lines around stands over the ring: it may hide some.
    ExpectRing(before, after, Around(word), word, QRect(), "the twist word");
    EXPECT_EQ(Window().copy(Around(word).translated(area.pos())), after.copy(Around(word)))
        << "shown on the page";
    EXPECT_TRUE(errors.empty());
}

TEST_F(BookKeyboardTest, TheTwistLevelIsOneRadioChoiceForScreenReaders) {
    Open(2);
    QAccessibleInterface* group =
        QAccessible::queryAccessibleInterface(&fbwtest::Child<QFrame>(*book, "pnlTwist"));
    EXPECT_EQ(group->role(), QAccessible::Grouping);
    EXPECT_EQ(group->text(QAccessible::Name), "How much twist?");
    for (QToolButton* b : {&fbwtest::Child<QToolButton>(*book, "sbNone"),
                           &fbwtest::Child<QToolButton>(*book, "sbHalf"),
                           &fbwtest::Child<QToolButton>(*book, "sbFull")}) {
        QAccessibleInterface* radio = QAccessible::queryAccessibleInterface(b);
        EXPECT_EQ(radio->role(), QAccessible::RadioButton) << b->objectName().toStdString();
        EXPECT_EQ(radio->parent(), group) << "inside the grouping";
        EXPECT_EQ(radio->state().checked, b->isChecked());
        EXPECT_TRUE(radio->state().checkable);
        EXPECT_EQ(b->objectName().left(2), "sb") << "kept as they were";
    }
    // The arrow keys move the choice, as radio buttons do.
    ASSERT_TRUE(fbwtest::Child<QToolButton>(*book, "sbFull").isChecked());
    fbwtest::Child<QToolButton>(*book, "sbFull").setFocus(Qt::TabFocusReason);
    Key(Qt::Key_Left);
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbHalf").isChecked());
    EXPECT_TRUE(fbwtest::Child<QToolButton>(*book, "sbHalf").hasFocus());
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 1);
    Key(Qt::Key_Left);
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 0);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&fbwtest::Child<QToolButton>(*book, "sbNone"))
                    ->state()
                    .checked);
    // The toggle action chooses.
    QAccessibleInterface* full =
        QAccessible::queryAccessibleInterface(&fbwtest::Child<QToolButton>(*book, "sbFull"));
    ASSERT_NE(full->actionInterface(), nullptr);
    full->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(fbwtest::Cover(*book).TwistLevel(), 2);
    EXPECT_TRUE(errors.empty());
}
