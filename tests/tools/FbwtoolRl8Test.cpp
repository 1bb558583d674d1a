// fbwtool rl8: pack and export give back every pixel; list, palette, the
// three palette sources, transparency and the failures.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>

#include "support/TestSupport.h"

using fbwtest::RunTool;
using fbwtest::TempDir;

namespace {

uint32_t Crc(const std::string& s) {
    uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : s) {
        c ^= b;
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
}

void Be32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((v >> (8 * i)) & 255);
}

void Chunk(std::string& png, const char* type, const std::string& data) {
    Be32(png, static_cast<uint32_t>(data.size()));
    const std::string body = type + data;
    png += body;
    Be32(png, Crc(body));
}

// An 8-bit indexed PNG (stored, uncompressed deflate) of the given pixels,
// top row first. Palette entry i is (i, 255 - i, i / 2); Transparent >= 0
// adds a tRNS chunk making that index fully transparent.
std::string Png(uint32_t w, uint32_t h, const std::vector<uint8_t>& pixels, int transparent = -1,
                int paletteSize = 256) {
    std::string raw;
    for (uint32_t y = 0; y < h; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(&pixels[std::size_t{y} * w]), w);
    }
    std::string z("\x78\x01", 2);
    for (std::size_t pos = 0; pos < raw.size() || pos == 0;) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + n >= raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 255);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 255);
        z += static_cast<char>((~n >> 8) & 255);
        z += raw.substr(pos, n);
        pos += n;
        if (last)
            break;
    }
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Be32(z, (b << 16) | a);
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string ihdr;
    Be32(ihdr, w);
    Be32(ihdr, h);
    ihdr += std::string("\x08\x03\x00\x00\x00", 5);
    Chunk(png, "IHDR", ihdr);
    std::string plte;
    for (int i = 0; i < paletteSize; ++i)
        plte += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    Chunk(png, "PLTE", plte);
    if (transparent >= 0) {
        std::string trns(static_cast<std::size_t>(transparent), '\xFF');
        trns += '\0';
        Chunk(png, "tRNS", trns);
    }
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", "");
    return png;
}

std::string Raw(const std::vector<uint8_t>& p) {
    return std::string(p.begin(), p.end());
}

std::string PaletteText() {
    std::string t = "# test palette\n";
    for (int i = 0; i < 256; ++i)
        t += std::to_string(i) + " " + std::to_string(255 - i) + " " + std::to_string(i / 2) + "\n";
    return t;
}

struct Pic {
    std::string name;
    uint32_t w, h;
    std::vector<uint8_t> px;
};

} // namespace

TEST(FbwtoolRl8, PackThenExportGivesBackEveryPixel) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "pal.txt", PaletteText());
    std::mt19937 rng(5);
    std::vector<Pic> pics;
    const std::array<std::pair<uint32_t, uint32_t>, 9> sizes{
        {{1, 1}, {2, 5}, {3, 3}, {4, 70}, {1, 17000}, {550, 370}, {123, 600}, {9, 1}, {640, 110}}};
    int n = 0;
    for (auto [w, h] : sizes) {
        for (int kind = 0; kind < 4; ++kind) {
            Pic p{"img" + std::to_string(n++), w, h, std::vector<uint8_t>(std::size_t{w} * h)};
            for (uint32_t y = 0; y < h; ++y)
                for (uint32_t x = 0; x < w; ++x) {
                    uint8_t& v = p.px[std::size_t{y} * w + x];
                    switch (kind) {
                    case 0:
                        v = static_cast<uint8_t>(rng());
                        break; // noise
                    case 1:
                        v = 42;
                        break; // flat
                    case 2:
                        v = rng() % 40 ? 7 : static_cast<uint8_t>(rng());
                        break; // single pixels
                    default:
                        v = static_cast<uint8_t>((x / 8 + y / 6) % 5 * 50 + (x + y) % 2);
                    }
                }
            fbwtest::WriteBytes(dir / (p.name + ".png"), Png(w, h, p.px));
            pics.push_back(std::move(p));
        }
    }
    std::vector<std::string> args{"rl8", "pack", dir / "lib.rl8", "--palette", dir / "pal.txt"};
    for (const auto& p : pics)
        args.push_back(dir / (p.name + ".png"));
    auto r = RunTool(args);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& p : pics) {
        ASSERT_EQ(
            RunTool({"rl8", "export", dir / "lib.rl8", p.name, dir / "out.raw", "--raw"}).status,
            0);
        ASSERT_EQ(fbwtest::ReadBytes(dir / "out.raw"), Raw(p.px)) << p.name;
    }
    // The exported PNG holds the same pixels: pack it again and compare.
    const Pic& big = pics[21];
    ASSERT_EQ(RunTool({"rl8", "export", dir / "lib.rl8", big.name, dir / "e.png"}).status, 0);
    ASSERT_EQ(RunTool({"rl8", "pack", dir / "lib2.rl8", "--palette", dir / "lib.rl8",
                       "again=" + (dir / "e.png")})
                  .status,
              0);
    ASSERT_EQ(
        RunTool({"rl8", "export", dir / "lib2.rl8", "AGAIN", dir / "again.raw", "--raw"}).status,
        0);
    EXPECT_EQ(fbwtest::ReadBytes(dir / "again.raw"), Raw(big.px));
    // The copied palette is the same.
    EXPECT_EQ(fbwtest::ReadBytes(dir / "lib2.rl8").substr(0, 1030),
              fbwtest::ReadBytes(dir / "lib.rl8").substr(0, 1030));
}

TEST(FbwtoolRl8, ListTransparencyAndPalettes) {
    TempDir dir;
    std::vector<uint8_t> px(40 * 30);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(i % 7);
    fbwtest::WriteBytes(dir / "Sprite.png", Png(40, 30, px, 3));
    fbwtest::WriteBytes(dir / "wide.png", Png(700, 200, std::vector<uint8_t>(700 * 200, 9)));
    fbwtest::WriteBytes(dir / "pal.png", Png(1, 1, {0}, -1, 16));
    auto r =
        RunTool({"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.png", dir / "Sprite.png",
                 "bg=" + (dir / "wide.png") + ":t=9", "plain=" + (dir / "Sprite.png") + ":t=none"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunTool({"rl8", "list", dir / "a.rl8"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "bg 700x200 segments=3 state=1 transparent=9\n"
                     "plain 40x30 segments=1 state=1 transparent=none\n"
                     "sprite 40x30 segments=1 state=1 transparent=3\n");
    // The palette came from the PNG, padded with black.
    const std::string lib = fbwtest::ReadBytes(dir / "a.rl8");
    EXPECT_EQ(lib.substr(6 + 4 * 5, 4), std::string("\x02\xFA\x05\x00", 4));
    EXPECT_EQ(lib.substr(6 + 4 * 16, 4), std::string(4, '\0'));

    // The swatch is a 256 x 256 PNG; the exported sprite marks index 3.
    ASSERT_EQ(RunTool({"rl8", "palette", dir / "a.rl8", dir / "sw.png"}).status, 0);
    const std::string sw = fbwtest::ReadBytes(dir / "sw.png");
    EXPECT_EQ(sw.substr(16, 8), std::string("\0\0\1\0\0\0\1\0", 8));
    ASSERT_EQ(RunTool({"rl8", "export", dir / "a.rl8", "sprite", dir / "s.png"}).status, 0);
    const std::string s = fbwtest::ReadBytes(dir / "s.png");
    const auto trns = s.find("tRNS");
    ASSERT_NE(trns, std::string::npos);
    EXPECT_EQ(s.substr(trns + 4, 4), std::string("\xFF\xFF\xFF\x00", 4));
    EXPECT_EQ(RunTool({"--help"}).out.find("fbwtool rl8 pack OUT.rl8 --palette PALETTE IMAGE...") !=
                  std::string::npos,
              true);
}

TEST(FbwtoolRl8, FailuresPrintTheMessageAndExit1) {
    TempDir dir;
    fbwtest::WriteBytes(dir / "pal.txt", PaletteText());
    fbwtest::WriteBytes(dir / "a.png", Png(2, 2, {1, 2, 3, 4}));
    ASSERT_EQ(
        RunTool({"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt", dir / "a.png"}).status,
        0);
    auto r = RunTool({"rl8", "export", dir / "a.rl8", "b", dir / "b.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Image \"b\" does not exist"), std::string::npos) << r.err;
    const std::string bad = fbwtest::SourceDir() + "/tests/image/malformed/";
    r = RunTool({"rl8", "export", bad + "previous-row-in-row0.rl8", "img", dir / "x.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Decode: invalid line code"), std::string::npos) << r.err;
    r = RunTool({"rl8", "list", bad + "bad-magic.rl8"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ValidateRL8FileHeader: header invalid"), std::string::npos);
    EXPECT_FALSE(fbwtest::ReadBytes(dir / "x.png").size());

    // Bad palettes, names and inputs leave the old library alone.
    const std::string before = fbwtest::ReadBytes(dir / "a.rl8");
    fbwtest::WriteBytes(dir / "short.txt", "1 2 3\n");
    fbwtest::WriteBytes(dir / "odd.txt", "1 2 300\n");
    std::string grey = fbwtest::ReadBytes(dir / "a.png");
    grey.at(25) = '\0'; // the header's colour type byte: no longer a palette image
    fbwtest::WriteBytes(dir / "grey.png", grey);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "short.txt", dir / "a.png"},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "odd.txt", dir / "a.png"},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt",
              "waytoolong=" + (dir / "a.png")},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt", dir / "a.png",
              "A=" + (dir / "a.png")},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt", dir / "missing.png"},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt", dir / "pal.txt"},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt",
              "x=" + (dir / "a.png") + ":t=300"},
             {"rl8", "pack", dir / "a.rl8", dir / "a.png"},
             {"rl8", "pack", dir / "a.rl8", "--palette", dir / "pal.txt", dir / "grey.png"},
             {"rl8", "frobnicate"}}) {
        r = RunTool(args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_EQ(fbwtest::ReadBytes(dir / "a.rl8"), before);
}
