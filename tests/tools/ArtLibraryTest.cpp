// The built image libraries: every picture the game asks for, at its size, in
// the one palette; the scene pictures agree with each other (frame 0 of every
// animation is "main" at its place, so switching frames shows no seam; every
// animation has a second frame; balloons lie inside "speech").
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "image/RL8Image.h"
#include "image/RL8Library.h"
#include "platform/Files.h"
#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;

namespace {

std::string InYarns(const std::string& name) {
    std::string dir = fbwtest::YarnsDir();
    if (!dir.empty() && dir.back() != '/')
        dir += '/';
    return dir + name;
}

struct Anim {
    int w, h, sceneX, sceneY, f0x, f0y, f1x, f1y;
};
// The twenty animations: size, place in the scene, frame 0 and frame 1 in
// "animsrc" (animation 20: frame 0 with the sound on).
const std::array<Anim, 20> kAnims{{
    {31, 28, 24, 1, 0, 0, 31, 0},          {18, 21, 33, 34, 82, 0, 100, 0},
    {10, 13, 124, 201, 62, 0, 72, 0},      {51, 68, 158, 207, 0, 28, 51, 28},
    {25, 34, 466, 24, 102, 28, 102, 62},   {19, 22, 462, 62, 118, 0, 137, 0},
    {52, 68, 10, 216, 127, 28, 179, 28},   {22, 27, 36, 124, 156, 0, 178, 0},
    {24, 18, 294, 330, 200, 0, 224, 0},    {20, 25, 195, 24, 248, 0, 268, 0},
    {37, 46, 487, 142, 0, 96, 37, 96},     {38, 53, 447, 247, 266, 28, 304, 28},
    {36, 37, 175, 161, 74, 96, 110, 96},   {24, 42, 86, 260, 146, 96, 170, 96},
    {25, 25, 86, 308, 288, 0, 313, 0},     {48, 42, 324, 229, 194, 96, 242, 96},
    {35, 33, 302, 276, 231, 28, 231, 61},  {78, 47, 469, 300, 0, 142, 78, 142},
    {43, 25, 11, 305, 156, 142, 199, 142}, {41, 26, 508, 2, 290, 133, 290, 107},
}};
constexpr int kSoundOffX = 290, kSoundOffY = 81;

struct Balloon {
    int x, y, w, h;
};
const std::array<Balloon, 11> kBalloons{{{174, 0, 120, 42},
                                         {0, 72, 174, 72},
                                         {174, 72, 124, 71},
                                         {0, 144, 155, 72},
                                         {174, 144, 138, 71},
                                         {0, 216, 107, 41},
                                         {174, 216, 166, 41},
                                         {0, 288, 174, 41},
                                         {174, 288, 173, 71},
                                         {0, 360, 153, 72},
                                         {0, 0, 173, 71}}};

constexpr int kKey = 254;

// One exported picture: indices, top row first.
struct Pixels {
    int w = 0, h = 0;
    std::string px;
    int At(int x, int y) const { return static_cast<uint8_t>(px[std::size_t(y) * w + x]); }
};

class ArtLibrary : public ::testing::Test {
protected:
    void SetUp() override {
        if (!plat::FileExists(InYarns("yarns.rl8")))
            GTEST_SKIP() << "no game library built (the art needs Qt)";
        yarns_.Open(InYarns("yarns.rl8"));
    }

    // Header of an image, or none when the library lacks it.
    std::optional<TRL8ImageHeader> Header(TRL8Library& lib, const std::string& name) {
        if (!lib.ImageExists(name))
            return std::nullopt;
        return lib.ReadImageHeaders(name);
    }

    Pixels Export(const std::string& name) {
        auto it = cache_.find(name);
        if (it != cache_.end())
            return it->second;
        Pixels p;
        auto header = Header(yarns_, name);
        if (!header) {
            ADD_FAILURE() << name << " missing";
            return p;
        }
        p.w = header->Width;
        p.h = header->Height;
        const auto r =
            RunTool({"rl8", "export", InYarns("yarns.rl8"), name, dir_ / (name + ".raw"), "--raw"});
        EXPECT_EQ(r.status, 0) << r.err;
        p.px = fbwtest::ReadBytes(dir_ / (name + ".raw"));
        EXPECT_EQ(p.px.size(), std::size_t(p.w) * p.h) << name;
        cache_[name] = p;
        return p;
    }

    TRL8Library yarns_;
    TempDir dir_;
    std::map<std::string, Pixels> cache_;
};

std::vector<std::array<int, 3>> ReadPaletteText() {
    std::ifstream in(fbwtest::SourceDir() + "/assets/art/palette.txt");
    std::vector<std::array<int, 3>> pal;
    int r, g, b;
    while (in >> r >> g >> b)
        pal.push_back({r, g, b});
    return pal;
}

} // namespace

TEST_F(ArtLibrary, EveryPictureTheGameNamesIsThereAtItsSize) {
    struct Want {
        const char* name;
        int w, h; // 0: any size
        bool transparent;
    };
    const Want wants[] = {
        {"main", 550, 370, false},     {"animsrc", 0, 0, false},      {"speech", 0, 0, true},
        {"book", 500, 300, false},     {"grntile", 0, 0, false},      {"bktile3", 0, 0, false},
        {"booktile", 0, 0, false},     {"Cinders", 150, 450, false},  {"Goldilox", 150, 450, false},
        {"Hansel", 150, 450, false},   {"Jack", 150, 450, false},     {"RR-Hood", 150, 450, false},
        {"Rapunzel", 150, 450, false}, {"Rumpel", 150, 450, false},   {"Sleeping", 150, 450, false},
        {"Ginger", 150, 450, false},   {"Tortoise", 150, 450, false}, {"readtome", 150, 25, true},
        {"readpace", 144, 20, true},
    };
    for (const Want& want : wants) {
        auto h = Header(yarns_, want.name);
        ASSERT_TRUE(h) << want.name << " missing from yarns.rl8";
        if (want.w) {
            EXPECT_EQ(h->Width, want.w) << want.name;
            EXPECT_EQ(h->Height, want.h) << want.name;
        }
        EXPECT_EQ(h->Transparent != 0, want.transparent) << want.name;
        if (want.transparent) {
            EXPECT_EQ(h->TransparentColour, kKey) << want.name;
        }
    }

    // The sheets hold every frame and balloon rectangle.
    auto frames = Header(yarns_, "animsrc");
    auto speech = Header(yarns_, "speech");
    ASSERT_TRUE(frames && speech);
    for (const Anim& a : kAnims) {
        EXPECT_LE(std::max(a.f0x, a.f1x) + a.w, frames->Width);
        EXPECT_LE(std::max(a.f0y, a.f1y) + a.h, frames->Height);
        EXPECT_LE(a.sceneX + a.w, 550);
        EXPECT_LE(a.sceneY + a.h, 370);
    }
    EXPECT_LE(kSoundOffY + 26, frames->Height);
    for (const Balloon& b : kBalloons) {
        EXPECT_LE(b.x + b.w, speech->Width);
        EXPECT_LE(b.y + b.h, speech->Height);
    }

    // The loading picture lives in the start-up library, see-through around it.
    ASSERT_TRUE(plat::FileExists(InYarns("FBWstart.rl8")));
    TRL8Library start;
    start.Open(InYarns("FBWstart.rl8"));
    auto icon = Header(start, "rh2_icon");
    ASSERT_TRUE(icon) << "rh2_icon missing from FBWstart.rl8";
    EXPECT_EQ(icon->Width, 62);
    EXPECT_EQ(icon->Height, 103);
    EXPECT_TRUE(icon->Transparent);
    EXPECT_EQ(icon->TransparentColour, kKey);
}

TEST_F(ArtLibrary, BothLibrariesCarryThePaletteWithItsFixedColours) {
    const auto pal = ReadPaletteText();
    ASSERT_EQ(pal.size(), 256u);
    EXPECT_EQ(pal[0], (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(pal[255], (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(pal[kKey], (std::array<int, 3>{255, 0, 255}));
    // The credit line's five greens must be exact, or it cannot fade in.
    const std::array<std::array<int, 3>, 5> credit{
        {{0, 88, 42}, {0, 135, 64}, {90, 173, 109}, {178, 227, 8}, {199, 255, 192}}};
    for (const auto& want : credit)
        EXPECT_NE(std::find(pal.begin(), pal.end(), want), pal.end())
            << want[0] << "," << want[1] << "," << want[2];
    // The key colour is only a key: no other entry is the same colour.
    EXPECT_EQ(std::count(pal.begin(), pal.end(), pal[kKey]), 1);

    TRL8Library start;
    start.Open(InYarns("FBWstart.rl8"));
    for (TRL8Library* lib : {&yarns_, &start}) {
        const auto& bgrx = lib->FilePalette();
        ASSERT_EQ(bgrx.size(), 1024u);
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(bgrx[i * 4 + 2], pal[i][0]) << lib->FileName << " entry " << i;
            EXPECT_EQ(bgrx[i * 4 + 1], pal[i][1]) << lib->FileName << " entry " << i;
            EXPECT_EQ(bgrx[i * 4], pal[i][2]) << lib->FileName << " entry " << i;
        }
    }
}

TEST_F(ArtLibrary, OpaquePicturesNeverUseTheKeyColour) {
    for (const char* name : {"main", "animsrc", "book", "Cinders", "Tortoise"}) {
        const Pixels p = Export(name);
        EXPECT_EQ(p.px.find(static_cast<char>(kKey)), std::string::npos) << name;
    }
}

TEST_F(ArtLibrary, FrameZeroOfEveryAnimationIsTheSceneAtItsPlace) {
    const Pixels main = Export("main");
    const Pixels frames = Export("animsrc");
    ASSERT_EQ(main.w, 550);
    for (std::size_t i = 0; i < kAnims.size(); ++i) {
        const Anim& a = kAnims[i];
        int differ = 0;
        for (int y = 0; y < a.h; ++y)
            for (int x = 0; x < a.w; ++x)
                differ += main.At(a.sceneX + x, a.sceneY + y) != frames.At(a.f0x + x, a.f0y + y);
        EXPECT_EQ(differ, 0) << "animation " << i + 1 << ": frame 0 differs from main";
    }
}

TEST_F(ArtLibrary, EveryAnimationMovesAndTheSoundSwitchShowsThreeStates) {
    const Pixels frames = Export("animsrc");
    auto changed = [&](int ax, int ay, int bx, int by, int w, int h) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                n += frames.At(ax + x, ay + y) != frames.At(bx + x, by + y);
        return n;
    };
    for (std::size_t i = 0; i < kAnims.size(); ++i) {
        const Anim& a = kAnims[i];
        // A handful of pixels would be a blink nobody sees; 8 is the least
        // a visible change of pose takes here.
        EXPECT_GE(changed(a.f0x, a.f0y, a.f1x, a.f1y, a.w, a.h), 8)
            << "animation " << i + 1 << " has no visible second frame";
    }
    const Anim& s = kAnims[19];
    EXPECT_GE(changed(s.f0x, s.f0y, kSoundOffX, kSoundOffY, s.w, s.h), 8) << "sound on vs off";
    EXPECT_GE(changed(s.f1x, s.f1y, kSoundOffX, kSoundOffY, s.w, s.h), 8) << "hover vs off";
}

TEST_F(ArtLibrary, BalloonsLieInsideTheirRectanglesAndCarryWords) {
    const Pixels speech = Export("speech");
    auto inBalloon = [&](int x, int y) {
        for (const Balloon& b : kBalloons)
            if (x >= b.x && x < b.x + b.w && y >= b.y && y < b.y + b.h)
                return true;
        return false;
    };
    int stray = 0;
    for (int y = 0; y < speech.h; ++y)
        for (int x = 0; x < speech.w; ++x)
            if (!inBalloon(x, y) && speech.At(x, y) != kKey)
                ++stray;
    EXPECT_EQ(stray, 0) << "opaque pixels outside every balloon";

    const auto pal = ReadPaletteText();
    for (std::size_t i = 0; i < kBalloons.size(); ++i) {
        const Balloon& b = kBalloons[i];
        int opaque = 0, dark = 0;
        for (int y = b.y; y < b.y + b.h; ++y)
            for (int x = b.x; x < b.x + b.w; ++x) {
                const int c = speech.At(x, y);
                if (c == kKey)
                    continue;
                ++opaque;
                if (pal[c][0] + pal[c][1] + pal[c][2] < 3 * 96)
                    ++dark;
            }
        // Mostly paper, with an outline and lettering; see-through corners.
        EXPECT_GT(opaque, b.w * b.h * 6 / 10) << "balloon " << i + 1;
        EXPECT_LT(opaque, b.w * b.h) << "balloon " << i + 1 << " has no see-through corner";
        EXPECT_GT(dark, b.w * b.h / 25) << "balloon " << i + 1 << " has no words";
        // The balloon's middle is paper or ink, never a hole.
        EXPECT_NE(speech.At(b.x + b.w / 2, b.y + b.h / 2 - 1), kKey) << "balloon " << i + 1;
    }
}

TEST_F(ArtLibrary, BookPiecesLieInsideTheBookSheet) {
    auto book = Header(yarns_, "book");
    ASSERT_TRUE(book);
    // x, y, w, h of every piece the storybook window cuts from "book".
    const int pieces[][4] = {{0, 0, 100, 100},     {0, 200, 100, 100},   {400, 0, 100, 100},
                             {400, 200, 100, 100}, {200, 0, 200, 100},   {200, 200, 200, 100},
                             {100, 0, 100, 100},   {100, 200, 100, 100}, {0, 100, 100, 100},
                             {400, 100, 100, 100}, {250, 100, 100, 100}, {100, 100, 100, 100},
                             {350, 100, 40, 80},   {200, 100, 40, 25},   {200, 125, 40, 25},
                             {200, 150, 40, 25},   {200, 175, 40, 25}};
    for (const auto& p : pieces) {
        EXPECT_LE(p[0] + p[2], book->Width) << p[0] << "," << p[1];
        EXPECT_LE(p[1] + p[3], book->Height) << p[0] << "," << p[1];
    }
}
