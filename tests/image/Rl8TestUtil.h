// Builders of image-library bytes for the image tests: whole libraries from
// pixels (through the coder) and hand-made records with chosen segment data.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "image/RL8Lib.h"

namespace rl8test {

struct Picture {
    std::string name;
    uint16_t width = 0;
    uint16_t height = 0;
    std::vector<uint8_t> pixels; // top row first, width bytes per row
    int transparent = -1;
};

struct Segment {
    uint8_t e1 = 0;
    uint8_t e2 = 0;
    uint8_t flags = 0;
    std::string data;
};

// A 1024-byte palette with entry i = (red i, green 255 - i, blue i / 2).
std::vector<uint8_t> TestPalette();
// The file header and palette.
std::string FileHead();
// A library of the pictures, coded by the engine's coder.
std::string Library(const std::vector<Picture>& pictures);
// One image record with the given header fields and segments.
std::string Record(const std::string& name, uint16_t width, uint16_t height, uint8_t state,
                   const std::vector<Segment>& segments, uint8_t transparentColour = 0,
                   uint8_t transparent = 0, int segmentCount = -1, uint16_t version = 3);
// A library open over Bytes held in memory.
std::unique_ptr<TRL8Library> Open(const std::string& bytes);
// The pixels of a surface, top row first.
std::vector<uint8_t> Rows(TRL8ImageData& surface);
// The message of the RL8Exception that F raises, or "" when it raises none.
template <class F> std::string MessageOf(F&& f) {
    try {
        f();
    } catch (const RL8Exception& e) {
        return e.what();
    }
    return "";
}

} // namespace rl8test
