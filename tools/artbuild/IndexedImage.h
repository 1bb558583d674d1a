// An 8-bit palette image in memory: the unit the art pipeline renders, cuts,
// composes and writes. Pixels are row-major, top row first.
#pragma once
#include <cstdint>
#include <vector>

struct TIndexedImage {
    int width = 0;
    int height = 0;
    bool transparent = false; // pixels equal to key are not drawn
    std::uint8_t key = 0;     // the transparent colour when transparent is set
    std::vector<std::uint8_t> pixels;

    TIndexedImage() = default;
    TIndexedImage(int w, int h, std::uint8_t fill = 0)
        : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, fill) {}

    std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint8_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }

    // The w x h rectangle with its top-left at x, y; it must lie inside.
    TIndexedImage Cut(int x, int y, int w, int h) const;
    // Copies all of src with its top-left at x, y; src must fit inside.
    void Paste(const TIndexedImage& src, int x, int y);
};
