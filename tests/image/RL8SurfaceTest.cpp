// Segments and surfaces: memory states, row addressing across bands,
// composition with clipping and transparency, damage, and display through
// the mask and paint passes.
#include <gtest/gtest.h>

#include "Rl8TestUtil.h"
#include "platform/MemoryDrawTarget.h"
#include "platform/MemoryStream.h"

using rl8test::MessageOf;

namespace {

// A blank image with its own surface; pixel (x, y) can be set and read.
struct Surface {
    TRL8Image image;
    std::unique_ptr<TRL8ImageData> data;

    Surface(uint16_t w, uint16_t h, int transparent = -1) {
        image.Initialize("s", nullptr, h, w);
        image.Transparent = transparent >= 0;
        image.TransparentColour = static_cast<uint8_t>(transparent >= 0 ? transparent : 0);
        data = image.CreateImageData(&plat::BitmapInfo::Template());
    }
    ~Surface() { image.FreeImageData(std::move(data)); }
    void Set(int x, int y, uint8_t v) {
        *data->StartLine(x, y) = v;
        data->UnlockSegment(x, y);
    }
    uint8_t Get(int x, int y) {
        const uint8_t v = *data->StartLine(x, y);
        data->UnlockSegment(x, y);
        return v;
    }
    void Fill(uint8_t v) {
        for (int y = 0; y < data->Height; ++y)
            for (int x = 0; x < data->Width; ++x)
                Set(x, y, v);
    }
    std::vector<TRect> Damage() {
        std::vector<TRect> r;
        for (TLumNode* n = data->Damage.Next(nullptr); n; n = data->Damage.Next(n))
            r.push_back(static_cast<TDamageNode*>(n)->Rect);
        return r;
    }
};

bool AnyLocked(TRL8Image& image) {
    for (uint32_t i = 0; i < image.SegmentCount; ++i)
        if (image.Segments()[i].IsLocked())
            return true;
    return false;
}

} // namespace

TEST(RL8Segment, MemoryStates) {
    TRL8ImageSegment seg(nullptr, 0);
    seg.Free(); // empty: nothing to do
    EXPECT_FALSE(seg.HasBlock());
    EXPECT_EQ(MessageOf([&] { seg.Lock(); }), "Segment Lock: segment buffer not allocated");
    seg.Allocate(12, plat::kMemZeroInit);
    EXPECT_EQ(seg.DataSize(), 12);
    uint8_t* p = seg.Lock();
    EXPECT_EQ(seg.Lock(), p) << "a second lock gives the same address";
    seg.Unlock();
    EXPECT_FALSE(seg.IsLocked());
    seg.Flags = TRL8ImageSegment::kCoded | TRL8ImageSegment::kRawRows;
    auto block = seg.Detach();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->Size(), 12u);
    EXPECT_EQ(block->LockCount(), 0);
    EXPECT_FALSE(seg.HasBlock());
    EXPECT_EQ(seg.DataSize(), 0);
    EXPECT_EQ(seg.Flags, TRL8ImageSegment::kRawRows);
    plat::MemoryBlock::FailAllocationAfter(1);
    EXPECT_EQ(MessageOf([&] { seg.Allocate(4, 0); }), "Allocate: out of memory");
    plat::MemoryBlock::FailAllocationAfter(0);
}

TEST(RL8Segment, PlaceholderReadsItsDataOnFirstLock) {
    // A plain two-row image of width 3: its one segment is read on first lock.
    std::string rows("\1\2\3\0\4\5\6\0", 8);
    const std::string bytes =
        rl8test::FileHead() + rl8test::Record("p", 3, 2, 2, {rl8test::Segment{0, 0, 0, rows}});
    plat::MemoryStream stream(bytes);
    stream.Seek(1030);
    TRL8Image image;
    image.LoadFromStream(stream);
    TRL8ImageSegment& seg = image.Segments()[0];
    EXPECT_TRUE(seg.IsPlaceholder());
    EXPECT_EQ(seg.DataSize(), 8);
    const uint8_t* p = seg.Lock();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 8), rows);
    seg.Unlock();
    EXPECT_FALSE(seg.IsPlaceholder());
}

TEST(RL8Surface, RowAddressingAcrossBands) {
    Surface s(550, 370); // bands of 93, 93, 93 and 91 rows
    TRL8ImageData& d = *s.data;
    EXPECT_EQ(d.BandRows(), 93u);
    EXPECT_EQ(d.BandRect(0), (TRect{0, 277, 550, 370}));
    EXPECT_EQ(d.BandRect(3), (TRect{0, 0, 550, 91}));
    int32_t y = 90;
    uint8_t* p = d.StartLine(5, y);
    uint8_t* q = d.PrevStartLine(p, 5, y);
    EXPECT_EQ(y, 89);
    EXPECT_EQ(q, p + 552) << "inside a band the row above is one stride on";
    q = d.NextStartLine(q, 5, y);
    EXPECT_EQ(q, p);
    q = d.NextStartLine(q, 5, y); // row 91 lies in band 2
    EXPECT_EQ(y, 91);
    EXPECT_FALSE(s.image.Segments()[3].IsLocked());
    EXPECT_TRUE(s.image.Segments()[2].IsLocked());
    *q = 77;
    d.UnlockSegment(5, 91);
    EXPECT_FALSE(AnyLocked(s.image));
    EXPECT_EQ(s.Get(5, 91), 77);

    EXPECT_EQ(MessageOf([&] { d.StartLine(550, 0); }),
              "StartLine: co-ordinates outside drawing area");
    EXPECT_EQ(MessageOf([&] { d.StartLine(0, -1); }),
              "StartLine: co-ordinates outside drawing area");
    int32_t last = 369;
    EXPECT_EQ(MessageOf([&] { d.NextStartLine(nullptr, 0, last); }),
              "NextStartLine: co-ordinates outside drawing area");
    int32_t first = 0;
    EXPECT_EQ(MessageOf([&] { d.PrevStartLine(nullptr, 0, first); }),
              "PrevStartLine: co-ordinates outside drawing area");
    EXPECT_EQ(MessageOf([&] { d.UnlockSegment(0, 370); }),
              "UnlockSegment: co-ordinates outside drawing area");
}

TEST(RL8Surface, DrawClipsAndRecordsDamage) {
    Surface dest(100, 80);
    Surface src(40, 40);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            src.Set(x, y, static_cast<uint8_t>(1 + x + y * 2));

    // A source rectangle starting at (-10, -5) keeps its pixels in place.
    dest.data->Draw(TPoint{20, 20}, *src.data, TRect{-10, -5, 5, 5});
    EXPECT_EQ(dest.Get(30, 25), src.Get(0, 0));
    EXPECT_EQ(dest.Get(34, 29), src.Get(4, 4));
    EXPECT_EQ(dest.Get(35, 29), 0);
    EXPECT_EQ(dest.Damage(), (std::vector<TRect>{{30, 25, 35, 30}}));
    dest.data->Damage.Clear();

    // At (-20, -20) only the lower-right quarter lands, in the top-left corner.
    dest.data->Draw(TPoint{-20, -20}, *src.data, src.data->GetBounds());
    EXPECT_EQ(dest.Get(0, 0), src.Get(20, 20));
    EXPECT_EQ(dest.Get(19, 19), src.Get(39, 39));
    EXPECT_EQ(dest.Get(20, 0), 0);
    EXPECT_EQ(dest.Damage(), (std::vector<TRect>{{0, 0, 20, 20}}));
    dest.data->Damage.Clear();

    // Wholly outside: nothing drawn, no damage. Inverted source rectangles
    // are normalised.
    dest.data->Draw(TPoint{100, 10}, *src.data, src.data->GetBounds());
    dest.data->Draw(TPoint{10, -40}, *src.data, src.data->GetBounds());
    EXPECT_TRUE(dest.Damage().empty());
    dest.data->Draw(TPoint{90, 70}, *src.data, TRect{40, 40, 0, 0});
    EXPECT_EQ(dest.Get(99, 79), src.Get(9, 9));
    EXPECT_EQ(dest.Damage(), (std::vector<TRect>{{90, 70, 100, 80}}));
    EXPECT_FALSE(AnyLocked(dest.image));
    EXPECT_FALSE(AnyLocked(src.image));
}

TEST(RL8Surface, TransparentDrawingAcrossBands) {
    Surface dest(300, 400, -1); // several bands
    ASSERT_GT(dest.image.SegmentCount, 1);
    Surface sprite(37, 250, 3);
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 37; ++x)
            sprite.Set(x, y, (x * 7 + y) % 5 == 0 ? 3 : static_cast<uint8_t>(10 + (x + y) % 50));
    dest.Fill(200);
    dest.data->Draw(TPoint{11, 100}, *sprite.data, sprite.data->GetBounds());
    for (int y = 0; y < 250; ++y)
        for (int x = 0; x < 37; ++x) {
            const uint8_t v = sprite.Get(x, y);
            ASSERT_EQ(dest.Get(11 + x, 100 + y), v == 3 ? 200 : v) << x << "," << y;
        }
    EXPECT_EQ(dest.Get(10, 100), 200);
    EXPECT_EQ(dest.Get(48, 349), 200);

    // An all-transparent source changes nothing but still records damage.
    Surface clear(5, 5, 3);
    clear.Fill(3);
    dest.data->Damage.Clear();
    dest.data->Draw(TPoint{0, 0}, *clear.data, clear.data->GetBounds());
    EXPECT_EQ(dest.Get(0, 0), 200);
    EXPECT_EQ(dest.Damage(), (std::vector<TRect>{{0, 0, 5, 5}}));
}

TEST(RL8Surface, DisplayCopiesMasksAndKeys) {
    plat::LogPalette pal;
    for (int i = 0; i < 256; ++i)
        pal.Entries[static_cast<std::size_t>(i)] = {static_cast<uint8_t>(i), 0,
                                                    static_cast<uint8_t>(255 - i), 0};
    pal.Entries[0] = {0, 0, 0, 0};
    pal.Entries[255] = {255, 255, 255, 0};

    // 10 x 200 surface: rows (550-wide images have bands of 93 rows; a 10-wide
    // one has a single band, so use a wide one to span two bands).
    Surface s(400, 200, 9);
    ASSERT_EQ(s.image.SegmentCount, 2);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            s.Set(x, y, (x + y) % 4 == 0 ? 9 : static_cast<uint8_t>(1 + y % 100));
    const TRect band0 = s.data->BandRect(0);
    const TRect area{3, band0.Top - 4, 13, band0.Top + 3}; // spans both bands

    plat::MemoryDrawTarget dc(50, 300, 0xFF00FF00u);
    dc.SelectPalette(&pal);
    EXPECT_EQ(s.data->DisplayRect(dc, TPoint{20, 30}, area), 7);
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x) {
            const uint8_t v = s.Get(x, y);
            ASSERT_EQ(dc.Rgb(20 + x - area.Left, 30 + y - area.Top),
                      v == 9 ? 0x00FF00u : pal.Rgb(v))
                << x << "," << y;
        }
    EXPECT_EQ(dc.Pixel(19, 30), 0xFF00FF00u);
    EXPECT_EQ(dc.Pixel(30, 30), 0xFF00FF00u);
    EXPECT_EQ(dc.Pixel(20, 37), 0xFF00FF00u);

    // With a display key the transparent colour shows as the key colour.
    s.data->SetDisplayKey(77);
    s.data->DisplayRect(dc, TPoint{0, 100}, area);
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x) {
            const uint8_t v = s.Get(x, y);
            ASSERT_EQ(dc.Rgb(x - area.Left, 100 + y - area.Top), pal.Rgb(v == 9 ? 77 : v));
        }

    // An opaque surface copies; a rectangle partly outside is clipped in place.
    Surface o(6, 4);
    o.Fill(5);
    plat::MemoryDrawTarget dc2(10, 10, 0xFF000000u);
    dc2.SelectPalette(&pal);
    EXPECT_EQ(o.data->DisplayRect(dc2, TPoint{2, 2}, TRect{-2, -2, 3, 3}), 3);
    EXPECT_EQ(dc2.Rgb(3, 3), 0u);
    EXPECT_EQ(dc2.Rgb(4, 4), pal.Rgb(5));
    EXPECT_EQ(dc2.Rgb(6, 6), pal.Rgb(5));
    EXPECT_EQ(dc2.Rgb(7, 6), 0u);
    EXPECT_EQ(o.data->DisplayRect(dc2, TPoint{0, 0}, TRect{6, 0, 9, 4}), 0);

    o.data->BitmapInfo = nullptr;
    EXPECT_EQ(MessageOf([&] {
                  o.data->DisplayRect(dc2, TPoint{}, TRect{0, 0, 1, 1});
              }),
              "PBMInfo not initialized for Display");
}

TEST(RL8Surface, DisplayDamageShowsEachRectangleOnceAndEmpties) {
    plat::LogPalette pal;
    for (int i = 0; i < 256; ++i)
        pal.Entries[static_cast<std::size_t>(i)] = {static_cast<uint8_t>(i), 1, 2, 0};
    Surface s(20, 10);
    s.Fill(40);
    plat::MemoryDrawTarget dc(40, 40, 0xFF000000u);
    dc.SelectPalette(&pal);
    s.data->DisplayDamage(dc, TPoint{});
    EXPECT_EQ(dc.Pixel(0, 0), 0xFF000000u);
    s.data->AddDamage(TRect{5, 5, 2, 2});    // inverted: normalised
    s.data->AddDamage(TRect{3, 3, 4, 4});    // inside the first: dropped
    s.data->AddDamage(TRect{18, 8, 30, 30}); // clipped to the surface
    EXPECT_EQ(s.Damage(), (std::vector<TRect>{{2, 2, 5, 5}, {18, 8, 20, 10}}));
    s.data->DisplayDamage(dc, TPoint{10, 10});
    EXPECT_TRUE(s.Damage().empty());
    EXPECT_EQ(dc.Rgb(12, 12), pal.Rgb(40));
    EXPECT_EQ(dc.Rgb(14, 14), pal.Rgb(40));
    EXPECT_EQ(dc.Rgb(15, 15), 0u);
    EXPECT_EQ(dc.Rgb(29, 19), pal.Rgb(40));
    EXPECT_EQ(dc.Rgb(30, 19), 0u);
}
