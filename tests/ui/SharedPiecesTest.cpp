// The window pieces every form shares: the cursor table, the form palette and
// both tiled backgrounds.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <memory>

#include "ui/Cursors.h"
#include "ui/RL8Tile.h"
#include "ui/TileBG.h"
#include "ui/FormPalette.h"
#include "image/RL8Exception.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/Screen.h"
#include "support/TestSupport.h"

namespace {

std::unique_ptr<TRL8Library> GameLib() {
    auto lib = std::make_unique<TRL8Library>();
    lib->Open(fbwtest::YarnsDir() + "/yarns.rl8");
    return lib;
}

QImage Grab(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool LooksHatched(const QImage& img) {
    int black = 0, white = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb c = img.pixel(x, y) & 0xFFFFFF;
            black += c == 0;
            white += c == 0xFFFFFF;
        }
    return black > 0 && white > 0 && black + white == img.width() * img.height();
}

} // namespace

TEST(Cursors, AllFiveLoadFromTheCompiledPictures) {
    LoadCursors();
    for (int n = 1; n <= kCursorCount; ++n) {
        ASSERT_TRUE(HasScreenCursor(n)) << ScreenCursorName(n);
        EXPECT_FALSE(ScreenCursor(n).pixmap().isNull());
    }
    EXPECT_EQ(ScreenCursor(kCursorArrowRight).hotSpot(), QPoint(16, 16));
    EXPECT_EQ(ScreenCursor(kCursorArrow1).hotSpot(), QPoint(1, 1));
    EXPECT_FALSE(HasScreenCursor(0));
    EXPECT_FALSE(HasScreenCursor(6));
    EXPECT_EQ(ScreenCursor(6).shape(), Qt::ArrowCursor);
    EXPECT_STREQ(ScreenCursorName(1), "ACTIVATE");
    EXPECT_STREQ(ScreenCursorName(5), "ARROW_2");
}

TEST(RealizeFormPalette, CountsChangesOnlyOnPaletteScreens) {
    QWidget form;
    EXPECT_EQ(RealizeFormPalette(&form, nullptr), 0);
    TRL8Library closed;
    EXPECT_EQ(RealizeFormPalette(&form, &closed), 0);

    auto lib = GameLib();
    EXPECT_EQ(RealizeFormPalette(&form, lib.get()), 0) << "true-colour screen";
    plat::SetScreenDepthSource([] { return 8; });
    QWidget other;
    EXPECT_GT(RealizeFormPalette(&other, lib.get()), 0) << "first realisation changes entries";
    EXPECT_EQ(RealizeFormPalette(&other, lib.get()), 0) << "nothing changed since";
    plat::SetScreenDepthSource({});
}

TEST(RL8TileBG, TilesFromTheGlobalLibraryAndHatchesWithout) {
    QWidget owner;
    owner.resize(150, 90);
    TRL8Tile bg(&owner);
    EXPECT_EQ(bg.size(), owner.size()) << "fills its owner";
    EXPECT_FALSE(bg.isEnabled());

    // A name set before any library is known is kept and loaded on paint.
    bg.SetImageName("grntile");
    EXPECT_TRUE(LooksHatched(Grab(bg)));
    {
        auto lib = GameLib();
        TRL8Tile::SetGlobalImageLibrary(lib.get());
        TRect seen{};
        bg.OnPaintOver = [&](QPainter&, const TRect& clip) { seen = clip; };
        QImage tiled = Grab(bg);
        EXPECT_FALSE(LooksHatched(tiled));
        EXPECT_EQ(seen, (TRect{0, 0, 150, 90}));
        ASSERT_NE(bg.GetSurface(), nullptr);
        const int tw = bg.GetSurface()->Width;
        // The grid repeats: a pixel equals the one a tile width on.
        EXPECT_EQ(tiled.pixel(3, 7), tiled.pixel(3 + tw, 7));
        owner.show();
        owner.resize(200, 100);
        EXPECT_EQ(bg.size(), owner.size()) << "follows its owner";

        // A name missing from the library paints the hatch and raises nothing.
        TRL8Tile missing(&owner);
        missing.SetImageName("nosuch");
        EXPECT_TRUE(LooksHatched(Grab(missing)));
        bg.OnPaintOver = nullptr; // it refers to this scope
    }
    // The library has gone: the global and the control's library are cleared.
    EXPECT_EQ(TRL8Tile::GlobalImageLibrary(), nullptr);
    EXPECT_EQ(bg.GetLibrary(), nullptr);
    EXPECT_TRUE(LooksHatched(Grab(bg)));
    // A new library takes over without touching the old tile.
    auto again = GameLib();
    TRL8Tile::SetGlobalImageLibrary(again.get());
    EXPECT_FALSE(LooksHatched(Grab(bg)));
    TRL8Tile::SetGlobalImageLibrary(nullptr);
}

TEST(RuntimeTileBG, FillsItsPanelBehindTheOtherControls) {
    auto lib = GameLib();
    QWidget panel;
    panel.resize(100, 40);
    QWidget button(&panel);
    TileBG::TTileBG bg(&panel, *lib, "booktile");
    EXPECT_EQ(bg.geometry(), panel.rect());
    EXPECT_EQ(panel.children().first(), &bg) << "sent to the back";
    ASSERT_NE(bg.Surface(), nullptr);
    QImage img = Grab(bg);
    EXPECT_EQ(img.pixel(1, 2), img.pixel(1 + bg.Surface()->Width, 2));
    EXPECT_THROW(TileBG::TTileBG(&panel, *lib, "nosuch"), RL8Exception);
}
