// The storybook's "Read to me" button: where it is shown, reading from the
// spread shown with the lit lines on the page pictures, the pages turning
// by themselves, every player action that stops the voice, and the end of
// the story. The voice is the test synthesizer on the test wave-out device,
// played through the main window's wave manager.
#include <QTest>

#include <filesystem>
#include <memory>

#include "BookFixture.h"
#include "app/AppFixture.h"
#include "app/FormGame.h"
#include "book/BookFoot.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/KeepsakesPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "platform/Mp3Decoder.h"
#include "platform/Mp3Encoder.h"
#include "platform/PrivateProfile.h"
#include "reading/ReadHighlight.h"
#include "reading/SpokenStory.h"
#include "shelf/forms/FormShelf.h"
#include "shelf/forms/ShelfModel.h"
#include "sound/AppSound.h"
#include "story/Generate.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/SpokenText.h"
#include "support/TestSupport.h"
#include "support/TestWaveOutService.h"

namespace {

// Pixels of Image in the pale highlight colour.
int LitPixels(const QImage& image) {
    const QRgb lit = 0xFF000000u | TReadHighlight::kColour;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == lit;
    return n;
}

// The rows of Image that hold a lit pixel: the first and one past the last.
std::pair<int, int> LitRows(const QImage& image) {
    const QRgb lit = 0xFF000000u | TReadHighlight::kColour;
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == lit) {
                if (first < 0)
                    first = y;
                last = y + 1;
                break;
            }
    return {first, last};
}

class ReadToMeFormTest : public AppFixture {
protected:
    void SetUp() override {
        AppFixture::SetUp();
        auto service = std::make_unique<fbwtest::TestWaveOutService>();
        device = service.get();
        previous = plat::SetWaveOutService(std::move(service));
        plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
        game = std::make_unique<TFormGame>();
        ASSERT_TRUE(game->Loaded());
        ASSERT_TRUE(SoundOn);
        // The same story in every run (the generator reseeds from the clock).
        game->Generator()->FixSeed(7);
        book = std::make_unique<TFormBook>(*game->Generator(), *game->Library());
        book->StoriesFolder = stories.Path();
        auto s = std::make_unique<fbwtest::NullSpeechSynth>();
        synth = s.get();
        book->SetSpeechSynth(std::move(s));
        game->SetWindows(nullptr, book.get());
        book->TaleNumber = 2;
        book->show();
    }
    void TearDown() override {
        book.reset();
        game.reset();
        plat::SetWaveOutService(std::move(previous));
        AppFixture::TearDown();
    }
    void CreateStory() {
        fbwtest::Child<QPushButton>(*book, "cmdNewStory").click();
        ASSERT_EQ(book->CurrentPage(), 1);
        ASSERT_GE(book->Book().PageCount(), 4) << "a story of several spreads";
    }
    void PressReadToMe() {
        QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadToMe"), Qt::LeftButton);
    }
    bool ButtonShown() const {
        return fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isVisibleTo(book.get());
    }
    // The sentence playing has been heard and the message loop runs.
    void Heard() {
        ASSERT_TRUE(device->FinishBuffer());
        device->DeliverMessages();
    }
    // The text of the sentence the device plays.
    std::string Playing() const { return fbwtest::SpokenText(*device); }
    int Lit() const {
        return LitPixels(book->Painter().PagePicture(TPagePainter::Side::Left)) +
               LitPixels(book->Painter().PagePicture(TPagePainter::Side::Right));
    }

    fbwtest::TempDir stories;
    fbwtest::TestWaveOutService* device = nullptr;
    std::unique_ptr<plat::WaveOutService> previous;
    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormBook> book;
    fbwtest::NullSpeechSynth* synth = nullptr; // owned by the book's reader
};

} // namespace

TEST_F(ReadToMeFormTest, TheButtonStandsBetweenTheArrowsOnStorySpreadsWhenItCanSpeak) {
    EXPECT_EQ(book->CurrentPage(), 0);
    EXPECT_FALSE(ButtonShown()) << "not on the cover spread";
    CreateStory();
    EXPECT_TRUE(ButtonShown());
    const QRect r = fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").geometry();
    const int w = book->width(), h = book->height();
    EXPECT_EQ(r.size(), QSize(50, 25));
    const TBookFoot foot(w, h, 1);
    EXPECT_EQ(r.top(), foot.BackArrow().top) << "the arrows' height band";
    EXPECT_EQ(r.left() + 25, (w + 20) / 2) << "centred on the spine";
    EXPECT_GE(r.left(), foot.BackArrow().Right()) << "between the arrows";
    EXPECT_LE(r.right() + 1, foot.ForwardArrow().left);
    const QImage idle = fbwtest::ReadToMe(*book).ReadToMePicture();
    ASSERT_FALSE(idle.isNull());

    // Moved with the window.
    book->resize(800, 600);
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").geometry().topLeft(),
              QPoint((800 + 20) / 2 - 25, TBookFoot(800, 600, 1).BackArrow().top));
    EXPECT_TRUE(ButtonShown());
    book->resize(TFormBook::kClientWidth, TFormBook::kClientHeight);

    // The scene's sound switched off: the voice is the child's own request,
    // and a press reads aloud.
    SetSoundOn(false);
    book->ShowPages(1);
    EXPECT_TRUE(ButtonShown()) << "sound off";
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isEnabled());
    PressReadToMe();
    EXPECT_TRUE(book->Reader().Reading());
    EXPECT_EQ(device->OpenDevices(), 1) << "the voice plays while the scene is quiet";
    fbwtest::ReadToMe(*book).Stop();
    SetSoundOn(true);
    // No audio output at all: shown, faded, with the reason.
    device->Controls().devices = 0;
    SetSoundOn(true);
    book->ShowPages(1);
    EXPECT_TRUE(ButtonShown());
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isEnabled());
    EXPECT_NE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(), "Read to me");
    EXPECT_NE(fbwtest::ReadToMe(*book).ReadToMePicture(), idle) << "faded";
    // A new story's focus goes to the right page, not to the faded button.
    book->ShowPages(0);
    fbwtest::Child<QPushButton>(*book, "cmdNewStory").click();
    EXPECT_EQ(book->focusWidget(), &fbwtest::Child<TPaintBox>(*book, "pbxRightPage"));
    device->Controls().devices = 1;
    book->ShowPages(1);
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isEnabled());
    EXPECT_EQ(fbwtest::ReadToMe(*book).ReadToMePicture(), idle);
    book->SetWaveManager(nullptr);
    EXPECT_FALSE(ButtonShown()) << "no wave manager";
    PressReadToMe(); // a click that reaches it anyway does nothing
    EXPECT_FALSE(book->Reader().Reading());
    game->SetWindows(nullptr, book.get());
    EXPECT_TRUE(ButtonShown());
    book->SetSpeechSynth(nullptr);
    EXPECT_FALSE(ButtonShown()) << "no speech engine";

    // Nor on the empty spread after a story that ends on a right-hand page.
    book->SetSpeechSynth(std::make_unique<fbwtest::NullSpeechSynth>());
    book->SetStory("The Tale\\n\\nOne. Two.");
    book->ShowPages(1);
    ASSERT_EQ(book->Book().PageCount(), 1);
    EXPECT_TRUE(ButtonShown());
    book->ShowPages(3);
    EXPECT_FALSE(ButtonShown());
}

TEST_F(ReadToMeFormTest, PressingReadsFromTheSpreadShownAndLightsTheSentenceBeingRead) {
    CreateStory();
    EXPECT_EQ(Lit(), 0);
    const QImage idle = fbwtest::ReadToMe(*book).ReadToMePicture();
    PressReadToMe();
    ASSERT_TRUE(book->Reader().Reading());
    EXPECT_EQ(book->Reader().CurrentSentence(), 0);
    const TSentence& title = book->Reader().Sentences().Items[0];
    EXPECT_EQ(Playing(), title.Speech) << "the title first";
    EXPECT_NE(fbwtest::ReadToMe(*book).ReadToMePicture(), idle) << "the speaking picture";
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(), "Pause reading");
    // The title's lines are lit on the left page, and nothing on the right.
    EXPECT_GT(LitPixels(book->Painter().PagePicture(TPagePainter::Side::Left)), 200);
    EXPECT_EQ(LitPixels(book->Painter().PagePicture(TPagePainter::Side::Right)), 0);
    const auto [top, bottom] = LitRows(book->Painter().PagePicture(TPagePainter::Side::Left));
    EXPECT_GE(top, 8) << "within the margin";
    const int titleLines = book->Book().Page(1)->TitleLines;
    EXPECT_LE(bottom - top, 40 * titleLines) << "the title's " << titleLines << " lines";
    EXPECT_GT(bottom - top, 40 * (titleLines - 1)) << "the title's " << titleLines << " lines";

    // The highlight moves with the voice: the next sentence lies lower.
    Heard();
    EXPECT_EQ(book->Reader().CurrentSentence(), 1);
    EXPECT_EQ(Playing(), book->Reader().Sentences().Items[1].Speech);
    EXPECT_GT(LitRows(book->Painter().PagePicture(TPagePainter::Side::Left)).first, bottom - 1);

    // Pressing again pauses at once: the voice stops, the highlight stays,
    // the button shows that it goes on.
    const QImage speaking = fbwtest::ReadToMe(*book).ReadToMePicture();
    const int resets = device->Devices().back()->resets;
    const int lit = Lit();
    PressReadToMe();
    EXPECT_EQ(book->Reader().State(), TReadState::Paused);
    EXPECT_EQ(device->Devices().back()->resets, resets + 1);
    EXPECT_EQ(device->OpenDevices(), 0);
    EXPECT_EQ(Lit(), lit);
    EXPECT_NE(fbwtest::ReadToMe(*book).ReadToMePicture(), idle);
    EXPECT_NE(fbwtest::ReadToMe(*book).ReadToMePicture(), speaking);
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(), "Go on reading");
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive());
    // And again: on from the start of that sentence.
    PressReadToMe();
    EXPECT_EQ(book->Reader().State(), TReadState::Speaking);
    EXPECT_EQ(book->Reader().CurrentSentence(), 1);
    EXPECT_EQ(book->Reader().Sentences().Items[1].Speech.rfind(Playing(), 0), 0u);
    EXPECT_EQ(fbwtest::ReadToMe(*book).ReadToMePicture(), speaking);
    EXPECT_TRUE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive());
    // Turning the page while paused stops it.
    PressReadToMe();
    fbwtest::Child<QPushButton>(*book, "cmdNextPage").click();
    EXPECT_FALSE(book->Reader().Reading());
    EXPECT_EQ(fbwtest::ReadToMe(*book).ReadToMePicture(), idle);
    EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(), "Read to me");
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive());
    fbwtest::Child<QPushButton>(*book, "cmdPrevPage").click();

    // From a later spread it starts on that spread's left page.
    fbwtest::Child<QPushButton>(*book, "cmdNextPage").click();
    ASSERT_EQ(book->CurrentPage(), 3);
    PressReadToMe();
    ASSERT_TRUE(book->Reader().Reading());
    const int first = book->Reader().CurrentSentence();
    const TStorySentences& all = book->Reader().Sentences();
    EXPECT_LE(all.FirstPage(first), 3);
    EXPECT_TRUE(first == 0 || all.Items[first - 1].Parts.back().Page < 3)
        << "no earlier sentence reaches page 3";
    EXPECT_GT(LitPixels(book->Painter().PagePicture(TPagePainter::Side::Left)), 0);
}

TEST_F(ReadToMeFormTest, ThePagesTurnByThemselvesToTheEndOfTheStory) {
    // Seed 29 tells a story whose last sentence begins on a left page and ends
    // on the spread after it.
    for (const uint32_t seed : {7u, 29u}) {
        SCOPED_TRACE(seed);
        game->Generator()->FixSeed(seed);
        CreateStory();
        PressReadToMe();
        const TStorySentences& sentences = book->Reader().Sentences();
        const std::size_t count = sentences.Items.size();
        std::vector<int> spreads{book->CurrentPage()};
        std::size_t heard = 0;
        while (book->Reader().Reading() && heard < count) {
            const int s = book->Reader().CurrentSentence();
            const int page = sentences.FirstPage(s);
            // The sentence being read begins on the spread shown (or before it)
            // and its lines there are lit.
            EXPECT_LE(page, book->CurrentPage() + 1) << s;
            EXPECT_GT(Lit(), 0) << s;
            if (book->CurrentPage() != spreads.back())
                spreads.push_back(book->CurrentPage());
            Heard();
            ++heard;
        }
        EXPECT_FALSE(book->Reader().Reading());
        EXPECT_EQ(heard, count) << "every sentence was read once";
        // Each spread on which a sentence begins, in turn (a spread that holds
        // only the end of a sentence begun before it is not turned to while that
        // sentence is read).
        const int pages = book->Book().PageCount();
        std::vector<int> expected;
        for (std::size_t s = 0; s < count; ++s) {
            const int first = sentences.FirstPage(static_cast<int>(s));
            const int spread = first % 2 ? first : first - 1;
            if (expected.empty() || expected.back() != spread)
                expected.push_back(spread);
        }
        EXPECT_EQ(spreads, expected) << "each spread in turn";
        for (std::size_t i = 1; i < spreads.size(); ++i)
            EXPECT_EQ(spreads[i], spreads[i - 1] + 2) << "no spread is skipped";
        // It stops on the spread with the commands, with nothing lit.
        EXPECT_EQ(book->CurrentPage(), pages % 2 ? pages : pages + 1);
        EXPECT_TRUE(fbwtest::Child<QWidget>(*book, "pnlCommands").isVisibleTo(book.get()));
        EXPECT_EQ(Lit(), 0);
    }
    // The forward arrow, now disabled, is whole also where the empty right
    // page reaches over it.
    const QRect page = fbwtest::Child<TPaintBox>(*book, "pbxRightPage").geometry();
    const TBookBox a = TBookFoot(book->width(), book->height(), 1).ForwardArrow();
    const QRect under = page.intersected(QRect(a.left, a.top, 40, 25));
    ASSERT_FALSE(under.isEmpty());
    EXPECT_EQ(book->Painter()
                  .PagePicture(TPagePainter::Side::Right)
                  .copy(under.translated(-page.topLeft())),
              book->Painter().BookPicture().copy(under));
    EXPECT_EQ(device->OpenDevices(), 0);
}

TEST_F(ReadToMeFormTest, TurningFollowsTheChildAndEveryOtherActionStopsTheVoice) {
    CreateStory();
    const std::string saved = book->StoryText();
    fbwtest::Child<QPushButton>(*book, "cmdSave").click();
    struct Action {
        const char* name;
        std::function<void()> act;
        int spreadAfter;   // the spread shown after it; -1 any
        bool turn = false; // a page turn: a speaking voice goes on there
    };
    const std::vector<Action> actions = {
        {"the forward arrow", [&] { fbwtest::Child<QPushButton>(*book, "cmdNextPage").click(); }, 5,
         true},
        {"the back arrow", [&] { fbwtest::Child<QPushButton>(*book, "cmdPrevPage").click(); }, 1,
         true},
        {"a click on the right page",
         [&] {
             QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton);
         },
         5, true},
        {"a click on the left page",
         [&] {
             QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), Qt::LeftButton);
         },
         1, true},
        {"the Right key", [&] { QTest::keyClick(book.get(), Qt::Key_Right); }, 5, true},
        {"the PageUp key", [&] { QTest::keyClick(book.get(), Qt::Key_PageUp); }, 1, true},
        {"Create story", [&] { book->cmdNewStoryClick(); }, 1},
        {"Read saved story", [&] { book->cmdReadSavedClick(); }, 1},
        {"closing the book", [&] { QTest::keyClick(book.get(), Qt::Key_Escape); }, -1},
    };
    // Each from a speaking and from a paused reading.
    for (const Action& a : actions)
        for (const bool paused : {false, true}) {
            SCOPED_TRACE(a.name);
            SCOPED_TRACE(paused ? "paused" : "speaking");
            if (!book->isVisible())
                book->show();
            book->ShowPages(3);
            ASSERT_TRUE(ButtonShown());
            PressReadToMe();
            ASSERT_TRUE(book->Reader().Reading());
            Heard(); // a sentence into the spread
            ASSERT_TRUE(book->Reader().Reading());
            if (paused)
                PressReadToMe();
            ASSERT_GT(Lit(), 0);
            a.act();
            if (a.turn && !paused) {
                // Read on from the first sentence of the spread turned to.
                ASSERT_TRUE(book->Reader().Reading());
                EXPECT_FALSE(book->Reader().Paused());
                ASSERT_FALSE(book->Reader().Highlight().empty());
                EXPECT_GE(book->Reader().Highlight().back().Page, a.spreadAfter);
                EXPECT_LE(book->Reader().Highlight().front().Page, a.spreadAfter + 1);
                EXPECT_EQ(book->CurrentPage(), a.spreadAfter);
                fbwtest::ReadToMe(*book).Stop();
            }
            EXPECT_FALSE(book->Reader().Reading());
            EXPECT_EQ(device->OpenDevices(), 0) << "the voice ends now";
            if (a.spreadAfter >= 0) {
                EXPECT_EQ(book->CurrentPage(), a.spreadAfter);
            }
            EXPECT_EQ(Lit(), 0);
            // The device's late done message starts nothing.
            device->DeliverMessages();
            EXPECT_FALSE(book->Reader().Reading());
            EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(), "Read to me");
        }
    EXPECT_FALSE(book->isVisible());
    EXPECT_EQ(book->StoryText(), saved) << "the saved story was read back";

    // A resize while reading keeps the voice and lays the highlight anew.
    book->show();
    book->ShowPages(3);
    PressReadToMe();
    Heard();
    const int sentence = book->Reader().CurrentSentence();
    book->resize(900, 640);
    EXPECT_TRUE(book->Reader().Reading());
    EXPECT_EQ(book->Reader().CurrentSentence(), sentence);
    EXPECT_LE(book->Reader().Sentences().FirstPage(sentence), book->CurrentPage() + 1);
    EXPECT_GT(Lit(), 0);
    // Destroying the book while it reads ends the voice.
    book.reset();
    EXPECT_EQ(device->OpenDevices(), 0);
}

TEST_F(ReadToMeFormTest, QuickPressesEndAsTheLastOneAskedWhenADeviceRunsTheEventLoop) {
    // An audio server's output may run the event loop while it closes: the
    // next click waiting there is handled in the middle of the one before.
    CreateStory();
    const QImage idle = fbwtest::ReadToMe(*book).ReadToMePicture();
    int left = 0;
    device->Controls().duringReset = [&] {
        if (left > 0) {
            --left;
            PressReadToMe();
        }
    };
    TReadState expected = TReadState::Idle;
    for (const int presses : {25, 2, 7, 4}) {
        SCOPED_TRACE(presses);
        for (int i = 0; i < presses; ++i)
            expected = expected == TReadState::Speaking ? TReadState::Paused : TReadState::Speaking;
        left = presses;
        while (left > 0) {
            --left;
            PressReadToMe();
        }
        const bool speaking = expected == TReadState::Speaking;
        EXPECT_EQ(book->Reader().State(), expected);
        EXPECT_NE(fbwtest::ReadToMe(*book).ReadToMePicture(), idle);
        EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").toolTip(),
                  speaking ? "Pause reading" : "Go on reading");
        // A screen reader hears what a press does now.
        EXPECT_EQ(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").accessibleName(),
                  speaking ? "Pause" : "Go on");
        EXPECT_EQ(device->OpenDevices(), speaking ? 1 : 0);
        EXPECT_GT(Lit(), 0);
        device->DeliverMessages();
        EXPECT_EQ(book->Reader().State(), expected);
    }
    device->Controls().duringReset = nullptr;
}

// The lit word is drawn again in the page's own letters, over the twists'
// tint: in every choice of letters its repaint gives the pixels a whole
// drawing of the page gives, while reading and once paused.
TEST_F(ReadToMeFormTest, ALitWordsRepaintEqualsAWholeDrawingInEveryChoiceOfLetters) {
    fbwtest::Twists(*book).SetShowTwists(true);
    using Face = TBookLetters::Face;
    for (const TBookLetters letters :
         {TBookLetters{Face::Classic, false}, TBookLetters{Face::EasyRead, false},
          TBookLetters{Face::EasyRead, true}}) {
        SCOPED_TRACE(std::string(letters.Family()) + (letters.big ? " bigger" : ""));
        book->LettersPart().SetLetters(letters);
        book->cmdNewStoryClick();
        ASSERT_EQ(book->CurrentPage(), 1);
        PressReadToMe();
        const TSentence& title = book->Reader().Sentences().Items[0];
        ASSERT_GE(title.Words.size(), 2u);
        const auto wholeDrawingAgrees = [&] {
            return BookFixture::WholeDrawingAgrees(*book, TPagePainter::Side::Left, 1);
        };
        for (std::size_t w = 0; w < 2; ++w) {
            device->Controls().position = {plat::WavePosition::Unit::Milliseconds,
                                           fbwtest::NullSpeechSynth::MsAt(static_cast<std::size_t>(
                                               title.Words[w].Begin - title.Begin))};
            fbwtest::ReadToMe(*book).tmrReadAlongTimer();
            ASSERT_EQ(book->Reader().LitWord(), static_cast<int>(w));
            EXPECT_TRUE(wholeDrawingAgrees()) << "word " << w;
        }
        PressReadToMe();
        ASSERT_EQ(book->Reader().State(), TReadState::Paused);
        EXPECT_TRUE(wholeDrawingAgrees()) << "paused";
        fbwtest::ReadToMe(*book).Stop();
        EXPECT_TRUE(wholeDrawingAgrees()) << "stopped";
    }
}

TEST_F(ReadToMeFormTest, TheWordHeardIsLitOnThePageAndThePaceControlKeepsTheChildsChoice) {
    CreateStory();
    // The pace control stands right of the button with it, normal chosen.
    ASSERT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadPace").isVisibleTo(book.get()));
    const QRect button = fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").geometry();
    const QRect pace = fbwtest::Child<TPaintBox>(*book, "pbxReadPace").geometry();
    EXPECT_GT(pace.top(), button.top());
    EXPECT_LE(pace.bottom(), button.bottom() + 2);
    EXPECT_GT(pace.left(), button.right());
    EXPECT_EQ(fbwtest::ReadToMe(*book).ReadingPace(), TReadingPace::Pace::Normal);
    const QImage normal = fbwtest::ReadToMe(*book).ReadPacePicture();

    PressReadToMe();
    ASSERT_TRUE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive())
        << "the voice is followed";
    const TSentence& title = book->Reader().Sentences().Items[0];
    ASSERT_GE(title.Words.size(), 2u);
    const QRgb word = 0xFF000000u | TReadHighlight::kWordColour;
    auto wordPixels = [&] {
        const QImage page = book->Painter().PagePicture(TPagePainter::Side::Left);
        int n = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                n += page.pixel(x, y) == word;
        return n;
    };
    EXPECT_EQ(wordPixels(), 0) << "no word before the voice gets there";
    // The device reports the second word's time: that word alone is lit, and
    // only its rectangle and the first word's are repainted. (The page's
    // pending repaints go first; the voice stays where it was meanwhile.)
    QRegion repainted;
    BookFixture::CollectRepaints(fbwtest::Child<TPaintBox>(*book, "pbxLeftPage"), repainted);
    QCoreApplication::processEvents();
    repainted = QRegion();
    const QImage unlit = book->Painter().PagePicture(TPagePainter::Side::Left);
    device->Controls().position = {plat::WavePosition::Unit::Milliseconds,
                                   fbwtest::NullSpeechSynth::MsAt(static_cast<std::size_t>(
                                       title.Words[1].Begin - title.Begin))};
    fbwtest::ReadToMe(*book).tmrReadAlongTimer();
    EXPECT_EQ(book->Reader().LitWord(), 1);
    QCoreApplication::processEvents();
    const QRegion changed =
        BookFixture::Changed(unlit, book->Painter().PagePicture(TPagePainter::Side::Left));
    EXPECT_FALSE(changed.isEmpty());
    EXPECT_TRUE((changed - repainted).isEmpty()) << "what changed is repainted";
    long area = 0;
    for (const QRect& r : repainted)
        area += static_cast<long>(r.width()) * r.height();
    EXPECT_LT(area, fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").width() *
                        fbwtest::Child<TPaintBox>(*book, "pbxLeftPage").height() / 10)
        << "the page was not drawn whole";
    const int lit = wordPixels();
    EXPECT_GT(lit, 50);
    EXPECT_TRUE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive());
    EXPECT_LE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").interval(), 40);
    // Paused, the word stays lit; turning the page takes it away.
    PressReadToMe();
    EXPECT_EQ(wordPixels(), lit);
    EXPECT_FALSE(fbwtest::Child<QTimer>(*book, "tmrReadAlong").isActive());
    fbwtest::Child<QPushButton>(*book, "cmdNextPage").click();
    fbwtest::Child<QPushButton>(*book, "cmdPrevPage").click();
    EXPECT_EQ(wordPixels(), 0);

    // A click on the tortoise picks the slow pace: kept in the settings file,
    // used by the next reading, and read again by the next book.
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadPace"), Qt::LeftButton, {},
                      QPoint(5, 12));
    EXPECT_EQ(fbwtest::ReadToMe(*book).ReadingPace(), TReadingPace::Pace::Slow);
    EXPECT_NE(fbwtest::ReadToMe(*book).ReadPacePicture(), normal);
    EXPECT_EQ(plat::GetProfileString("Book", "ReadingPace", "", SettingsFileName), "0");
    PressReadToMe();
    EXPECT_EQ(device->Playing()->queue.front()->bufferLength / 2,
              fbwtest::NullSpeechSynth::SamplesFor(Playing(), TReadingPace::kSlowStretch));
    QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxReadPace"), Qt::LeftButton, {},
                      QPoint(TReadingPace::kWidth - 3, 12));
    EXPECT_EQ(plat::GetProfileString("Book", "ReadingPace", "", SettingsFileName), "2");
    EXPECT_FLOAT_EQ(book->Reader().Pace(), TReadingPace::kQuickStretch);
    TFormBook again(*game->Generator(), *game->Library());
    EXPECT_EQ(fbwtest::ReadToMe(again).ReadingPace(), TReadingPace::Pace::Quick);

    // No speech engine or no audio output: neither control shows.
    book->SetSpeechSynth(nullptr);
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxReadToMe").isVisibleTo(book.get()));
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxReadPace").isVisibleTo(book.get()));
    book->SetSpeechSynth(std::make_unique<fbwtest::NullSpeechSynth>());
    EXPECT_TRUE(fbwtest::Child<TPaintBox>(*book, "pbxReadPace").isVisibleTo(book.get()));
    book->SetWaveManager(nullptr);
    EXPECT_FALSE(fbwtest::Child<TPaintBox>(*book, "pbxReadPace").isVisibleTo(book.get()));
}

TEST_F(ReadToMeFormTest, ATalkingBookMadeFromTheShelfOrCtrlOReadsInItsOwnVoiceAndLightsItsWords) {
    if (!plat::CreateMp3Encoder() || !plat::CreateMp3Decoder())
        GTEST_SKIP() << "built without libmp3lame or libmpg123";
    // The story's talking book, made by its button as the child makes it.
    CreateStory();
    std::string story = book->StoryText();
    while (story.ends_with("\\n"))
        story.resize(story.size() - 2); // the markers that end it show nothing
    book->ShowPages(book->Book().PageCount() | 1);
    fbwtest::Keepsakes(*book).MakeVoice = [] {
        return std::make_unique<fbwtest::NullSpeechSynth>();
    };
    const auto& pace = fbwtest::Child<TPaintBox>(*book, "pbxReadPace");
    {
        // "Open it now?": yes, here, in its own voice.
        fbwtest::MessageCapture offer(plat::MsgAnswer::Yes);
        fbwtest::Child<QPushButton>(*book, "cmdTalkingBook").click();
        fbwtest::Keepsakes(*book).FinishTalkingBook();
        ASSERT_EQ(offer.Messages().size(), 1u);
    }
    std::string epub;
    for (const auto& e : std::filesystem::directory_iterator(stories.Path()))
        epub = e.path().filename().string();
    ASSERT_TRUE(epub.ends_with(".epub")) << epub;
    EXPECT_EQ(book->Origin().kind, TStoryOrigin::Kind::TalkingBook);
    EXPECT_EQ(book->CurrentPage(), 1);
    EXPECT_FALSE(pace.isEnabled()) << "faded";

    // A new story, then the book opened from "My stories": its story again,
    // on its first spread, read in its own voice at its own pace.
    CreateStory();
    book->ExecShelf = [&](TFormShelf& shelf) {
        shelf.show();
        const TShelfModel& m = shelf.Model();
        shelf.lstStories.setCurrentIndex(m.index(m.RowOf(epub)));
        shelf.cmdOpenClick();
    };
    book->cmdMyStoriesClick();
    EXPECT_EQ(book->Origin().kind, TStoryOrigin::Kind::TalkingBook);
    EXPECT_EQ(book->StoryText(), story);
    ASSERT_EQ(book->CurrentPage(), 1);
    EXPECT_TRUE(pace.isVisibleTo(book.get()));
    EXPECT_FALSE(pace.isEnabled()) << "faded";
    EXPECT_EQ(pace.toolTip(), "This book reads in its own voice, at its own pace");

    // Its title's words lit in order where its clips say they are heard:
    // after the lead-in, each at the time the voice said it.
    PressReadToMe();
    ASSERT_EQ(book->Reader().State(), TReadState::Speaking);
    const TSentence& title = book->Reader().Sentences().Items[0];
    ASSERT_GE(title.Words.size(), 3u);
    for (int w = 0; w < 3; ++w) {
        const auto ms = TSpokenStory::kLeadMs +
                        fbwtest::NullSpeechSynth::MsAt(
                            static_cast<std::size_t>(title.Words[w].Begin - title.Begin)) +
                        5;
        device->Controls().position = {plat::WavePosition::Unit::Milliseconds,
                                       static_cast<uint32_t>(ms)};
        fbwtest::ReadToMe(*book).tmrReadAlongTimer();
        EXPECT_EQ(book->Reader().LitWord(), w) << "at " << ms << " ms";
    }
    // Paused, the word stays; going on and heard, the next sentence plays.
    PressReadToMe();
    EXPECT_EQ(book->Reader().State(), TReadState::Paused);
    EXPECT_EQ(book->Reader().LitWord(), 2);
    PressReadToMe();
    ASSERT_EQ(book->Reader().State(), TReadState::Speaking);
    Heard();
    EXPECT_EQ(book->Reader().CurrentSentence(), 1);
    // A page turn reads on from the next spread.
    fbwtest::Child<QPushButton>(*book, "cmdNextPage").click();
    EXPECT_EQ(book->CurrentPage(), 3);
    EXPECT_EQ(book->Reader().State(), TReadState::Speaking);
    EXPECT_EQ(book->Reader().CurrentSentence(), book->Reader().Sentences().FirstFrom(3));

    // A new story has the game's voice again, and its pace.
    CreateStory();
    EXPECT_TRUE(pace.isEnabled());
    // The scene's Ctrl+O opens the same book the same way: its story in its
    // own voice, the pace faded, reading from its title.
    std::vector<QString> windows;
    game->ShowModal = [&](QDialog& d) {
        windows.push_back(d.objectName());
        if (auto* shelf = dynamic_cast<TFormShelf*>(&d)) {
            shelf->lstStories.setCurrentIndex(shelf->Model().index(shelf->Model().RowOf(epub)));
            QTest::mouseClick(&shelf->cmdOpen, Qt::LeftButton);
        } else {
            book->hide();
            book->show();
        }
    };
    const std::size_t gameVoiceSaid = synth->Texts().size();
    game->FormKeyDown(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(windows, (std::vector<QString>{"FormShelf", "FormBook"}));
    EXPECT_EQ(book->Origin().kind, TStoryOrigin::Kind::TalkingBook);
    EXPECT_EQ(book->StoryText(), story);
    EXPECT_FALSE(pace.isEnabled()) << "faded";
    PressReadToMe();
    ASSERT_EQ(book->Reader().State(), TReadState::Speaking);
    EXPECT_EQ(book->Reader().CurrentSentence(), 0);
    EXPECT_EQ(synth->Texts().size(), gameVoiceSaid) << "the game's voice says nothing";
    CreateStory();
    // A file named as a talking book that is none says so, and the book stays.
    fbwtest::WriteBytes(stories.Path() + "Goldilox 2026-12-08 17.05.epub", "not a book");
    const std::string shown = book->StoryText();
    try {
        book->ReadStoryFile(2, stories.Path() + "Goldilox 2026-12-08 17.05.epub");
        ADD_FAILURE() << "read";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Read: \"Goldilox 2026-12-08 17.05.epub\" is not a talking book "
                               "the game can play: it is no zip archive");
    }
    EXPECT_EQ(book->StoryText(), shown);
}
