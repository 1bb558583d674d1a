// The self-releasing library image and the self-clearing library pointer:
// counts given back once, moves, libraries that go or close first, failures
// that leave nothing taken.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Rl8TestUtil.h"
#include "image/LibraryImage.h"
#include "image/LibraryRef.h"

using rl8test::MessageOf;
using rl8test::Picture;

namespace {

Picture Pic(const std::string& name, uint16_t w, uint16_t h, uint8_t fill) {
    return Picture{name, w, h, std::vector<uint8_t>(std::size_t{w} * h, fill), -1};
}

std::unique_ptr<TRL8Library> TwoImages() {
    return rl8test::Open(rl8test::Library({Pic("grass", 30, 20, 4), Pic("sky", 8, 8, 9)}));
}

// Another user of the image, holding the image and its surface for the whole
// test so that the node stays and its counts can be read.
struct OtherUser {
    OtherUser(TRL8Library& lib, const std::string& name)
        : lib(lib), node(lib.GetImage(name)), surface(lib.GetImageData(node)) {}
    ~OtherUser() {
        lib.ReleaseImageData(node);
        lib.ReleaseImage(node);
    }
    TRL8Library& lib;
    TImageNode* node;
    TRL8ImageData* surface;
};

void ExpectCounts(const TImageNode* node, int use, int dataUse) {
    EXPECT_EQ(node->UseCount, use);
    EXPECT_EQ(node->DataUseCount, dataUse);
}

void ExpectEmpty(const TLibraryImage& image) {
    EXPECT_FALSE(image);
    EXPECT_EQ(image.Node(), nullptr);
    EXPECT_EQ(image.Surface(), nullptr);
    EXPECT_EQ(image.Library(), nullptr);
}

} // namespace

TEST(LibraryImage, TakesTheImageAndItsSurface) {
    auto lib = TwoImages();
    OtherUser other(*lib, "grass");
    TLibraryImage image(*lib, "GRASS");
    ASSERT_TRUE(image);
    EXPECT_EQ(image.Node(), other.node);
    EXPECT_EQ(image.Surface(), other.surface);
    EXPECT_EQ(image.Library(), lib.get());
    ExpectCounts(other.node, 2, 2);
}

TEST(LibraryImage, GivesBackItsCountsOnceOnDestructionAndOnReset) {
    auto lib = TwoImages();
    OtherUser other(*lib, "grass");
    { TLibraryImage image(*lib, "grass"); }
    ExpectCounts(other.node, 1, 1);

    TLibraryImage image(*lib, "grass");
    image.Reset();
    ExpectCounts(other.node, 1, 1);
    ExpectEmpty(image);
    image.Reset();
    ExpectCounts(other.node, 1, 1);

    // The only user: the image and its surface go with the handle.
    { TLibraryImage sky(*lib, "sky"); }
    EXPECT_EQ(lib->Images().Count(), 1);
}

TEST(LibraryImage, MovesHandOverTheCounts) {
    auto lib = TwoImages();
    OtherUser grass(*lib, "grass");
    OtherUser sky(*lib, "sky");
    {
        TLibraryImage from(*lib, "grass");
        {
            TLibraryImage to(std::move(from));
            ExpectEmpty(from);
            EXPECT_EQ(to.Node(), grass.node);
            EXPECT_EQ(to.Surface(), grass.surface);
            ExpectCounts(grass.node, 2, 2);
        }
        ExpectCounts(grass.node, 1, 1);
    }
    // The moved-from handle gave back nothing.
    ExpectCounts(grass.node, 1, 1);

    // Assignment gives back what the target held before taking over.
    TLibraryImage target(*lib, "sky");
    TLibraryImage source(*lib, "grass");
    target = std::move(source);
    ExpectCounts(sky.node, 1, 1);
    ExpectCounts(grass.node, 2, 2);
    EXPECT_EQ(target.Node(), grass.node);
    ExpectEmpty(source);
    source = std::move(target);
    target = TLibraryImage();
    ExpectCounts(grass.node, 2, 2);
    source.Reset();
    ExpectCounts(grass.node, 1, 1);
}

TEST(LibraryImage, LibraryThatGoesFirstLeavesTheHandlesEmpty) {
    auto lib = TwoImages();
    TLibraryImage kept(*lib, "grass");
    TLibraryImage moved(*lib, "sky");
    // Handles that move about in a growing vector stay registered where they are.
    std::vector<TLibraryImage> many;
    for (int i = 0; i < 20; ++i)
        many.emplace_back(*lib, i % 2 ? "grass" : "sky");
    TLibraryImage target(std::move(moved));
    lib.reset();

    ExpectEmpty(kept);
    ExpectEmpty(target);
    for (const TLibraryImage& image : many)
        ExpectEmpty(image);
    kept.Reset();
    EXPECT_FALSE(kept);
    // Destroying the handles now touches nothing (a fault here shows under ASan).
}

TEST(LibraryImage, ClosedLibraryIsNotTouched) {
    auto lib = TwoImages();
    TLibraryImage image(*lib, "grass");
    lib->Close();
    EXPECT_EQ(image.Library(), lib.get()) << "the library is still there";
    image.Reset(); // the node went with Close (a fault here shows under ASan)
    ExpectEmpty(image);
}

TEST(LibraryImage, FailuresTakeNothing) {
    auto lib = TwoImages();
    std::optional<TLibraryImage> made;
    EXPECT_EQ(MessageOf([&] { made.emplace(*lib, "Cloud"); }), "Image \"Cloud\" does not exist");
    EXPECT_FALSE(made.has_value());
    EXPECT_EQ(lib->Images().Count(), 0);

    // An image whose bands have gone has no surface to give.
    OtherUser other(*lib, "grass");
    lib->ReleaseImageData(other.node);
    other.node->Image->FreeSegments();
    ExpectCounts(other.node, 1, 0);
    EXPECT_EQ(MessageOf([&] { TLibraryImage image(*lib, "Grass"); }),
              "GetImageData: no surface for \"Grass\"");
    ExpectCounts(other.node, 1, 0);

    // Unless the surface is optional: the image alone is held and given back.
    {
        TLibraryImage image(*lib, "grass", TLibraryImage::SurfaceNeed::Optional);
        EXPECT_TRUE(image);
        EXPECT_EQ(image.Node(), other.node);
        EXPECT_EQ(image.Surface(), nullptr);
        ExpectCounts(other.node, 2, 0);
        // A surface that another user makes later is not this handle's to give back.
        other.node->ImageData = std::make_unique<TRL8ImageData>();
        other.node->DataUseCount = 1;
    }
    ExpectCounts(other.node, 1, 1);
    EXPECT_NE(other.node->ImageData, nullptr);
    // The failed handles are gone; had they left their registration behind,
    // the library would write into them as it goes (shown under ASan).
}

TEST(LibraryRef, IsClearedWhenTheLibraryGoes) {
    auto lib = TwoImages();
    TLibraryRef ref(lib.get());
    EXPECT_TRUE(ref);
    EXPECT_EQ(ref.Get(), lib.get());
    EXPECT_EQ(&*ref, lib.get());
    EXPECT_EQ(ref->Images().Count(), 0);
    lib.reset();
    EXPECT_FALSE(ref);
    EXPECT_EQ(ref.Get(), nullptr);

    TLibraryRef none;
    EXPECT_FALSE(none);
    TLibraryRef null(nullptr);
    EXPECT_FALSE(null);
}

TEST(LibraryRef, MovesCarryTheRegistration) {
    auto first = TwoImages();
    auto second = TwoImages();
    TLibraryRef a(first.get());
    TLibraryRef b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), first.get());
    TLibraryRef c;
    c = std::move(b);
    EXPECT_FALSE(b);
    std::vector<TLibraryRef> grown;
    for (int i = 0; i < 20; ++i)
        grown.emplace_back(first.get());
    // The moved-from references now point elsewhere: the first library must no
    // longer know their addresses.
    a = TLibraryRef(second.get());
    b.Reset(second.get());
    first.reset();
    EXPECT_FALSE(c);
    for (const TLibraryRef& r : grown)
        EXPECT_FALSE(r);
    EXPECT_EQ(a.Get(), second.get());
    EXPECT_EQ(b.Get(), second.get());
    second.reset();
    EXPECT_FALSE(a);
    EXPECT_FALSE(b);
}

TEST(LibraryRef, ResetLeavesTheOldLibrary) {
    auto first = TwoImages();
    auto second = TwoImages();
    TLibraryRef ref(first.get());
    ref.Reset(first.get()); // the same library: still registered once
    ref.Reset(second.get());
    first.reset();
    EXPECT_EQ(ref.Get(), second.get());
    ref.Reset();
    EXPECT_FALSE(ref);
    TLibraryRef again(second.get());
    again.Reset(second.get());
    second.reset();
    EXPECT_FALSE(again);
}
