// Synthetic storybook art for the image benchmarks: a painted scene (flat
// regions with soft edges, textured foliage, a dithered sky) and sprites on a
// transparent ground with outlines. Deterministic.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

struct Art {
    std::string name;
    uint16_t width;
    uint16_t height;
    std::vector<uint8_t> pixels; // top row first
    int transparent;             // -1 for none
};

inline uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352d;
    x ^= x >> 15;
    x *= 0x846ca68b;
    x ^= x >> 16;
    return x;
}

inline Art Scene(const std::string& name, uint16_t w, uint16_t h, uint32_t seed) {
    Art a{name, w, h, std::vector<uint8_t>(std::size_t{w} * h), -1};
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const uint32_t r = Hash(seed * 7919 + y * 65599 + x);
            uint8_t v;
            const int hill = static_cast<int>(h * 0.55 + 25 * ((x * 37 / 100 + seed) % 60) / 60.0);
            if (static_cast<int>(y) < hill) {
                // Sky: bands with a 2x2 dither at their edges.
                const uint32_t band = y * 8 / h;
                v = static_cast<uint8_t>(16 + band +
                                         (((x ^ y) & 1) && (y * 8 % h) < h / 12 ? 1 : 0));
                if ((x / 60 + seed) % 4 == 0 && y % 40 < 12 && (x % 60) > 10)
                    v = 250; // clouds
            } else if ((x / 70 + y / 50 + seed) % 3 == 0) {
                v = static_cast<uint8_t>(60 + (r % 6)); // foliage texture
            } else {
                v = static_cast<uint8_t>(40 + (y - hill) / 30); // fields
            }
            if (x % 97 == 0 || (y + x / 3) % 131 == 0)
                v = 2; // outlines
            a.pixels[std::size_t{y} * w + x] = v;
        }
    }
    return a;
}

inline Art Sprite(const std::string& name, uint16_t w, uint16_t h, uint32_t seed) {
    Art a{name, w, h, std::vector<uint8_t>(std::size_t{w} * h, 0), 0};
    const double cx = w / 2.0, cy = h / 2.0;
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            const double dx = (x - cx) / (w / 2.0), dy = (y - cy) / (h / 2.0);
            const double d = dx * dx + dy * dy;
            uint8_t& v = a.pixels[std::size_t{y} * w + x];
            if (d < 0.8)
                v = static_cast<uint8_t>(100 + (seed % 40) + (y * 4 / h) +
                                         (Hash(seed + y * 977 + x) % 9 == 0 ? 1 : 0));
            else if (d < 1.0)
                v = 2;
        }
    }
    return a;
}

// The art of a library: scenes, a book page, tiles and animation frames.
inline std::vector<Art> LibraryArt() {
    std::vector<Art> art;
    art.push_back(Scene("main", 550, 370, 1));
    art.push_back(Scene("book", 600, 420, 2));
    art.push_back(Scene("cover", 300, 400, 3));
    for (uint32_t i = 0; i < 40; ++i)
        art.push_back(Sprite("spr" + std::to_string(i), static_cast<uint16_t>(20 + (i * 13) % 61),
                             static_cast<uint16_t>(20 + (i * 29) % 61), i));
    return art;
}

} // namespace bench
