// The image library: directory, shared images and surfaces, blank images,
// painting, the logical palette and the reference list.
#include <gtest/gtest.h>

#include "Rl8TestUtil.h"
#include "platform/MemoryDrawTarget.h"
#include "platform/MemoryStream.h"
#include "platform/SystemPalette.h"

using rl8test::MessageOf;
using rl8test::Picture;
using rl8test::Segment;

namespace {

Picture Pic(const std::string& name, uint16_t w, uint16_t h, uint8_t fill, int transparent = -1) {
    Picture p{name, w, h, std::vector<uint8_t>(std::size_t{w} * h, fill), transparent};
    return p;
}

// A one-row literal image record of width W filled with V.
std::string FlatRecord(const std::string& name, uint16_t w, uint8_t v) {
    return rl8test::Record(name, w, 1, 1, {Segment{0, 0, 8, std::string{6, static_cast<char>(v)}}});
}

} // namespace

TEST(RL8Library, DirectoryTakesTheLastRecordOfANameWhateverItsCase) {
    const std::string bytes = rl8test::FileHead() + FlatRecord("Tree", 3, 1) +
                              FlatRecord("house", 2, 2) + FlatRecord("TREE", 5, 3);
    auto lib = rl8test::Open(bytes);
    ASSERT_EQ(lib->Directory().size(), 2u);
    EXPECT_TRUE(lib->ImageExists("tReE"));
    EXPECT_FALSE(lib->ImageExists("tre"));
    EXPECT_EQ(lib->ImageOffset("house"), 1030 + 27);
    EXPECT_EQ(lib->ImageOffset("tree"), 1030 + 54);
    TImageNode* tree = lib->GetImage("tree");
    uint16_t w, h;
    lib->GetImageSize(tree, w, h);
    EXPECT_EQ(w, 5);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(rl8test::Rows(*lib->GetImageData(tree)), std::vector<uint8_t>(5, 3));
    // A file that ends exactly after its last record opens; an empty library too.
    EXPECT_NO_THROW(rl8test::Open(rl8test::FileHead()));
}

TEST(RL8Library, ImagesAreSharedAndCounted) {
    auto lib = rl8test::Open(rl8test::Library({Pic("grass", 30, 20, 4), Pic("sky", 8, 8, 9, 9)}));
    TImageNode* a = lib->GetImage("GRASS");
    TImageNode* b = lib->GetImage("grass");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->UseCount, 2);
    EXPECT_EQ(lib->Images().Count(), 1);
    TRL8ImageData* s1 = lib->GetImageData(a);
    TRL8ImageData* s2 = lib->GetImageData(a);
    EXPECT_EQ(s1, s2);
    EXPECT_EQ(a->DataUseCount, 2);
    lib->ReleaseImageData(a);
    EXPECT_NE(a->ImageData, nullptr);
    lib->ReleaseImageData(a);
    EXPECT_EQ(a->ImageData, nullptr);
    lib->ReleaseImage(a);
    EXPECT_EQ(lib->Images().Count(), 1);
    lib->ReleaseImage(b);
    EXPECT_EQ(lib->Images().Count(), 0);
    lib->ReleaseImage(nullptr);

    EXPECT_EQ(MessageOf([&] { lib->GetImage("Cloud"); }), "Image \"Cloud\" does not exist");
    EXPECT_EQ(lib->Images().Count(), 0);
    // Close frees images whatever their counts; a closed library has no images.
    lib->GetImage("sky");
    lib->Close();
    EXPECT_EQ(lib->Images().Count(), 0);
    EXPECT_EQ(MessageOf([&] { lib->GetImage("sky"); }), "Image \"sky\" does not exist");
    EXPECT_EQ(lib->ImageOffset("sky"), 0);
}

TEST(RL8Library, BlankImagesAndDrawing) {
    auto lib = rl8test::Open(rl8test::Library({Pic("dot", 3, 2, 7, 7), Pic("bar", 4, 1, 5)}));
    TImageNode* work = lib->CreateImage("_WORK_", 10, 6);
    EXPECT_EQ(work->Name, "_work_");
    EXPECT_EQ(work->UseCount, 0);
    EXPECT_EQ(work->Image->State, TRL8Image::kPlain);
    EXPECT_EQ(work->Image->HeaderName(), "");
    TRL8ImageData* ws = lib->GetImageData(work);
    EXPECT_EQ(rl8test::Rows(*ws), std::vector<uint8_t>(60, 0));
    EXPECT_EQ(ws->TransparentKey(), -1);

    TImageNode* bar = lib->GetImage("bar");
    ws->Draw(TPoint{1, 2}, *lib->GetImageData(bar), TRect{0, 0, 4, 1});
    std::vector<uint8_t> expect(60, 0);
    for (int x = 1; x < 5; ++x)
        expect[2 * 10 + static_cast<std::size_t>(x)] = 5;
    EXPECT_EQ(rl8test::Rows(*ws), expect);

    // Painting an image onto a device goes through the palette.
    plat::MemoryDrawTarget dc(12, 8, 0xFF123456u);
    dc.SelectPalette(lib->GetHPal());
    lib->DrawImageAt(dc, TPoint{2, 3}, bar);
    EXPECT_EQ(dc.Rgb(2, 3), lib->GetHPal()->Rgb(5));
    EXPECT_EQ(dc.Rgb(5, 3), lib->GetHPal()->Rgb(5));
    EXPECT_EQ(dc.Pixel(6, 3), 0xFF123456u);
    EXPECT_EQ(dc.Pixel(2, 4), 0xFF123456u);
    lib->DrawImage(dc, work);
    EXPECT_EQ(dc.Rgb(1, 2), lib->GetHPal()->Rgb(5));
    EXPECT_EQ(dc.Rgb(0, 0), 0u);
    lib->ReleaseImage(work);
    EXPECT_EQ(lib->Images().Count(), 1);
    EXPECT_EQ(MessageOf([&] { lib->CreateImage("huge", 65535, 2); }), "Invalid RL8 image header");
}

TEST(RL8Library, PaletteOnATrueColourDisplay) {
    auto lib = rl8test::Open(rl8test::Library({}));
    const plat::LogPalette* pal = lib->GetHPal();
    EXPECT_EQ(pal, lib->GetHPal()) << "built once";
    EXPECT_EQ(pal->Version, 0x300);
    EXPECT_EQ(pal->Entries[0], (plat::LogPalette::Entry{0, 0, 0, 0}));
    EXPECT_EQ(pal->Entries[255], (plat::LogPalette::Entry{255, 255, 255, 0}));
    for (int i = 1; i < 255; ++i)
        ASSERT_EQ(
            pal->Entries[static_cast<std::size_t>(i)],
            (plat::LogPalette::Entry{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i),
                                     static_cast<uint8_t>(i / 2), plat::LogPalette::kNoCollapse}));
    // The file palette stays as stored; the working copy took the system's ends.
    EXPECT_EQ(lib->FilePalette()[255 * 4 + 2], 255);
    EXPECT_EQ(lib->FilePalette()[255 * 4 + 1], 0);
    EXPECT_EQ(lib->GlobalPalette()[255 * 4 + 1], 255);
}

TEST(RL8Library, PaletteOnAStaticColourDisplay) {
    plat::SystemPalette screen;
    screen.Static = true;
    screen.NumColors = 20;
    for (int i = 0; i < 256; ++i)
        screen.Entries[static_cast<std::size_t>(i)] = {1, 2, static_cast<uint8_t>(i), 0};
    plat::SystemPalette::SetForTest(screen);
    auto lib = rl8test::Open(rl8test::Library({}));
    const plat::LogPalette* pal = lib->GetHPal();
    plat::SystemPalette::SetForTest(std::nullopt);
    for (int i : {0, 9, 246, 255})
        EXPECT_EQ(pal->Entries[static_cast<std::size_t>(i)],
                  (plat::LogPalette::Entry{1, 2, static_cast<uint8_t>(i), 0}))
            << i;
    EXPECT_EQ(pal->Entries[10].Flags, plat::LogPalette::kNoCollapse);
    EXPECT_EQ(pal->Entries[10].Red, 10);
}

TEST(RL8Library, PaletteFailures) {
    TRL8Library closed;
    EXPECT_EQ(MessageOf([&] { closed.GetHPal(); }), "GetHPal: global palette unavailable");
    plat::MemoryBlock::FailAllocationAfter(1);
    TRL8Library lib;
    const std::string msg = MessageOf([&] {
        lib.OpenStream(std::make_unique<plat::MemoryStream>(rl8test::Library({})), "x.rl8");
    });
    plat::MemoryBlock::FailAllocationAfter(0);
    EXPECT_EQ(msg, "GetHPal: CreatePalette failed");
    EXPECT_FALSE(lib.IsOpen());
}

TEST(RL8Library, ReferencesAreClearedWhenTheLibraryGoes) {
    auto owner = std::make_unique<TRL8Library>();
    TRL8Library* a = owner.get();
    TRL8Library* b = owner.get();
    TRL8Library* other = nullptr;
    owner->AddReference(&a);
    owner->AddReference(&b);
    owner->AddReference(&other); // holds no library: not recorded
    owner->RemoveReference(&b);
    owner.reset();
    EXPECT_EQ(a, nullptr);
    EXPECT_NE(b, nullptr);
}
