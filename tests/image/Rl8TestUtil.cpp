// Library builders for the image tests.
#include "Rl8TestUtil.h"

#include <cstring>

#include "image/RL8FileWriter.h"
#include "platform/MemoryStream.h"

namespace rl8test {

namespace {
void Put16(std::string& s, uint32_t v) {
    s += static_cast<char>(v & 255);
    s += static_cast<char>((v >> 8) & 255);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}
} // namespace

std::vector<uint8_t> TestPalette() {
    std::vector<uint8_t> p(1024);
    for (int i = 0; i < 256; ++i) {
        p[static_cast<std::size_t>(i) * 4] = static_cast<uint8_t>(i / 2);
        p[static_cast<std::size_t>(i) * 4 + 1] = static_cast<uint8_t>(255 - i);
        p[static_cast<std::size_t>(i) * 4 + 2] = static_cast<uint8_t>(i);
    }
    return p;
}

std::string FileHead() {
    return TRL8FileWriter(TestPalette()).Bytes();
}

std::string Library(const std::vector<Picture>& pictures) {
    TRL8FileWriter writer(TestPalette());
    for (const Picture& p : pictures) {
        const TRL8Banding b = TRL8Banding::Compute(p.width, p.height);
        std::string rows(std::size_t{b.Stride} * p.height, '\0');
        for (uint32_t y = 0; y < p.height; ++y)
            std::memcpy(&rows[std::size_t{p.height - 1u - y} * b.Stride],
                        &p.pixels[std::size_t{y} * p.width], p.width);
        plat::MemoryStream source(rows);
        TRL8Image image;
        image.Initialize(p.name, &source, p.height, p.width);
        image.Transparent = p.transparent >= 0;
        image.TransparentColour = static_cast<uint8_t>(p.transparent >= 0 ? p.transparent : 0);
        writer.AddImage(image);
    }
    return writer.Bytes();
}

std::string Record(const std::string& name, uint16_t width, uint16_t height, uint8_t state,
                   const std::vector<Segment>& segments, uint8_t transparentColour,
                   uint8_t transparent, int segmentCount, uint16_t version) {
    std::string r(8, '\0');
    std::memcpy(r.data(), name.data(), name.size() < 8 ? name.size() : 8);
    Put16(r, width);
    Put16(r, height);
    r += static_cast<char>(segmentCount < 0 ? segments.size() : segmentCount);
    r += static_cast<char>(state);
    r += static_cast<char>(transparentColour);
    r += static_cast<char>(transparent);
    Put16(r, version);
    uint32_t end = static_cast<uint32_t>(18 + 4 * segments.size());
    for (const Segment& s : segments) {
        end += static_cast<uint32_t>(3 + s.data.size());
        Put32(r, end);
    }
    for (const Segment& s : segments) {
        r += static_cast<char>(s.e1);
        r += static_cast<char>(s.e2);
        r += static_cast<char>(s.flags);
        r += s.data;
    }
    return r;
}

std::unique_ptr<TRL8Library> Open(const std::string& bytes) {
    auto lib = std::make_unique<TRL8Library>();
    lib->OpenStream(std::make_unique<plat::MemoryStream>(bytes), "test.rl8");
    return lib;
}

std::vector<uint8_t> Rows(TRL8ImageData& s) {
    return s.CopyPixels();
}

} // namespace rl8test
