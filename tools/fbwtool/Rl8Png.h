// 8-bit indexed PNG reading and writing for the image-library commands.
// Pixels are palette indices, top row first, Width bytes per row.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

class Rl8Png {
public:
    struct Image {
        uint32_t Width = 0;
        uint32_t Height = 0;
        std::vector<uint8_t> Pixels;
        std::vector<std::array<uint8_t, 3>> Palette; // red, green, blue
        int Transparent = -1;                        // first palette index with alpha 0, or -1
    };

    static bool IsPng(const std::string& bytes);
    // Decodes an indexed PNG (bit depths 1 to 8). False with Error set for
    // any other PNG or a damaged file.
    static bool Read(const std::string& bytes, Image& out, std::string& error);
    // Encodes Image as an 8-bit indexed PNG at the given zlib level (0-9);
    // a Transparent index is marked fully transparent.
    static bool Write(const Image& image, int level, std::string& bytes, std::string& error);
};
