// The storybook window for the window tests: the main window's game library
// and story generator (fixed seed), the window on them with its stories in a
// folder of the test's own, errors caught by the ShowError hook, and helpers
// to open a tale as the main window does and to lay out stories of a chosen
// shape; with the test voice, reading aloud through the test synthesizer and
// the test wave-out service. The helpers the tests share: a page area's text
// as screen readers find it, the Tab walk, and a page picture against a whole
// drawing of its page.
#pragma once
#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

#include "../../app/AppFixture.h"
#include "app/FormGame.h"
#include "book/StoryTwists.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/qt/QtDrawTarget.h"
#include "sound/AppSound.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/TestWaveOutService.h"

class BookFixture : public AppFixture {
protected:
    // Voice::Test: the window reads with the test synthesizer through the main
    // window's wave manager, on the test wave-out service (device), sound on.
    enum class Voice { None, Test };
    explicit BookFixture(Voice voice = Voice::None) : voice_(voice) {}

    void SetUp() override {
        if (voice_ == Voice::Test) {
            auto service = std::make_unique<fbwtest::TestWaveOutService>();
            device = service.get();
            previousService_ = plat::SetWaveOutService(std::move(service));
        }
        AppFixture::SetUp();
        game = std::make_unique<TFormGame>();
        ASSERT_TRUE(game->Loaded());
        generator().FixSeed(7);
        book = std::make_unique<TFormBook>(generator(), *game->Library());
        book->StoriesFolder = home.Path() + "Fablewhirl Stories/";
        book->ShowError = [this](const std::string& m) { errors.push_back(m); };
        if (voice_ == Voice::Test) {
            SetSoundOn(true);
            book->SetSpeechSynth(std::make_unique<fbwtest::NullSpeechSynth>());
            game->SetWindows(nullptr, book.get());
        }
    }
    void TearDown() override {
        book.reset();
        game.reset();
        AppFixture::TearDown();
        if (voice_ == Voice::Test)
            plat::SetWaveOutService(std::move(previousService_));
    }

    TStoryGenerator& generator() { return *game->Generator(); }

    // Opening a tale as the main window does: a new story, the tale number,
    // the window shown (again).
    void Open(int tale) {
        book->SetStory(JoinStoryLines(generator().GenerateStory(tale)));
        book->TaleNumber = tale;
        Show();
    }
    void Show() {
        book->hide();
        book->show();
        QCoreApplication::processEvents();
        // The offscreen platform activates a window only when it is first
        // shown; a window manager activates it every time.
        if (!book->isActiveWindow())
            QApplication::setActiveWindow(book.get());
    }
    // Shows the window for Tale with Story (the generator's form: lines
    // joined by CR LF) already set.
    void OpenWith(int tale, const std::string& story) {
        book->SetStory(story);
        book->TaleNumber = tale;
        Show();
    }

    // A story of a title and Words words "word1 word2 ..." in one paragraph.
    static std::string Story(int words, const std::string& title = "A Title") {
        std::string s = title + "\\n\\n\r\n";
        for (int i = 1; i <= words; ++i)
            s += "word" + std::to_string(i) + (i % 12 == 0 ? "\r\n" : " ");
        return s + "\r\n";
    }
    // The fewest words from From up that give a story of Pages pages
    // meeting Accept (page count given); -1 when none up to Limit words.
    template <class Accept> int WordsFor(int from, int limit, Accept accept) {
        for (int n = from; n <= limit; ++n) {
            book->SetStory(Story(n));
            if (accept(book->Book()))
                return n;
        }
        return -1;
    }

    // Library image Name drawn whole with the library palette.
    QImage LibraryImage(const std::string& name) {
        TRL8Library& lib = *game->Library();
        TImageNode* node = lib.GetImage(name);
        TRL8ImageData* surface = lib.GetImageData(node);
        QImage image(surface->Width, surface->Height, QImage::Format_RGB32);
        image.fill(Qt::white);
        plat::QtDrawTarget target(image);
        const plat::LogPalette* previous = target.SelectPalette(lib.GetHPal());
        surface->DisplayRect(target, TPoint{0, 0}, surface->GetBounds());
        target.SelectPalette(previous);
        lib.ReleaseImageData(node);
        lib.ReleaseImage(node);
        return image;
    }
    // The twists' words on a page area (left when Left) of the story spread
    // shown, each part with its span, where the twists' rules place them on
    // the page as it is drawn (right and bottom edges inside): what the tint
    // covers, none while the twists are hidden.
    std::vector<std::pair<QRect, int>> TwistRects(bool left) {
        const TTwistsPart& twists = fbwtest::Twists(*book);
        if (!twists.ShowTwists() || book->CurrentPage() < 1)
            return {};
        return twists.WordRects(left);
    }
    // Turns forward page by page (clicking the right page) to the spread Page.
    void TurnTo(int page) {
        for (int guard = 0; book->CurrentPage() < page && guard < 100; ++guard)
            QTest::mouseClick(&fbwtest::Child<TPaintBox>(*book, "pbxRightPage"), Qt::LeftButton, {},
                              QPoint(20, 20));
    }

public:
    // The text of a page area (or any widget) as screen readers find it.
    static QString ReaderText(QWidget& area) {
        QAccessibleTextInterface* text =
            QAccessible::queryAccessibleInterface(&area)->textInterface();
        return text ? text->text(0, text->characterCount()) : QStringLiteral("<no text>");
    }
    // The widgets that have the focus after each of N presses of Tab.
    static std::vector<QWidget*> TabWalk(QWidget& window, int n) {
        std::vector<QWidget*> walk;
        for (int i = 0; i < n; ++i) {
            QWidget* focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : &window, Qt::Key_Tab);
            walk.push_back(QApplication::focusWidget());
        }
        return walk;
    }
    std::vector<QWidget*> TabWalk(int n) { return TabWalk(*book, n); }
    static std::string Names(const std::vector<QWidget*>& widgets) {
        std::string s;
        for (const QWidget* w : widgets)
            s += (w ? w->objectName().toStdString() : "-") + " ";
        return s;
    }
    // From now on adds what Area repaints to Damage, which outlives the
    // test's paints.
    static void CollectRepaints(TPaintBox& area, QRegion& damage) {
        area.OnPaint = [paint = area.OnPaint, &damage](QPainter& c, const QRegion& d) {
            damage += d;
            paint(c, d);
        };
    }
    // The pixels where two pictures of one size differ.
    static QRegion Changed(const QImage& a, const QImage& b) {
        QRegion r;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                if (a.pixel(x, y) != b.pixel(x, y))
                    r += QRect(x, y, 1, 1);
        return r;
    }
    // Whether Side's picture, as the window's repaints left it, equals a
    // whole drawing of its page Page (it is drawn whole again).
    static bool WholeDrawingAgrees(TFormBook& book, TPagePainter::Side side, int page) {
        const QImage repainted = book.Painter().PagePicture(side);
        book.Painter().RedrawPage(side, page, book.StoryText().c_str());
        return repainted == book.Painter().PagePicture(side);
    }

protected:
    fbwtest::TempDir home;
    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormBook> book;
    std::vector<std::string> errors;
    fbwtest::TestWaveOutService* device = nullptr; // with the test voice

private:
    Voice voice_;
    std::unique_ptr<plat::WaveOutService> previousService_;
};
