// The storybook's features together: every choice of letters, the twists
// shown or hidden, a generated or a read-back story, the scene's sound on or
// off, the window at its smallest and maximised on a full-HD screen (a
// second run shows it all at 200 %). Each case reads a few words, pauses, swaps a word (where the
// story has twists to swap), turns, reads on, stops and closes, and after each step checks what
// must hold whatever the features: a clipped repaint and the pictures as repainted equal whole
// drawings; the tint stands only on a generated story's swapped words; screen readers find the
// pages' lines and are told of each change once; Tab reaches every control shown; and no sound
// plays after the reading stops or the book closes. Opened, the spread's controls show at the
// window's scale and its lines hold a comfortable number of characters.
//
// A new feature of the storybook adds its own dimension here.
#include <QAccessible>

#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "BookFixture.h"
#include "book/StoryOrigin.h"
#include "book/StoryTwists.h"
#include "book/forms/KeepsakesPart.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/qt/Latin1.h"
#include "reading/SpokenStory.h"
#include "support/BookParts.h"

namespace {

enum class Letters { Classic, EasyRead, EasyReadBigger };
enum class Story { Generated, ReadBack, TalkingBook };
enum class Sound { On, MutedScene };
enum class Size { Smallest, FullHd };
using Case = std::tuple<Letters, bool /* twists shown */, Story, Sound, Size>;

class BookGridTest : public BookFixture, public ::testing::WithParamInterface<Case> {
protected:
    BookGridTest() : BookFixture(Voice::Test) {}

    Letters letters() const { return std::get<0>(GetParam()); }
    bool twistsShown() const { return std::get<1>(GetParam()); }
    bool generated() const { return std::get<2>(GetParam()) == Story::Generated; }
    bool fullHd() const { return std::get<4>(GetParam()) == Size::FullHd; }
    bool talkingBook() const { return std::get<2>(GetParam()) == Story::TalkingBook; }

    // The case's book on its first story spread.
    void OpenCase() {
        fbwtest::Letters(*book).ScreenArea = [] { return QRect(0, 0, 1600, 1200); };
        // A reader listens from the start: while none listens the window
        // keeps no record of what readers were told.
        book->Access().TellReaders = [this](QAccessibleEvent& e) {
            if (e.type() == QAccessible::TextUpdated)
                told.emplace_back(e.object(),
                                  static_cast<QAccessibleTextUpdateEvent&>(e).textInserted());
        };
        SetSoundOn(std::get<3>(GetParam()) == Sound::On);
        generator().SetTwistLevel(100);
        fbwtest::Twists(*book).SetShowTwists(twistsShown());
        Open(2);
        using Face = TBookLetters::Face;
        book->LettersPart().SetLetters(
            letters() == Letters::Classic
                ? TBookLetters{}
                : TBookLetters{Face::EasyRead, letters() == Letters::EasyReadBigger});
        QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdNewStory"), Qt::LeftButton);
        if (talkingBook()) {
            // Its talking book made, then opened as "My stories" opens it.
            if (!plat::CreateMp3Encoder() || !plat::CreateMp3Decoder())
                GTEST_SKIP() << "built without libmp3lame or libmpg123";
            book->ShowPages(book->Book().PageCount() | 1);
            fbwtest::Keepsakes(*book).MakeVoice = [] {
                return std::make_unique<fbwtest::NullSpeechSynth>();
            };
            fbwtest::MessageCapture offer(plat::MsgAnswer::No);
            QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdTalkingBook"),
                              Qt::LeftButton);
            fbwtest::Keepsakes(*book).FinishTalkingBook();
            for (const auto& e : std::filesystem::directory_iterator(book->StoriesFolder))
                book->ReadStoryFile(2, e.path().string());
            ASSERT_EQ(book->Origin().kind, TStoryOrigin::Kind::TalkingBook);
        } else if (!generated()) {
            book->ShowPages(book->Book().PageCount() | 1);
            QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdSave"), Qt::LeftButton);
            Show(); // opened again: "Read saved story" is offered
            QTest::mouseClick(&fbwtest::Child<QPushButton>(*book, "cmdReadSaved"), Qt::LeftButton);
        }
        ASSERT_TRUE(errors.empty()) << errors[0];
        if (fullHd())
            book->resize(1920, 1080);
        ASSERT_EQ(book->CurrentPage(), 1);
        ASSERT_GE(book->Book().PageCount(), 4) << "a story of several spreads";
        ExpectComfortableSpread();
    }

    // The painted controls show at the window's scale, and the story's
    // lines (those a paragraph goes on from) hold the letters' band of
    // characters where the page is wide enough for it at the size chosen.
    void ExpectComfortableSpread() {
        const int scale = fullHd() ? 2 : 1;
        EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").size(), QSize(50, 25) * scale);
        EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").height(), 18 * scale);
        std::vector<int> lengths;
        for (int page = 1; page <= book->Book().PageCount(); ++page) {
            const TPage& p = *book->Book().Page(page);
            for (int l = p.TitleLines + 1; l < p.LineCount(); ++l)
                if (p.Line(l)->Length > 0 &&
                    p.Line(l + 1)->Offset == p.Line(l)->Offset + p.Line(l)->Length + 1)
                    lengths.push_back(p.Line(l)->Length);
        }
        ASSERT_FALSE(lengths.empty());
        std::sort(lengths.begin(), lengths.end());
        const TBookLetters::LineBand band = book->LettersPart().Letters().ScreenBand();
        EXPECT_LE(lengths.back(), band.most);
        if (fullHd())
            EXPECT_GE(lengths[lengths.size() / 2], band.fewest) << "the median line";
    }

    // Runs one step, then checks the invariants of a book shown.
    void Step(const char* name, const std::function<void()>& act) {
        SCOPED_TRACE(name);
        const QString before[2] = {ReaderText(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")),
                                   ReaderText(fbwtest::Child<TPaintBox>(*book, "pbxRightPage"))};
        told.clear();
        act();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(errors.empty()) << errors[0];
        ExpectReadersTold(before);
        for (const TPagePainter::Side side : {TPagePainter::Side::Left, TPagePainter::Side::Right})
            ExpectRepaintsAgree(side);
        ExpectTintsOnSpansOnly();
        ExpectTabReachesEveryControl();
    }

    // "Read to me" pressed; the voice's clock moved on until some of the
    // sentence's words have been lit in turn.
    void ReadSomeWords() {
        ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isVisible());
        ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isEnabled());
        QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"), Qt::LeftButton);
        ASSERT_TRUE(book->Reader().Reading());
        ASSERT_NE(device->Playing(), nullptr) << "the voice plays, also while the scene is quiet";
        const TSentence& s = book->Reader()
                                 .Sentences()
                                 .Items[static_cast<std::size_t>(book->Reader().CurrentSentence())];
        ASSERT_FALSE(s.Words.empty());
        // A talking book's first sentence has the book's lead-in before it.
        const uint32_t lead =
            talkingBook() && book->Reader().CurrentSentence() == 0 ? TSpokenStory::kLeadMs : 0;
        for (std::size_t w = 0; w < std::min<std::size_t>(3, s.Words.size()); ++w) {
            device->Controls().position = {
                plat::WavePosition::Unit::Milliseconds,
                lead + fbwtest::NullSpeechSynth::MsAt(
                           static_cast<std::size_t>(s.Words[w].Begin - s.Begin))};
            fbwtest::ReadToMe(*book).tmrReadAlongTimer();
            ASSERT_EQ(book->Reader().LitWord(), static_cast<int>(w));
        }
    }

    // Nothing plays or waits to play, also once the device's late messages
    // have been delivered.
    void ExpectSilent() {
        device->DeliverMessages();
        EXPECT_FALSE(book->Reader().Reading());
        EXPECT_EQ(device->Playing(), nullptr);
        EXPECT_EQ(device->OpenDevices(), 0);
        for (const auto& d : device->Devices())
            EXPECT_TRUE(d->queue.empty()) << "device " << d->id;
    }

    // The page shown on Side.
    int PageOn(TPagePainter::Side side) const {
        return book->CurrentPage() + (side == TPagePainter::Side::Left ? 0 : 1);
    }
    // Page Page's lines as laid out, joined by "\n"; empty for none.
    QString Lines(int page) const {
        QString s;
        if (const TPage* p = book->Book().Page(page))
            for (int l = 1; l <= p->LineCount(); ++l)
                s += (l > 1 ? "\n" : "") + ToQString(p->LineText(book->StoryText().c_str(), l));
        return s;
    }

    // Screen readers find each page's lines, and were told once of each page
    // whose text changed, with its new text; of no other.
    void ExpectReadersTold(const QString (&before)[2]) {
        TPaintBox* areas[2] = {&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"),
                               &fbwtest::Child<TPaintBox>(*book, "pbxRightPage")};
        for (int i = 0; i < 2; ++i) {
            const QString now = ReaderText(*areas[i]);
            EXPECT_EQ(now, Lines(book->CurrentPage() + i)) << "area " << i;
            std::vector<QString> events;
            for (const auto& [object, text] : told)
                if (object == areas[i])
                    events.push_back(text);
            EXPECT_EQ(events, now != before[i] ? std::vector<QString>{now} : std::vector<QString>{})
                << "area " << i;
        }
    }

    // Side's picture as repainted, and a clipped repaint of a rectangle that
    // cuts through lines and words, give the pixels of a whole drawing.
    void ExpectRepaintsAgree(TPagePainter::Side side) {
        const int page = PageOn(side);
        EXPECT_TRUE(WholeDrawingAgrees(*book, side, page)) << "the picture as repainted";
        const QImage whole = book->Painter().PagePicture(side);
        const QSize size = whole.size() / whole.devicePixelRatio();
        book->Painter().RedrawPart(side, page, book->StoryText().c_str(),
                                   QRect(size.width() / 3 + 1, size.height() / 5 + 3,
                                         size.width() / 3, size.height() / 3));
        EXPECT_EQ(book->Painter().PagePicture(side), whole) << "a clipped repaint";
    }

    // Tinted pixels lie only inside the rectangles of the twists' spans, and
    // those exist only on a generated story with the twists shown.
    void ExpectTintsOnSpansOnly() {
        const QRgb tint = 0xFF000000u | TStoryTwists::kColour;
        const auto& spans = fbwtest::Twists(*book).Twists().Spans();
        for (const bool left : {true, false}) {
            const auto& rects = TwistRects(left);
            QRegion where;
            for (const auto& [rect, span] : rects) {
                where += rect;
                EXPECT_TRUE(span >= 0 && span < static_cast<int>(spans.size())) << span;
            }
            if (!generated() || !twistsShown()) {
                EXPECT_TRUE(rects.empty()) << (left ? "left" : "right");
            }
            const QImage page = book->Painter().PagePicture(left ? TPagePainter::Side::Left
                                                                 : TPagePainter::Side::Right);
            int tinted = 0, astray = 0;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (page.pixel(x, y) == tint) {
                        ++tinted;
                        astray += !where.contains(QPoint(x, y));
                    }
            EXPECT_EQ(astray, 0) << (left ? "left" : "right");
            // The read highlight may cover a tint; with nothing lit, each
            // spread with swapped words shows some.
            if (!rects.empty() && book->Reader().State() == TReadState::Idle) {
                EXPECT_GT(tinted, 0) << (left ? "left" : "right");
            }
        }
    }

    // Walking the focus chain with Tab from where the focus is reaches every
    // visible, enabled control that takes the focus by Tab.
    void ExpectTabReachesEveryControl() {
        std::set<QWidget*> controls;
        for (QWidget* w : book->findChildren<QWidget*>())
            if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus))
                controls.insert(w);
        QWidget* start = QApplication::focusWidget();
        const std::vector<QWidget*> walk = TabWalk(static_cast<int>(controls.size()) * 2 + 2);
        for (QWidget* w : controls)
            EXPECT_NE(std::find(walk.begin(), walk.end(), w), walk.end())
                << w->objectName().toStdString() << " not in " << Names(walk);
        if (start)
            start->setFocus(Qt::TabFocusReason);
    }

    std::vector<std::pair<QObject*, QString>> told; // text-changed events: area, new text
};

TEST_P(BookGridTest, ReadPauseSwapTurnReadOnStopAndClose) {
    OpenCase();
    if (IsSkipped())
        return;
    ASSERT_FALSE(HasFatalFailure());
    Step("read", [&] { ReadSomeWords(); });
    Step("pause", [&] {
        QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"), Qt::LeftButton);
        EXPECT_EQ(book->Reader().State(), TReadState::Paused);
        EXPECT_EQ(device->Playing(), nullptr);
    });
    TTwistsPart& twists = fbwtest::Twists(*book);
    if (generated() && twistsShown())
        Step("swap", [&] {
            const bool left = !TwistRects(true).empty();
            const auto rects = TwistRects(left);
            ASSERT_FALSE(rects.empty())
                << "a story at full twist has a swapped word on its first spread";
            TPaintBox& area = left ? fbwtest::Child<TPaintBox>(*book, "pbxLeftPage")
                                   : fbwtest::Child<TPaintBox>(*book, "pbxRightPage");
            // A word amid the page. (The move is sent to the page: the test
            // screen is smaller than a full-HD window at 200 %.)
            const QPoint at = rects[rects.size() / 2].first.center();
            QMouseEvent move(QEvent::MouseMove, QPointF(at), area.mapToGlobal(QPointF(at)),
                             Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(&area, &move);
            EXPECT_TRUE(area.toolTip().startsWith("was: ")) << area.toolTip().toStdString();
            const std::string text = book->StoryText();
            QTest::mouseClick(&area, Qt::LeftButton, {}, at);
            EXPECT_NE(book->StoryText(), text);
            EXPECT_EQ(book->CurrentPage(), 1);
        });
    else
        Step("no swap", [&] {
            EXPECT_EQ(twists.Twists().Empty(), !generated());
            EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxShowTwists").isEnabled(), generated())
                << "read back: disabled";
            // Over a word of the story: no "was:".
            const TPage& page = *book->Book().Page(1);
            int line = page.TitleLines + 1;
            while (line < page.LineCount() && page.Line(line)->Length == 0)
                ++line;
            const QRect word = book->Access().ShownLinePart(
                fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), line, 0, 2);
            ASSERT_FALSE(word.isEmpty());
            QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), QPoint(1, 1));
            QTest::mouseMove(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), word.center());
            EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip().isEmpty())
                << fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").toolTip().toStdString();
        });
    Step("turn", [&] {
        fbwtest::Child<QPushButton>(*book, "cmdNextPage").click();
        EXPECT_EQ(book->CurrentPage(), 3);
        EXPECT_FALSE(book->Reader().Reading()) << "a paused reading ends at a turn";
    });
    Step("read on", [&] {
        ReadSomeWords();
        EXPECT_LE(book->Reader().Sentences().FirstPage(book->Reader().CurrentSentence()), 4);
    });
    Step("stop", [&] {
        fbwtest::ReadToMe(*book).Stop();
        ExpectSilent();
    });
    ReadSomeWords();
    QTest::keyClick(book.get(), Qt::Key_Escape);
    EXPECT_FALSE(book->isVisible()) << "closed";
    ExpectSilent();
}

std::string Describe(const Case& c) {
    const auto [letters, twists, story, sound, size] = c;
    static const char* const faces[] = {"Classic", "EasyRead", "EasyReadBigger"};
    return std::string(faces[static_cast<int>(letters)]) +
           (twists ? "_TwistsShown" : "_TwistsHidden") +
           (story == Story::Generated  ? "_Generated"
            : story == Story::ReadBack ? "_ReadBack"
                                       : "_TalkingBook") +
           (sound == Sound::On ? "_SoundOn" : "_SceneMuted") +
           (size == Size::FullHd ? "_1920x1080" : "_592x418");
}
// For GoogleTest's listing and messages.
[[maybe_unused]] void PrintTo(const Case& c, std::ostream* out) {
    *out << Describe(c);
}

INSTANTIATE_TEST_SUITE_P(
    Features, BookGridTest,
    ::testing::Combine(::testing::Values(Letters::Classic, Letters::EasyRead,
                                         Letters::EasyReadBigger),
                       ::testing::Bool(),
                       ::testing::Values(Story::Generated, Story::ReadBack, Story::TalkingBook),
                       ::testing::Values(Sound::On, Sound::MutedScene),
                       ::testing::Values(Size::Smallest, Size::FullHd)),
    [](const ::testing::TestParamInfo<Case>& info) { return Describe(info.param); });

} // namespace
