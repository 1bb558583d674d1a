// The main window: loading and its failure, the settings, resizing, the
// paint box, the frame and credit line, the Caps Lock label and the clicks
// that open, quit and switch.
#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QSignalSpy>
#include <QTest>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

#include "AppFixture.h"
#include "app/FormGame.h"
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
#include "platform/Screen.h"
#include "platform/qt/QtDrawTarget.h"
#include "scene/Scene.h"
#include "sound/AppSound.h"
#include "story/Generate.h"
#include "support/BookParts.h"
#include "support/NullSpeechSynth.h"
#include "support/TestWaveOutService.h"
#include "ui/Cursors.h"
#include "wordlist/forms/FormWords.h"

using FormGameTest = AppFixture;

TEST_F(FormGameTest, SettingsDefaultsAndOnlyOneMaximizes) {
    fbwtest::MessageCapture capture;
    {
        TFormGame game;
        ASSERT_TRUE(game.Loaded());
        EXPECT_FALSE(game.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(game.size(), QSize(590, 410));
        EXPECT_EQ(game.windowTitle(), "Fablewhirl");
        EXPECT_EQ(game.font().pixelSize(), 16);
        EXPECT_EQ(game.lblVersion.text(), "v1.7.0 (20000930)");
        EXPECT_FALSE(game.lblVersion.isVisible());
        EXPECT_FALSE(game.tmrAnim.isActive()) << "the scene starts moving when shown";
        EXPECT_EQ(game.tmrAnim.interval(), 55);
        EXPECT_EQ(GameLibrary, game.Library());
    }
    EXPECT_EQ(GameLibrary, nullptr);
    EXPECT_TRUE(capture.Messages().empty());
    EXPECT_EQ(Setting("Game", "Maximized"), "0");
    EXPECT_EQ(Setting("Game", "Sound"), "1") << "no wave-out device: off, but still wanted";

    for (const char* value : {"2", "yes"}) {
        plat::WriteProfileString("Game", "Maximized", value, SettingsFileName);
        TFormGame game;
        EXPECT_FALSE(game.windowState() & Qt::WindowMaximized) << value;
    }
    EXPECT_EQ(Setting("Game", "Maximized"), "0");
    plat::WriteProfileString("Game", "Maximized", "1", SettingsFileName);
    TFormGame game;
    EXPECT_TRUE(game.windowState() & Qt::WindowMaximized);
}

TEST_F(FormGameTest, OnlyThePlayersSwitchChangesTheSoundSetting) {
    // A run without an audio output keeps the wish, on or off.
    for (const char* stored : {"1", "0"}) {
        plat::WriteProfileString("Game", "Sound", stored, SettingsFileName);
        {
            TFormGame game;
            ASSERT_TRUE(game.Loaded());
            EXPECT_FALSE(SoundOn);
        }
        EXPECT_EQ(Setting("Game", "Sound"), stored) << "the audio was only away";
    }

    // With an audio output the switch turns it off, and that is kept.
    auto previous = plat::SetWaveOutService(std::make_unique<fbwtest::TestWaveOutService>());
    plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
    {
        TFormGame game;
        game.show();
        EXPECT_TRUE(SoundOn);
        game.pbxMainMouseDown(QPoint(520, 10)); // region 14
        EXPECT_FALSE(SoundOn);
    }
    EXPECT_EQ(Setting("Game", "Sound"), "0");
    // The switch without an output: the player asked for sound.
    plat::SetWaveOutService(std::move(previous));
    {
        TFormGame game;
        game.show();
        game.pbxMainMouseDown(QPoint(520, 10));
        EXPECT_FALSE(SoundOn);
        EXPECT_EQ(game.Scene()->Anim(20).FrameSource[0], TScene::kSoundOffFrame);
    }
    EXPECT_EQ(Setting("Game", "Sound"), "1");
}

TEST_F(FormGameTest, OnlyZeroTurnsSoundOffAndAValueThePlayerDidNotSetStays) {
    auto previous = plat::SetWaveOutService(std::make_unique<fbwtest::TestWaveOutService>());
    for (const char* stored : {"yes", "2", "on"}) {
        plat::WriteProfileString("Game", "Sound", stored, SettingsFileName);
        const std::string before = Setting("Game", "Sound");
        {
            TFormGame game;
            ASSERT_TRUE(game.Loaded());
            EXPECT_TRUE(SoundOn) << stored;
            EXPECT_EQ(game.Scene()->Anim(20).FrameSource[0], TScene::kSoundOnFrame);
        }
        EXPECT_EQ(Setting("Game", "Sound"), before) << "written only by the player's switch";
    }
    plat::WriteProfileString("Game", "Sound", " 0 ", SettingsFileName);
    {
        TFormGame game;
        EXPECT_FALSE(SoundOn);
    }
    EXPECT_EQ(Setting("Game", "Sound"), "0");
    plat::SetWaveOutService(std::move(previous));
}

TEST_F(FormGameTest, AnAudioOutputThatComesWhileTheBookIsOpenIsUsed) {
    // The game starts before the sound server; the server is there once a
    // book is open: the book finds it, and the scene shows sound on after.
    auto service = std::make_unique<fbwtest::TestWaveOutService>();
    fbwtest::TestWaveOutService* device = service.get();
    device->Controls().devices = 0;
    auto previous = plat::SetWaveOutService(std::move(service));
    {
        TFormGame game;
        ASSERT_TRUE(game.Loaded());
        EXPECT_FALSE(SoundOn);
        EXPECT_EQ(game.Scene()->Anim(20).FrameSource[0], TScene::kSoundOffFrame);
        TFormBook book(*game.Generator(), *game.Library());
        book.SetSpeechSynth(std::make_unique<fbwtest::NullSpeechSynth>());
        game.SetWindows(nullptr, &book);
        bool readToMe = false;
        game.ShowModal = [&](QDialog& d) {
            device->Controls().devices = 1; // the server started meanwhile
            d.show();
            fbwtest::Child<QPushButton>(book, "cmdNewStory").click();
            readToMe = fbwtest::Child<TPaintBox>(book, "pbxReadToMe").isVisibleTo(&book);
            d.hide();
        };
        game.show();
        game.pbxMainMouseDown(QPoint(160, 230)); // region 2
        EXPECT_TRUE(readToMe) << "Read to me is offered once there is an output";
        EXPECT_TRUE(SoundOn);
        EXPECT_TRUE(device->KeepsOutputOpen());
        EXPECT_EQ(game.Scene()->Anim(20).FrameSource[0], TScene::kSoundOnFrame);
    }
    EXPECT_EQ(Setting("Game", "Sound"), "1");
    plat::SetWaveOutService(std::move(previous));
}

namespace {
// The process's resident memory in bytes.
long long ResidentBytes() {
    long long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * ::sysconf(_SC_PAGESIZE);
}
} // namespace

TEST_F(FormGameTest, WhatTheBookTookGoesBackToTheSystemWhenItCloses) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "skipped: the sanitizer's allocator keeps memory its own way";
#else
    // What a large story leaves when its book closes: many small blocks,
    // freed, below one that stays (so the heap's top cannot shrink).
    TFormGame game;
    TFormBook book(*game.Generator(), *game.Library());
    game.SetWindows(nullptr, &book);
    constexpr std::size_t kBlocks = 256 * 1024, kBlockSize = 256; // 64 MB
    std::unique_ptr<char[]> above;
    long long kept = 0;
    game.ShowModal = [&](QDialog&) {
        std::vector<std::unique_ptr<char[]>> blocks(kBlocks);
        for (auto& b : blocks) {
            b = std::make_unique<char[]>(kBlockSize);
            b[0] = 1;
        }
        above = std::make_unique<char[]>(kBlockSize);
        blocks.clear();
        kept = ResidentBytes();
    };
    game.show();
    game.pbxMainMouseDown(QPoint(160, 230)); // region 2
    const long long after = ResidentBytes();
    std::printf("resident after the book: %lld MB while it closed, %lld MB after\n", kept >> 20,
                after >> 20);
    EXPECT_LT(after, kept - 32 * 1024 * 1024) << "most of the 64 MB freed is given back";
#endif
}

TEST_F(FormGameTest, MissingLibraryShowsOneMessageAndKeepsTheSettings) {
    fbwtest::TempDir program;
    ProgramFolder = program.Path();
    plat::WriteProfileString("Game", "Sound", "1", SettingsFileName);
    fbwtest::MessageCapture capture;
    {
        TFormGame game;
        EXPECT_FALSE(game.Loaded());
        EXPECT_TRUE(StartupFailed);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text,
                  "Fablewhirl encountered a problem on start-up: Open: cannot open " +
                      program.Path() + "yarns.rl8");
        EXPECT_EQ(GameLibrary, nullptr);
        EXPECT_EQ(TRL8Tile::GlobalImageLibrary(), nullptr);
        game.show();
        game.tmrAnimTimer(); // harmless without a scene
    }
    EXPECT_EQ(Setting("Game", "Sound"), "1") << "a failed start leaves the settings alone";
}

TEST_F(FormGameTest, ResizingCentresTheSceneAndRefusesTooSmall) {
    TFormGame game;
    game.show();
    EXPECT_EQ(game.pbxMain.geometry(), QRect(20, 20, 550, 370));
    game.resize(300, 200);
    EXPECT_GE(game.width(), 590);
    EXPECT_GE(game.height(), 410);
    game.resize(801, 600); // odd difference: the extra pixel goes right
    EXPECT_EQ(game.pbxMain.geometry(), QRect(125, 115, 550, 370));
    EXPECT_EQ(game.BG.geometry(), game.rect());
}

TEST_F(FormGameTest, PaintBoxShowsTheWorkImageAndTheFrameHugsIt) {
    TFormGame game;
    game.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));
    // The paint box's image holds the work surface's colours.
    QImage expected(550, 370, QImage::Format_RGB32);
    plat::QtDrawTarget dc(expected);
    dc.SelectPalette(game.Library()->GetHPal());
    game.WorkSurface()->DisplayRect(dc, TPoint{0, 0}, game.WorkSurface()->GetBounds());
    EXPECT_EQ(game.PaintBoxImage(), expected);

    QImage shot = game.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect p = game.pbxMain.geometry();
    EXPECT_EQ(shot.pixel(p.left() + 5, p.top() + 5), expected.pixel(5, 5));
    for (int d : {1, 2}) {
        EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(p.left() - d, p.top() + 50));
        EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(p.right() + d, p.top() + 50));
        EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(p.left() + 50, p.top() - d));
        EXPECT_EQ(qRgb(0, 0, 0), shot.pixel(p.left() + 50, p.bottom() + d));
    }
    EXPECT_NE(qRgb(0, 0, 0), shot.pixel(p.left() - 3, p.top() + 50));
}

TEST_F(FormGameTest, CreditLinesFitUnderTheScene) {
    QFont bold("Times New Roman");
    bold.setPixelSize(16);
    bold.setBold(true);
    QFontMetrics m(bold);
    for (int i = 0; i < TScene::kCreditLines; ++i) {
        const QString text = QString::fromLatin1(TFormGame::CreditText(i));
        EXPECT_FALSE(text.isEmpty());
        EXPECT_LE(m.horizontalAdvance(text), 550) << text.toStdString();
    }
    EXPECT_STREQ(TFormGame::CreditText(0), "Fablewhirl 1.7");
    EXPECT_TRUE(QString(TFormGame::CreditText(6)).endsWith("..."));
    EXPECT_TRUE(QString(TFormGame::CreditText(7)).startsWith("..."));
    EXPECT_TRUE(QString(TFormGame::CreditText(8)).startsWith("..."));
}

namespace {
// Collects the regions that a widget's paint events repaint.
class PaintRecorder : public QObject {
public:
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};
} // namespace

TEST_F(FormGameTest, CreditLineRepaintCoversTheWholeTextAtEverySize) {
    TFormGame game;
    game.WindowActive = [] { return true; };
    game.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));
    game.tmrAnim.stop(); // the test drives the timer
    // Shows credit line Line, in full colour, at the next timer tick.
    const auto showLine = [&](int line) {
        game.Scene()->WasActive = true;
        game.Scene()->CreditClock = tick + step - static_cast<uint32_t>(line * 104 + 50) * 125;
        game.tmrAnimTimer();
        ASSERT_EQ(game.Scene()->CreditLine, line);
        QCoreApplication::processEvents();
    };
    // Lines 2 and 3 have descenders (g, p, y); line 0 has none. The last two
    // sizes show the scene twice as large.
    for (const QSize size : {QSize(590, 410), QSize(900, 700), QSize(1000, 761), QSize(1180, 820),
                             QSize(1921, 1081)}) {
        game.resize(size);
        QCoreApplication::processEvents();
        for (const int line : {2, 3, 0}) {
            const QImage before = game.grab().toImage();
            PaintRecorder recorder;
            game.BG.installEventFilter(&recorder);
            showLine(line);
            game.BG.removeEventFilter(&recorder);
            const QImage after = game.grab().toImage();
            ASSERT_EQ(before.size(), after.size());
            int changed = 0, outside = 0;
            const QRect below(0, game.pbxMain.geometry().bottom() + 1, game.width(),
                              game.height() - game.pbxMain.geometry().bottom() - 1);
            for (int y = below.top(); y <= below.bottom(); ++y)
                for (int x = below.left(); x <= below.right(); ++x)
                    if (before.pixel(x, y) != after.pixel(x, y)) {
                        ++changed;
                        outside += !recorder.painted.contains(QPoint(x, y));
                    }
            EXPECT_GT(changed, 100) << "line " << line;
            EXPECT_EQ(outside, 0) << "pixels of the old line stay on screen; line " << line
                                  << " in " << size.width() << "x" << size.height();
        }
    }
}

TEST_F(FormGameTest, TimerShowsCapsLockAndTheBalloon) {
    TFormGame game;
    game.WindowActive = [] { return true; };
    game.show();
    plat::SetCapsLockSource([] { return true; });
    game.tmrAnimTimer();
    EXPECT_TRUE(game.lblVersion.isVisible());
    plat::SetCapsLockSource({});
    game.tmrAnimTimer();
    EXPECT_FALSE(game.lblVersion.isVisible());

    // Hovering a tale shows the active cursor and, after half a second, the balloon.
    game.UpdateHover(QPoint(30, 20));
    EXPECT_EQ(game.Scene()->HotRegion, 1);
    EXPECT_EQ(game.pbxMain.cursor().pixmap().cacheKey(),
              ScreenCursor(kCursorArrow2).pixmap().cacheKey());
    const QImage before = game.PaintBoxImage();
    tick += 600;
    game.tmrAnimTimer();
    EXPECT_TRUE(game.Scene()->Region(1).BalloonShown);
    EXPECT_EQ(game.WorkSurface()->Damage.First, nullptr) << "the damage reached the paint box";
    const TRect b = game.Scene()->Region(1).BalloonRect();
    const QRect balloon(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    EXPECT_NE(game.PaintBoxImage().copy(balloon), before.copy(balloon));
    EXPECT_EQ(game.PaintBoxImage().copy(0, 300, 100, 70), before.copy(0, 300, 100, 70))
        << "nothing else changed";
}

TEST_F(FormGameTest, LeavingTheSceneTakesTheBalloonAndWakesNobody) {
    TFormGame game;
    game.WindowActive = [] { return true; };
    game.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&game));
    const QImage clean = game.PaintBoxImage();
    game.UpdateHover(QPoint(30, 20)); // region 1
    tick += 600;
    game.tmrAnimTimer();
    ASSERT_TRUE(game.Scene()->Region(1).BalloonShown);
    ASSERT_NE(game.PaintBoxImage(), clean);

    // Out of the paint box onto the frame: Qt's leave event.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&game.pbxMain, &leave);
    EXPECT_EQ(game.Scene()->HotRegion, 0);
    EXPECT_FALSE(game.Scene()->Region(1).BalloonShown);
    EXPECT_EQ(game.Scene()->Anim(1).State, 0);
    EXPECT_EQ(game.pbxMain.cursor().pixmap().cacheKey(),
              ScreenCursor(kCursorArrow1).pixmap().cacheKey());
    const TRect b = game.Scene()->Region(1).BalloonRect();
    const QRect balloon(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    EXPECT_EQ(game.PaintBoxImage().copy(balloon), clean.copy(balloon)) << "the balloon went";
    EXPECT_EQ(game.PaintBoxImage().copy(20, 0, 40, 60), clean.copy(20, 0, 40, 60))
        << "the hovered characters rest";
}

TEST_F(FormGameTest, ClicksOpenTalesAndWordsAndAskBeforeQuitting) {
    TFormGame game;
    TFormWords words(game.Generator()->Vocab());
    TFormBook book(*game.Generator(), *game.Library());
    game.SetWindows(&words, &book);
    std::vector<QDialog*> shown;
    game.ShowModal = [&](QDialog& d) { shown.push_back(&d); };
    game.show();

    game.pbxMainMouseDown(QPoint(160, 230)); // region 2
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], &book);
    EXPECT_EQ(book.TaleNumber, 2);
    EXPECT_EQ(game.Scene()->HotRegion, 0) << "the hover ends before the book opens";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    game.pbxMainMouseDown(QPoint(470, 310)); // region 12
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], &words);

    QSignalSpy closed(&game, &TFormGame::Closed);
    {
        fbwtest::MessageCapture capture(plat::MsgAnswer::No);
        game.pbxMainMouseDown(QPoint(10, 300)); // region 13
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text, "Do you really want to quit?");
        EXPECT_EQ(capture.Messages()[0].buttons, plat::MsgButtons::YesNo);
        EXPECT_TRUE(game.isVisible());
    }
    game.pbxMainMouseDown(QPoint(520, 10)); // region 14 without devices
    EXPECT_FALSE(SoundOn);
    EXPECT_EQ(game.Scene()->Anim(20).FrameSource[0], TScene::kSoundOffFrame);
    {
        fbwtest::MessageCapture capture(plat::MsgAnswer::Yes);
        game.pbxMainMouseDown(QPoint(10, 300));
        EXPECT_FALSE(game.isVisible());
        EXPECT_EQ(closed.count(), 1);
    }
}
