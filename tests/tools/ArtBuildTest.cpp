// artbuild, the art pipeline's renderer: the palette mapping keeps flat
// colours flat and never picks the key for an opaque pixel, see-through
// pixels become the key, the dither pattern appears only in gradients, bad
// input fails with a message, and the same sources give the same bytes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "support/TestSupport.h"

using fbwtest::ReadBytes;
using fbwtest::TempDir;
using fbwtest::WriteBytes;

namespace {

std::string Build() {
    std::string dir = fbwtest::YarnsDir();
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir + "../";
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Picture {
    int w = 0, h = 0;
    bool transparent = false;
    int key = 0;
    std::string px;
    int At(int x, int y) const { return static_cast<unsigned char>(px[std::size_t(y) * w + x]); }
};

class ArtBuild : public ::testing::Test {
protected:
    void SetUp() override {
        tool_ = Build() + "tools/artbuild/artbuild";
        if (!plat::FileExists(tool_))
            GTEST_SKIP() << "artbuild not built (it needs Qt)";
        palette_ = fbwtest::SourceDir() + "/assets/art/palette.txt";
    }

    // Runs artbuild; returns its exit status, its error output in err_.
    int Run(const std::vector<std::string>& args) {
        std::string cmd = "QT_QPA_PLATFORM=offscreen " + Quote(tool_);
        for (const auto& a : args)
            cmd += " " + Quote(a);
        cmd += " 2>" + Quote(dir_ / "err.txt");
        const int status = std::system(cmd.c_str());
        err_ = ReadBytes(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Renders svg at w x h with the given options and reads the indices back.
    Picture Render(const std::string& svg, int w, int h, std::vector<std::string> opts = {}) {
        WriteBytes(dir_ / "in.svg", svg);
        std::vector<std::string> args{"image",         "--palette",       palette_,
                                      dir_ / "in.svg", std::to_string(w), std::to_string(h),
                                      dir_ / "out.png"};
        args.insert(args.end(), opts.begin(), opts.end());
        Picture p;
        EXPECT_EQ(Run(args), 0) << err_;
        EXPECT_EQ(Run({"pixels", dir_ / "out.png", dir_ / "out.bin"}), 0) << err_;
        const std::string bin = ReadBytes(dir_ / "out.bin");
        const auto nl = bin.find('\n');
        int t = 0;
        if (nl == std::string::npos ||
            std::sscanf(bin.substr(0, nl).c_str(), "%d %d %d %d", &p.w, &p.h, &t, &p.key) != 4) {
            ADD_FAILURE() << "bad pixels output";
            return p;
        }
        p.transparent = t != 0;
        p.px = bin.substr(nl + 1);
        EXPECT_EQ(p.px.size(), std::size_t(p.w) * p.h);
        return p;
    }

    static std::string Svg(int w, int h, const std::string& body) {
        return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(w) +
               "\" height=\"" + std::to_string(h) + "\">" + body + "</svg>";
    }

    TempDir dir_;
    std::string tool_, palette_, err_;
};

} // namespace

TEST_F(ArtBuild, FlatPaletteColoursStayFlatEvenWithDithering) {
    // Entries 1 (credit green), 140 (a blue) and 255 (white) as flat areas.
    const std::string svg = Svg(30, 10,
                                "<rect width='10' height='10' fill='#00582a'/>"
                                "<rect x='10' width='10' height='10' fill='#1c3471'/>"
                                "<rect x='20' width='10' height='10' fill='#ffffff'/>");
    for (const auto& opts : {std::vector<std::string>{}, std::vector<std::string>{"dither"}}) {
        const Picture p = Render(svg, 30, 10, opts);
        ASSERT_EQ(p.w, 30);
        EXPECT_FALSE(p.transparent);
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 30; ++x)
                ASSERT_EQ(p.At(x, y), x < 10 ? 1 : (x < 20 ? 140 : 255)) << x << "," << y;
    }
}

TEST_F(ArtBuild, OpaquePixelsNeverTakeTheKeyAndClearOnesComeOutWhite) {
    // Pure magenta is the key's own colour: an opaque picture must map it to
    // some other entry. An empty (clear) opaque picture is white paper.
    const Picture p =
        Render(Svg(8, 4, "<rect width='4' height='4' fill='#ff00ff'/>"), 8, 4, {"dither"});
    ASSERT_EQ(p.w, 8);
    for (int x = 0; x < 8; ++x) {
        EXPECT_NE(p.At(x, 1), 254);
        if (x >= 4) {
            EXPECT_EQ(p.At(x, 1), 255);
        }
    }
}

TEST_F(ArtBuild, SeeThroughPixelsBecomeTheKeyInATransparentPicture) {
    const Picture p = Render(Svg(10, 4,
                                 "<rect width='4' height='4' fill='#c3292a'/>"
                                 "<rect x='4' width='3' height='4' fill='#c3292a' opacity='0.3'/>"),
                             10, 4, {"transparent"});
    ASSERT_EQ(p.w, 10);
    EXPECT_TRUE(p.transparent);
    EXPECT_EQ(p.key, 254);
    for (int x = 0; x < 10; ++x) {
        if (x < 4) {
            EXPECT_NE(p.At(x, 2), 254) << x;
        } else {
            EXPECT_EQ(p.At(x, 2), 254) << x << ": alpha below one half is see-through";
        }
    }
}

TEST_F(ArtBuild, GradientsAreDitheredBetweenNeighbouringShades) {
    // A sky gradient between two shades that lie between palette entries.
    const std::string svg =
        Svg(64, 16,
            "<defs><linearGradient id='g'><stop offset='0' stop-color='#7aa9dc'/>"
            "<stop offset='1' stop-color='#a6cbee'/></linearGradient></defs>"
            "<rect width='64' height='16' fill='url(#g)'/>");
    const Picture plain = Render(svg, 64, 16);
    const Picture dithered = Render(svg, 64, 16, {"dither"});
    ASSERT_EQ(dithered.w, 64);
    // Without dithering a column is one colour; with it a column mixes shades.
    int mixedColumns = 0;
    for (int x = 0; x < 64; ++x) {
        std::set<int> plainShades, ditherShades;
        for (int y = 0; y < 16; ++y) {
            plainShades.insert(plain.At(x, y));
            ditherShades.insert(dithered.At(x, y));
        }
        EXPECT_EQ(plainShades.size(), 1u) << x;
        EXPECT_LE(ditherShades.size(), 2u) << x << ": a pattern mixes two shades only";
        mixedColumns += ditherShades.size() == 2;
    }
    EXPECT_GT(mixedColumns, 16);
}

TEST_F(ArtBuild, SameSourcesGiveTheSameBytes) {
    const std::string scene = fbwtest::SourceDir() + "/assets/art/scene/scene.svg";
    const std::string balloons = fbwtest::SourceDir() + "/assets/art/scene/balloons.svg";
    TempDir a, b;
    ASSERT_EQ(Run({"scene", "--palette", palette_, scene, balloons, a.Path()}), 0) << err_;
    ASSERT_EQ(Run({"scene", "--palette", palette_, scene, balloons, b.Path()}), 0) << err_;
    for (const char* name : {"main.png", "animsrc.png", "speech.png"}) {
        const std::string bytes = ReadBytes(a / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == ReadBytes(b / name)) << name << " differs between two runs";
        // And the same as the build's own copy, when the build made one.
        const std::string built = Build() + "art/yarns/" + name;
        if (plat::FileExists(built)) {
            EXPECT_TRUE(bytes == ReadBytes(built)) << name << " differs from the build's";
        }
    }
    // Packing is reproducible too.
    const std::vector<std::string> pngs{a / "main.png", a / "animsrc.png", a / "speech.png"};
    for (const std::string& out : {a / "x.rl8", b / "x.rl8"}) {
        std::vector<std::string> args{"rl8", "pack", out, "--palette", palette_};
        args.insert(args.end(), pngs.begin(), pngs.end());
        const auto r = fbwtest::RunTool(args);
        ASSERT_EQ(r.status, 0) << r.err;
    }
    EXPECT_TRUE(ReadBytes(a / "x.rl8") == ReadBytes(b / "x.rl8")) << "packing differs";
}

TEST_F(ArtBuild, TheSceneDrawingsAreUpToDateWithTheirGenerator) {
    // scene.svg and balloons.svg are written by make_scene.py; an edit to one
    // side only would ship pictures nobody can rebuild.
    if (std::system("python3 -c pass >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "python3 not available";
    const std::string dir = fbwtest::SourceDir() + "/assets/art/scene/";
    const std::string cmd =
        "python3 " + Quote(dir + "make_scene.py") + " " + Quote(dir_.Path()) + " 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    for (const char* name : {"scene.svg", "balloons.svg"})
        EXPECT_TRUE(ReadBytes(dir_ / name) == ReadBytes(dir + name))
            << name << " differs from what make_scene.py writes";
}

TEST_F(ArtBuild, BadInputFailsWithAMessage) {
    // A palette with a missing line.
    std::string shortPalette;
    for (int i = 0; i < 255; ++i)
        shortPalette += "1 2 3\n";
    WriteBytes(dir_ / "short.txt", shortPalette);
    WriteBytes(dir_ / "ok.svg", Svg(4, 4, "<rect width='4' height='4' fill='red'/>"));
    EXPECT_EQ(
        Run({"image", "--palette", dir_ / "short.txt", dir_ / "ok.svg", "4", "4", dir_ / "o.png"}),
        1);
    EXPECT_NE(err_.find("255 colours, the palette needs 256"), std::string::npos) << err_;
    EXPECT_FALSE(plat::FileExists(dir_ / "o.png"));

    WriteBytes(dir_ / "bad.svg", "<svg><rect");
    EXPECT_EQ(Run({"image", "--palette", palette_, dir_ / "bad.svg", "4", "4", dir_ / "o.png"}), 1);
    EXPECT_NE(err_.find("bad.svg"), std::string::npos) << err_;

    for (const char* size : {"0", "x4", "-3", "99999999999"}) {
        EXPECT_EQ(Run({"image", "--palette", palette_, dir_ / "ok.svg", size, "4", dir_ / "o.png"}),
                  1);
        EXPECT_NE(err_.find("bad size"), std::string::npos) << size << ": " << err_;
    }
    EXPECT_EQ(
        Run({"image", "--palette", palette_, dir_ / "ok.svg", "4", "4", dir_ / "o.png", "sparkly"}),
        1);
    EXPECT_NE(err_.find("sparkly"), std::string::npos) << err_;

    // A scene without the groups the animations need names the missing one.
    WriteBytes(dir_ / "empty.svg", Svg(550, 370, "<g id='a1-rest'/>"));
    EXPECT_EQ(
        Run({"scene", "--palette", palette_, dir_ / "empty.svg", dir_ / "empty.svg", dir_.Path()}),
        1);
    EXPECT_NE(err_.find("no element with id"), std::string::npos) << err_;
    EXPECT_FALSE(plat::FileExists(dir_ / "main.png"));
}

TEST_F(ArtBuild, APoseThatReachesOutsideItsFrameIsRefused) {
    // Animation 3's frame is 10 x 13 at 124,201; its active pose here paints
    // a wide bar across it that the game would cut at the frame's edge.
    std::string body;
    for (int i = 1; i <= 19; ++i) {
        body += "<g id='a" + std::to_string(i) + "-rest'/>";
        body += i == 3 ? "<g id='a3-active' display='none'><rect x='100' y='205' width='60' "
                         "height='4' fill='red'/></g>"
                       : "<g id='a" + std::to_string(i) + "-active' display='none'/>";
    }
    body += "<g id='snd-on'/><g id='snd-off' display='none'/><g id='snd-hover' display='none'/>";
    WriteBytes(dir_ / "scene.svg", Svg(550, 370, body));
    std::string balloons;
    for (int i = 1; i <= 11; ++i)
        balloons += "<g id='b" + std::to_string(i) + "' display='none'/>";
    WriteBytes(dir_ / "balloons.svg", Svg(550, 370, balloons));
    EXPECT_EQ(Run({"scene", "--palette", palette_, dir_ / "scene.svg", dir_ / "balloons.svg",
                   dir_.Path()}),
              1);
    EXPECT_NE(err_.find("animation 3"), std::string::npos) << err_;
    EXPECT_NE(err_.find("outside its frame"), std::string::npos) << err_;
}
