// The game palette as the art pipeline sees it: 256 RGB entries read from a
// text file, and the mapping of true-colour pixels onto them.
//
// Mapping contract: an opaque pixel never maps to KeyIndex (254); a pixel whose
// colour is exactly a palette entry maps to that entry (flat areas stay flat,
// with or without dithering). Dithering is an 8x8 ordered (Bayer) pattern tied
// to the pixel's position, so the result depends only on colour and position.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>

class TArtPalette {
public:
    static constexpr int KeyIndex = 254;

    struct TRgb {
        int r = 0, g = 0, b = 0;
    };

    // Reads 256 lines "R G B" (decimal 0-255); raises std::runtime_error with
    // the file name and line on any other content.
    static TArtPalette Load(const std::string& path);
    static TArtPalette Parse(const std::string& text, const std::string& name);

    const TRgb& Entry(int index) const { return entries_[index]; }

    // The nearest entry to an opaque colour (KeyIndex excluded).
    std::uint8_t Nearest(int r, int g, int b) const;
    // The entry for an opaque colour at pixel x, y with ordered dithering
    // between the nearest entry and its best partner on the far side.
    std::uint8_t Dithered(int r, int g, int b, int x, int y) const;

private:
    std::array<TRgb, 256> entries_{};
    mutable std::unordered_map<std::uint32_t, std::uint8_t> nearestCache_;
    mutable std::unordered_map<std::uint32_t, std::uint32_t> pairCache_;
};
