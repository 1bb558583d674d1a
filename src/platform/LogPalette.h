// A logical palette: 256 colour entries with their palette flags, as built by
// the image library and selected into a drawing target before painting.
#pragma once
#include <array>
#include <climits>
#include <cstdint>

namespace plat {

class LogPalette {
public:
    // Palette entry flags.
    static constexpr uint8_t kReserved = 0x01;
    static constexpr uint8_t kExplicit = 0x02;
    static constexpr uint8_t kNoCollapse = 0x04;

    struct Entry {
        uint8_t Red = 0;
        uint8_t Green = 0;
        uint8_t Blue = 0;
        uint8_t Flags = 0;
        friend bool operator==(const Entry&, const Entry&) = default;
    };

    uint16_t Version = 0x300;
    std::array<Entry, 256> Entries{};

    // Entry I as 0x00RRGGBB.
    uint32_t Rgb(int i) const {
        const Entry& e = Entries[static_cast<std::size_t>(i & 255)];
        return (uint32_t{e.Red} << 16) | (uint32_t{e.Green} << 8) | e.Blue;
    }
    // The index of the entry nearest to the colour (smallest squared
    // distance; the lowest index of equals).
    int NearestIndex(uint8_t red, uint8_t green, uint8_t blue) const {
        int best = 0;
        int32_t bestDistance = INT32_MAX;
        for (int i = 0; i < 256; ++i) {
            const Entry& e = Entries[static_cast<std::size_t>(i)];
            const int32_t dr = e.Red - red, dg = e.Green - green, db = e.Blue - blue;
            const int32_t d = dr * dr + dg * dg + db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }
};

} // namespace plat
