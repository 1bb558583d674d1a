// Coding and decoding give back every pixel: single codings and the chosen
// coding, over random and structured pictures of many sizes, through the
// library file and the surfaces.
#include <gtest/gtest.h>

#include <random>

#include "Rl8TestUtil.h"
#include "image/RL8Decoder.h"
#include "image/RL8Encoder.h"

using rl8test::Picture;

namespace {

enum class Kind { Flat, Noise, Sparse, Stripes, Blocks, Escapes, Gradient, Mixed };

// Pixels of one kind of picture, top row first.
std::vector<uint8_t> Make(Kind kind, uint32_t w, uint32_t h, std::mt19937& rng) {
    std::vector<uint8_t> p(std::size_t{w} * h);
    std::uniform_int_distribution<int> byte(0, 255);
    const uint8_t base = static_cast<uint8_t>(byte(rng));
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t& v = p[std::size_t{y} * w + x];
            switch (kind) {
            case Kind::Flat:
                v = base;
                break;
            case Kind::Noise:
                v = static_cast<uint8_t>(byte(rng));
                break;
            case Kind::Sparse: // single pixels on a flat ground
                v = rng() % 53 == 0 ? static_cast<uint8_t>(byte(rng)) : base;
                break;
            case Kind::Stripes:
                v = static_cast<uint8_t>(base + (x / 3 + y / 5) % 4);
                break;
            case Kind::Blocks:
                v = static_cast<uint8_t>(base * ((x / 17) ^ (y / 11)));
                break;
            case Kind::Escapes: // few values, so that every value is an escape candidate
                v = static_cast<uint8_t>(rng() % 3 ? 0 : rng() % 2);
                break;
            case Kind::Gradient:
                v = static_cast<uint8_t>((x * 255) / (w ? w : 1));
                break;
            case Kind::Mixed:
                v = (x + y) % 29 < 20 ? static_cast<uint8_t>(y % 7 + (x / 40))
                                      : static_cast<uint8_t>(byte(rng));
                break;
            }
        }
    }
    return p;
}

// Bottom-up rows of Stride bytes, as a segment holds them.
std::vector<uint8_t> Stored(const std::vector<uint8_t>& top, uint32_t w, uint32_t h) {
    const uint32_t stride = (w + 3) & ~3u;
    std::vector<uint8_t> rows(std::size_t{stride} * h, 0);
    for (uint32_t y = 0; y < h; ++y)
        std::copy_n(&top[std::size_t{y} * w], w, &rows[std::size_t{h - 1 - y} * stride]);
    return rows;
}

std::vector<uint8_t> DecodeCoded(const TRL8Encoder::Coded& c, uint32_t w, uint32_t rows) {
    const uint32_t stride = (w + 3) & ~3u;
    std::vector<uint8_t> out(std::size_t{stride} * rows, 0xCC);
    const auto* src = reinterpret_cast<const uint8_t*>(c.Data.data());
    if (c.Flags & TRL8ImageSegment::kSimple)
        TRL8Decoder::DecodeSimple(src, c.Data.size(), out.data(), w, stride, rows, c.Escape1);
    else
        TRL8Decoder::DecodeLineCodes(src, c.Data.size(), out.data(), w, stride, rows, c.Escape1,
                                     c.Escape2, !(c.Flags & TRL8ImageSegment::kRawRows));
    return out;
}

constexpr Kind kKinds[] = {Kind::Flat,   Kind::Noise,   Kind::Sparse,   Kind::Stripes,
                           Kind::Blocks, Kind::Escapes, Kind::Gradient, Kind::Mixed};

} // namespace

TEST(RL8RoundTrip, EveryCodingDecodesToItsRows) {
    std::mt19937 rng(7);
    for (Kind kind : kKinds) {
        for (uint32_t w : {1u, 2u, 3u, 4u, 5u, 13u, 64u, 301u}) {
            const uint32_t h = 1 + rng() % 40;
            const auto rows = Stored(Make(kind, w, h, rng), w, h);
            const uint32_t stride = (w + 3) & ~3u;
            uint8_t e1, e2;
            TRL8Encoder::ChooseEscapes(rows.data(), w, stride, h, e1, e2);
            ASSERT_NE(e1, e2);
            const TRL8Encoder::Coded codings[] = {
                {0, 0, 8 | 1, TRL8Encoder::EncodeRawRows(rows.data(), w, stride, h)},
                {e1, e2, 8, TRL8Encoder::EncodeLineCodes(rows.data(), w, stride, h, e1, e2)},
                {e2, e2, 8 | 2, TRL8Encoder::EncodeSimple(rows.data(), w, stride, h, e2)},
                {e2, e1, 8, TRL8Encoder::EncodeLineCodes(rows.data(), w, stride, h, e2, e1)},
                TRL8Encoder::EncodeSegment(rows.data(), w, stride, h)};
            for (const auto& c : codings)
                ASSERT_EQ(DecodeCoded(c, w, h), rows)
                    << "kind " << int(kind) << " " << w << "x" << h << " flags " << int(c.Flags);
        }
    }
}

TEST(RL8RoundTrip, ChosenCodingIsTheSmallest) {
    std::mt19937 rng(11);
    for (Kind kind : kKinds) {
        const uint32_t w = 97, h = 60, stride = 100;
        const auto rows = Stored(Make(kind, w, h, rng), w, h);
        const auto c = TRL8Encoder::EncodeSegment(rows.data(), w, stride, h);
        uint8_t e1, e2;
        TRL8Encoder::ChooseEscapes(rows.data(), w, stride, h, e1, e2);
        EXPECT_LE(c.Data.size(), std::size_t{w} * h);
        EXPECT_LE(c.Data.size(),
                  TRL8Encoder::EncodeLineCodes(rows.data(), w, stride, h, e1, e2).size());
    }
    // A flat picture codes to a few bytes, noise to literal rows.
    std::vector<uint8_t> flat(400 * 50, 9);
    EXPECT_LT(TRL8Encoder::EncodeSegment(flat.data(), 400, 400, 50).Data.size(), 200u);
    const auto noise = Stored(Make(Kind::Noise, 400, 50, rng), 400, 50);
    EXPECT_EQ(TRL8Encoder::EncodeSegment(noise.data(), 400, 400, 50).Flags, 8 | 1);
}

TEST(RL8RoundTrip, LibraryFilesGiveBackEveryPixel) {
    std::mt19937 rng(3);
    std::vector<Picture> pictures;
    int n = 0;
    // Widths 1 to 4, odd widths, and heights that make several bands.
    const std::pair<uint16_t, uint16_t> sizes[] = {{1, 1},      {2, 3},     {3, 17},    {4, 9},
                                                   {1, 20000},  {4, 40000}, {550, 370}, {301, 400},
                                                   {1000, 200}, {7, 65535}};
    for (auto [w, h] : sizes) {
        for (Kind kind : {Kind::Flat, Kind::Noise, Kind::Sparse, Kind::Mixed}) {
            Picture p;
            p.name = "p" + std::to_string(n++);
            p.width = w;
            p.height = h;
            p.pixels = Make(kind, w, h, rng);
            p.transparent = n % 3 ? -1 : n;
            pictures.push_back(std::move(p));
        }
    }
    auto lib = rl8test::Open(rl8test::Library(pictures));
    for (const Picture& p : pictures) {
        TImageNode* node = lib->GetImage(p.name);
        ASSERT_EQ(node->Image->SegmentCount, TRL8Banding::Compute(p.width, p.height).Count);
        TRL8ImageData* s = lib->GetImageData(node);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->TransparentKey(), p.transparent);
        ASSERT_EQ(rl8test::Rows(*s), p.pixels) << p.name << " " << p.width << "x" << p.height;
        lib->ReleaseImageData(node);
        lib->ReleaseImage(node);
    }
    EXPECT_EQ(lib->Images().Count(), 0);
}
