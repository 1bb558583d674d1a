// Lifetimes and edge paths of the image engine: bands dropped from memory and
// read again, allocations that fail while a band is read, releasing after
// closing, headers that outlive their library, and co-ordinates at the ends
// of the 32-bit range.
#include <gtest/gtest.h>

#include <climits>

#include "Rl8TestUtil.h"
#include "image/RL8FileWriter.h"
#include "platform/MemoryBlock.h"
#include "platform/MemoryDrawTarget.h"

using rl8test::MessageOf;
using rl8test::Picture;

namespace {

// A picture whose runs make its coded bands much shorter than its rows.
Picture Stripes(const std::string& name, uint16_t w, uint16_t h) {
    Picture p{name, w, h, std::vector<uint8_t>(std::size_t{w} * h), -1};
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            p.pixels[std::size_t{y} * w + x] = static_cast<uint8_t>((x / 9 + y / 4) % 200 + 1);
    return p;
}

// Drops the storage of every band of the image, as memory pressure may.
void DiscardAll(TRL8Image& image) {
    for (uint32_t i = 0; i < image.Banding().Count; ++i)
        ASSERT_TRUE(image.Segments()[i].Discard()) << "band " << i;
}

struct Painted {
    std::vector<uint32_t> pixels;
};

Painted Paint(TRL8Library& lib, TImageNode* node) {
    plat::MemoryDrawTarget dc(node->Image->Width, node->Image->Height);
    dc.SelectPalette(lib.GetHPal());
    lib.DrawImage(dc, node);
    return Painted{dc.Pixels()};
}

} // namespace

TEST(RL8Lifetime, DiscardedDecodedBandsDrawTheSamePixels) {
    const Picture pic = Stripes("scene", 300, 500);
    auto lib = rl8test::Open(rl8test::Library({pic}));
    TImageNode* node = lib->GetImage("scene");
    ASSERT_GE(node->Image->Banding().Count, 3u);
    TRL8ImageData* surface = lib->GetImageData(node);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->CopyPixels(), pic.pixels);
    const Painted first = Paint(*lib, node);

    // Each path that reads a band: row addressing, painting, drawing onto
    // another surface, display and the record writer.
    DiscardAll(*node->Image);
    EXPECT_EQ(surface->CopyPixels(), pic.pixels);
    DiscardAll(*node->Image);
    EXPECT_EQ(Paint(*lib, node).pixels, first.pixels);

    TImageNode* work = lib->CreateImage("work", 300, 500);
    TRL8ImageData* ws = lib->GetImageData(work);
    DiscardAll(*node->Image);
    ws->Draw(TPoint{0, 0}, *surface, TRect{0, 0, 300, 500});
    EXPECT_EQ(ws->CopyPixels(), pic.pixels);

    DiscardAll(*node->Image);
    plat::MemoryDrawTarget dc(300, 500);
    dc.SelectPalette(lib->GetHPal());
    EXPECT_EQ(surface->DisplayRect(dc, TPoint{0, 0}, TRect{0, 0, 300, 500}), 500);
    EXPECT_EQ(dc.Pixels(), first.pixels);

    DiscardAll(*node->Image);
    TRL8FileWriter writer(rl8test::TestPalette());
    writer.AddImage(*node->Image);
    auto copy = rl8test::Open(writer.Bytes());
    EXPECT_EQ(copy->GetImageData(copy->GetImage("scene"))->CopyPixels(), pic.pixels);

    // A blank image has no file to read its bands from again: they stay.
    for (uint32_t i = 0; i < work->Image->Banding().Count; ++i)
        EXPECT_FALSE(work->Image->Segments()[i].Discard());
}

TEST(RL8Lifetime, FailedBandReadRecoversWhenMemoryReturns) {
    // A plain image is read band by band on first use.
    const std::string rows("\1\2\3\0\4\5\6\0", 8);
    auto plain = rl8test::Open(rl8test::FileHead() +
                               rl8test::Record("p", 3, 2, 2, {rl8test::Segment{0, 0, 0, rows}}));
    TRL8ImageData* ps = plain->GetImageData(plain->GetImage("p"));
    ASSERT_NE(ps, nullptr);
    plat::MemoryBlock::FailAllocationAfter(1);
    EXPECT_EQ(MessageOf([&] { ps->CopyPixels(); }), "Allocate: out of memory");
    plat::MemoryBlock::FailAllocationAfter(0);
    EXPECT_EQ(ps->CopyPixels(), (std::vector<uint8_t>{4, 5, 6, 1, 2, 3}));

    // A decoded band read again needs two blocks (the stored bytes and the
    // rows); either may fail.
    const Picture pic = Stripes("scene", 64, 40);
    auto lib = rl8test::Open(rl8test::Library({pic}));
    TImageNode* node = lib->GetImage("scene");
    TRL8ImageData* surface = lib->GetImageData(node);
    for (int failing : {1, 2}) {
        DiscardAll(*node->Image);
        plat::MemoryBlock::FailAllocationAfter(failing);
        EXPECT_EQ(MessageOf([&] { surface->CopyPixels(); }), "Allocate: out of memory");
        plat::MemoryBlock::FailAllocationAfter(0);
        EXPECT_EQ(surface->CopyPixels(), pic.pixels) << failing;
    }
}

TEST(RL8Lifetime, ReleaseAfterCloseAndHeadersWithoutTheLibrary) {
    auto lib = rl8test::Open(rl8test::Library({Stripes("grass", 30, 20)}));
    TImageNode* gone = lib->GetImage("grass");
    lib->Close();
    lib->ReleaseImage(gone); // freed by Close: ignored

    // A node of another library is not this library's to count down.
    lib = rl8test::Open(rl8test::Library({Stripes("grass", 30, 20)}));
    auto other = rl8test::Open(rl8test::Library({Stripes("sky", 8, 8)}));
    TImageNode* sky = other->GetImage("sky");
    lib->ReleaseImage(sky);
    EXPECT_EQ(sky->UseCount, 1);

    auto header = lib->ReadImageHeaders("GRASS");
    lib.reset();
    EXPECT_EQ(header.Width, 30);
    EXPECT_EQ(header.Height, 20);
    EXPECT_EQ(header.SegmentCount, 1);
    EXPECT_EQ(header.State, TRL8Image::kCoded);
}

TEST(RL8Lifetime, CoordinatesAtTheEndsOfTheRange) {
    // Strides that do not fit 32 bits are unbandable, not a division by zero.
    EXPECT_FALSE(TRL8Banding::Compute(UINT32_MAX, 1).Valid);
    EXPECT_FALSE(TRL8Banding::Compute(UINT32_MAX - 2, 7).Valid);

    auto lib = rl8test::Open(rl8test::Library({Stripes("tile", 8, 4)}));
    TRL8ImageData* s = lib->GetImageData(lib->GetImage("tile"));
    plat::MemoryDrawTarget dc(8, 4, 0xFF123456u);
    dc.SelectPalette(lib->GetHPal());
    const std::vector<uint32_t> blank = dc.Pixels();
    // The visible part of a rectangle far outside lands far outside.
    s->DisplayRect(dc, TPoint{0, 0}, TRect{INT32_MIN, INT32_MIN, 8, 4});
    s->DisplayRect(dc, TPoint{INT32_MAX, INT32_MAX}, TRect{2, 2, 8, 4});
    EXPECT_EQ(dc.Pixels(), blank);

    // Damage shown at a far origin, and an inverted entry, paint nothing.
    s->Damage.AddDamageRect(TRect{1, 1, 3, 2});
    s->Damage.AddDamageRect(TRect{5, 5, -2, -2});
    s->DisplayDamage(dc, TPoint{INT32_MAX, INT32_MAX});
    EXPECT_EQ(dc.Pixels(), blank);
    EXPECT_EQ(s->Damage.Count(), 0);
    s->Damage.AddDamageRect(TRect{6, 3, 2, 1});
    s->DisplayDamage(dc, TPoint{INT32_MIN, 0});
    EXPECT_EQ(dc.Pixels(), blank);
}
