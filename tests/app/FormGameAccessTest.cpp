// The main window for players without a mouse, with a screen reader, or on
// a large screen: the scene's scale for the window's size and its crisp
// blocks, hit testing, balloon and cursor at 2x; the keys reaching the scene
// and opening what a click opens; the mouse taking over; and the scene as
// Qt's accessibility shows it (fourteen named buttons with their places and
// the press action), and the loading window's name.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QDialog>
#include <QTest>

#include "AppFixture.h"
#include "app/FormGame.h"
#include "app/FormLoading.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "scene/Scene.h"
#include "sound/AppSound.h"
#include "story/Generate.h"
#include "support/TestWaveOutService.h"
#include "ui/Cursors.h"
#include "wordlist/forms/FormWords.h"

namespace {

class FormGameAccessTest : public AppFixture {
protected:
    // A game with its two windows, shown; windows it opens are recorded, not shown.
    void Start() {
        game = std::make_unique<TFormGame>();
        ASSERT_TRUE(game->Loaded());
        words = std::make_unique<TFormWords>(game->Generator()->Vocab());
        book = std::make_unique<TFormBook>(*game->Generator(), *game->Library());
        game->SetWindows(words.get(), book.get());
        game->ShowModal = [this](QDialog& d) { shown.push_back(&d); };
        game->WindowActive = [] { return true; };
        game->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(game.get()));
        game->tmrAnim.stop(); // the tests drive the timer
    }
    void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(&game->pbxMain, static_cast<Qt::Key>(key), mods);
    }
    // The windows go before the game whose generator and library they use.
    void Stop() {
        book.reset();
        words.reset();
        game.reset();
    }
    // How long the scene's characters stay still from now.
    int64_t IdleFor() { return static_cast<int32_t>(game->Scene()->IdleUntil - tick); }
    QAccessibleInterface* SceneInterface() {
        return QAccessible::queryAccessibleInterface(&game->pbxMain);
    }

    std::unique_ptr<TFormGame> game;
    std::unique_ptr<TFormWords> words;
    std::unique_ptr<TFormBook> book;
    std::vector<QDialog*> shown;
};

} // namespace

TEST_F(FormGameAccessTest, TheSceneGrowsByWholeStepsWithTheWindow) {
    Start();
    EXPECT_EQ(game->SceneScale(), 1);
    EXPECT_EQ(game->pbxMain.geometry(), QRect(20, 20, 550, 370));
    game->resize(1920, 1080);
    EXPECT_EQ(game->SceneScale(), 2);
    EXPECT_EQ(game->pbxMain.geometry(), QRect(410, 170, 1100, 740));
    game->resize(1179, 819);
    EXPECT_EQ(game->SceneScale(), 1) << "just under twice the normal size";
    EXPECT_EQ(game->pbxMain.geometry(), QRect(314, 224, 550, 370));
    game->resize(590, 410);
    EXPECT_EQ(game->SceneScale(), 1);
    EXPECT_EQ(game->pbxMain.geometry(), QRect(20, 20, 550, 370));
    EXPECT_EQ(game->PaintBoxImage().size(), QSize(550, 370)) << "the picture stays at design size";
}

TEST_F(FormGameAccessTest, AtTwiceTheSizeEveryPixelIsABlockAndTheMouseHitsAlike) {
    Start();
    game->resize(1920, 1080);
    QCoreApplication::processEvents();
    ASSERT_EQ(game->SceneScale(), 2);

    // Region 1 spans scene x 22..54: shown x 44..109.
    game->pbxMainMouseMove(QPoint(60, 40));
    EXPECT_EQ(game->Scene()->HotRegion, 1);
    game->pbxMainMouseMove(QPoint(109, 40));
    EXPECT_EQ(game->Scene()->HotRegion, 1);
    game->pbxMainMouseMove(QPoint(110, 40));
    EXPECT_EQ(game->Scene()->HotRegion, 0) << "scene x 55 is the right edge";
    game->pbxMainMouseMove(QPoint(43, 40));
    EXPECT_EQ(game->Scene()->HotRegion, 0);
    game->pbxMainMouseMove(QPoint(44, 40));
    EXPECT_EQ(game->Scene()->HotRegion, 1);

    // The pointer is twice as large, its hot spot twice as far in.
    const QCursor big = game->pbxMain.cursor();
    const QCursor normal = ScreenCursor(kCursorArrow2);
    EXPECT_EQ(big.pixmap().size(), normal.pixmap().size() * 2);
    EXPECT_EQ(big.hotSpot(), normal.hotSpot() * 2);

    // The balloon, drawn at design size, shows at twice its place and size.
    tick += 600;
    game->tmrAnimTimer();
    ASSERT_TRUE(game->Scene()->Region(1).BalloonShown);
    QCoreApplication::processEvents();
    const QImage onScreen = game->pbxMain.grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(onScreen.size(), QSize(1100, 740));
    const TRect b = game->Scene()->Region(1).BalloonRect();
    const QRect balloon(b.Left, b.Top, b.Right - b.Left, b.Bottom - b.Top);
    const QImage expected = game->PaintBoxImage().copy(balloon).scaled(
        balloon.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_EQ(onScreen.copy(QRect(balloon.topLeft() * 2, balloon.size() * 2)), expected);
    // The whole picture: each pixel a crisp 2 x 2 block.
    EXPECT_EQ(onScreen, game->PaintBoxImage().scaled(1100, 740, Qt::IgnoreAspectRatio,
                                                     Qt::FastTransformation));

    // The frame is four pixels wide now.
    const QImage window = game->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect p = game->pbxMain.geometry();
    for (int d = 1; d <= 4; ++d) {
        EXPECT_EQ(qRgb(0, 0, 0), window.pixel(p.left() - d, p.top() + 50)) << d;
        EXPECT_EQ(qRgb(0, 0, 0), window.pixel(p.right() + d, p.top() + 50)) << d;
        EXPECT_EQ(qRgb(0, 0, 0), window.pixel(p.left() + 50, p.top() - d)) << d;
        EXPECT_EQ(qRgb(0, 0, 0), window.pixel(p.left() + 50, p.bottom() + d)) << d;
    }
    EXPECT_NE(qRgb(0, 0, 0), window.pixel(p.left() - 5, p.top() + 50));
}

TEST_F(FormGameAccessTest, KeysMoveTheFocusAndOpenWhatAClickOpens) {
    Start();
    const QImage clean = game->PaintBoxImage();
    Key(Qt::Key_Tab);
    EXPECT_EQ(game->Scene()->Focus(), 1);
    EXPECT_EQ(game->Scene()->HotRegion, 1);
    EXPECT_GE(IdleFor(), 2490) << "a key is activity";
    EXPECT_NE(game->PaintBoxImage(), clean) << "the outline and the awake characters show";
    EXPECT_EQ(game->WorkSurface()->Damage.First, nullptr) << "the damage reached the paint box";
    Key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(game->Scene()->Focus(), 14);
    Key(Qt::Key_Backtab);
    EXPECT_EQ(game->Scene()->Focus(), 13);
    Key(Qt::Key_Right);
    EXPECT_EQ(game->Scene()->Focus(), 10);
    Key(Qt::Key_Right);
    EXPECT_EQ(game->Scene()->Focus(), 2);

    Key(Qt::Key_Return);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], book.get());
    EXPECT_EQ(book->TaleNumber, 2);
    EXPECT_EQ(game->Scene()->HotRegion, 0) << "the hover ends before the book opens";
    EXPECT_EQ(game->Scene()->Focus(), 2) << "the focus waits for the player's return";

    game->Scene()->SetFocus(12, tick);
    Key(Qt::Key_Space);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], words.get());
    game->Scene()->SetFocus(11, tick);
    Key(Qt::Key_Enter);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_GE(book->TaleNumber, 1);
    EXPECT_LE(book->TaleNumber, 10);

    // A key the scene does not use is still activity and changes nothing.
    tick += 10000;
    Key(Qt::Key_A);
    EXPECT_GE(IdleFor(), 2490);
    EXPECT_EQ(game->Scene()->Focus(), 11);
    // Control+Tab is not the scene's.
    Key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(game->Scene()->Focus(), 11);

    Key(Qt::Key_Escape);
    EXPECT_EQ(game->Scene()->Focus(), 0);
    EXPECT_EQ(game->Scene()->HotRegion, 0);
    EXPECT_EQ(game->PaintBoxImage().copy(0, 0, 100, 100), clean.copy(0, 0, 100, 100));

    // Quitting by keyboard asks first.
    game->Scene()->SetFocus(13, tick);
    {
        fbwtest::MessageCapture capture(plat::MsgAnswer::No);
        Key(Qt::Key_Return);
        ASSERT_EQ(capture.Messages().size(), 1u);
        EXPECT_EQ(capture.Messages()[0].text, "Do you really want to quit?");
        EXPECT_TRUE(game->isVisible());
    }
}

TEST_F(FormGameAccessTest, TabReachesTheSceneFromAnywhereInTheWindow) {
    Start();
    game->pbxMain.clearFocus();
    QTest::keyClick(game.get(), Qt::Key_Tab);
    EXPECT_EQ(game->Scene()->Focus(), 1);
    EXPECT_TRUE(game->pbxMain.hasFocus());
    QTest::keyClick(game.get(), Qt::Key_Down);
    EXPECT_EQ(game->Scene()->Focus(), 4);
}

TEST_F(FormGameAccessTest, TheMouseTakesOverWhenItMoves) {
    Start();
    game->pbxMainMouseMove(QPoint(300, 100)); // no region
    Key(Qt::Key_Tab);
    ASSERT_EQ(game->Scene()->Focus(), 1);
    // The same place again (a window opening or closing above the pointer).
    game->pbxMainMouseMove(QPoint(300, 100));
    EXPECT_EQ(game->Scene()->Focus(), 1);
    // A leave either.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&game->pbxMain, &leave);
    EXPECT_EQ(game->Scene()->Focus(), 1);
    EXPECT_EQ(game->Scene()->HotRegion, 1);
    // A real move does.
    game->pbxMainMouseMove(QPoint(301, 100));
    EXPECT_EQ(game->Scene()->Focus(), 0);
    EXPECT_EQ(game->Scene()->HotRegion, 0);
    EXPECT_FALSE(game->Scene()->Outline().Shown());
}

TEST_F(FormGameAccessTest, TheSceneIsAGroupOfFourteenButtonsForAScreenReader) {
    Start();
    QAccessibleInterface* scene = SceneInterface();
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->role(), QAccessible::Grouping);
    EXPECT_EQ(scene->text(QAccessible::Name), "Fairy-tale valley");
    ASSERT_EQ(scene->childCount(), 14);
    const QStringList names = {"Cinderella",
                               "Goldilocks and the Three Bears",
                               "Hansel and Gretel",
                               "Jack and the Beanstalk",
                               "Little Red Riding Hood",
                               "Rapunzel",
                               "Rumpelstiltskin",
                               "Sleeping Beauty",
                               "The Gingerbread Man",
                               "The Tortoise and the Hare",
                               "A surprise tale",
                               "Word lists",
                               "Quit",
                               "Sound off"}; // no audio output here
    for (int i = 0; i < 14; ++i) {
        QAccessibleInterface* button = scene->child(i);
        ASSERT_NE(button, nullptr) << i;
        EXPECT_TRUE(button->isValid());
        EXPECT_EQ(button->role(), QAccessible::Button);
        EXPECT_EQ(button->text(QAccessible::Name), names[i]);
        EXPECT_EQ(button->parent(), scene);
        EXPECT_EQ(scene->indexOfChild(button), i);
        EXPECT_EQ(scene->child(i), button) << "the same button when asked again";
        const TRect r = game->Scene()->RegionArea(i + 1);
        EXPECT_EQ(button->rect(), QRect(game->pbxMain.mapToGlobal(QPoint(r.Left, r.Top)),
                                        QSize(r.Right - r.Left, r.Bottom - r.Top)))
            << names[i].toStdString();
        QAccessibleActionInterface* action = button->actionInterface();
        ASSERT_NE(action, nullptr);
        EXPECT_TRUE(action->actionNames().contains(QAccessibleActionInterface::pressAction()));
        // A point of the region finds its button.
        const TRect hit = game->Scene()->Region(i + 1).HitRect;
        const QPoint inside = game->pbxMain.mapToGlobal(
            QPoint((hit.Left + hit.Right) / 2, (hit.Top + hit.Bottom) / 2));
        EXPECT_EQ(scene->childAt(inside.x(), inside.y()), button);
    }
    EXPECT_EQ(scene->child(14), nullptr);
    const QPoint nowhere = game->pbxMain.mapToGlobal(QPoint(300, 100));
    EXPECT_EQ(scene->childAt(nowhere.x(), nowhere.y()), nullptr);

    // At twice the size the buttons are where the regions are shown.
    game->resize(1920, 1080);
    QAccessibleInterface* goldilocks = scene->child(1);
    const TRect r = game->Scene()->Region(2).HitRect;
    EXPECT_EQ(goldilocks->rect(), QRect(game->pbxMain.mapToGlobal(QPoint(2 * r.Left, 2 * r.Top)),
                                        QSize(2 * (r.Right - r.Left), 2 * (r.Bottom - r.Top))));

    // The keyboard's focus is the focused button.
    game->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(game.get()));
    game->pbxMain.setFocus();
    EXPECT_EQ(scene->focusChild(), nullptr);
    Key(Qt::Key_Tab);
    Key(Qt::Key_Tab);
    ASSERT_TRUE(game->pbxMain.hasFocus());
    EXPECT_EQ(scene->focusChild(), goldilocks);
    EXPECT_TRUE(goldilocks->state().focused);
    EXPECT_FALSE(scene->child(0)->state().focused);

    // Pressing opens the tale once the event loop turns: the caller has its
    // answer first.
    goldilocks->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(shown.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], book.get());
    EXPECT_EQ(book->TaleNumber, 2);
    scene->child(11)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1], words.get());
    // Not while a window the scene opened is up.
    {
        QDialog modal;
        modal.setModal(true);
        modal.show();
        ASSERT_EQ(QApplication::activeModalWidget(), &modal);
        goldilocks->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::processEvents();
        EXPECT_EQ(shown.size(), 2u);
    }
    // Another action name does nothing.
    goldilocks->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QCoreApplication::processEvents();
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(FormGameAccessTest, TheSoundButtonSaysWhetherTheSoundIsOn) {
    auto previous = plat::SetWaveOutService(std::make_unique<fbwtest::TestWaveOutService>());
    Start();
    ASSERT_TRUE(SoundOn);
    QAccessibleInterface* sound = SceneInterface()->child(13);
    EXPECT_EQ(sound->text(QAccessible::Name), "Sound on");
    sound->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCoreApplication::processEvents();
    EXPECT_FALSE(SoundOn);
    EXPECT_EQ(sound->text(QAccessible::Name), "Sound off");
    Stop();
    plat::SetWaveOutService(std::move(previous));
}

TEST_F(FormGameAccessTest, ALoadFailureShowsNoButtonsAndTheLoadingWindowHasAName) {
    {
        fbwtest::TempDir program;
        ProgramFolder = program.Path();
        fbwtest::MessageCapture capture;
        TFormGame failed;
        ASSERT_FALSE(failed.Loaded());
        QAccessibleInterface* scene = QAccessible::queryAccessibleInterface(&failed.pbxMain);
        ASSERT_NE(scene, nullptr);
        EXPECT_EQ(scene->childCount(), 0);
        EXPECT_EQ(scene->child(0), nullptr);
    }
    TRL8Library lib;
    lib.Open(fbwtest::YarnsDir() + "/FBWstart.rl8");
    TFormLoading loading(lib);
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&loading);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), "Loading Fablewhirl");
}

// A closed window is no longer among the application's accessible children
// (a screen reader lists the application's windows from them): the loading
// window once it has gone, the book once it closed; shown again, the book is
// back.
TEST_F(FormGameAccessTest, ClosedWindowsLeaveTheApplicationsTree) {
    QAccessibleInterface* app = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(app, nullptr);
    const auto listed = [app](QWidget& window) {
        for (int i = 0; i < app->childCount(); ++i)
            if (QAccessibleInterface* child = app->child(i); child && child->object() == &window)
                return true;
        return false;
    };
    TRL8Library lib;
    lib.Open(fbwtest::YarnsDir() + "/FBWstart.rl8");
    TFormLoading loading(lib);
    loading.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&loading));
    EXPECT_TRUE(listed(loading));
    QTest::keyClick(&loading, Qt::Key_Space); // no waiting out its time
    loading.hide();
    EXPECT_FALSE(listed(loading));

    Start();
    EXPECT_TRUE(listed(*game));
    for (int opening = 0; opening < 2; ++opening) {
        book->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(book.get()));
        EXPECT_TRUE(listed(*book)) << opening;
        book->close();
        EXPECT_FALSE(listed(*book)) << opening;
        EXPECT_TRUE(listed(*game));
    }
    Stop();
}
