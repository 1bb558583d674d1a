// Palette file reading and the colour mapping of the art pipeline.
#include "ArtPalette.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>

namespace {

// Perceptual weights for a squared RGB distance (green counts most).
int Distance2(int r1, int g1, int b1, int r2, int g2, int b2) {
    const int dr = r1 - r2, dg = g1 - g2, db = b1 - b2;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

constexpr int kBayer8[8][8] = {{0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
                               {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
                               {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
                               {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

// Two entries further apart than this are not mixed: they belong to different
// ramps and a pattern of them would look like noise, not a shade.
constexpr int kMaxMixDistance2 = 9 * 64 * 64;

int Clamp255(int v) {
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

} // namespace

TArtPalette TArtPalette::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(path + ": cannot read the palette");
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), path);
}

TArtPalette TArtPalette::Parse(const std::string& text, const std::string& name) {
    TArtPalette pal;
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        const std::string where = name + ":" + std::to_string(count + 1);
        if (count == 256)
            throw std::runtime_error(where + ": more than 256 colours");
        std::istringstream fields(line);
        long v[3];
        std::string extra;
        if (!(fields >> v[0] >> v[1] >> v[2]) || (fields >> extra))
            throw std::runtime_error(where + ": expected \"R G B\"");
        for (long c : v)
            if (c < 0 || c > 255)
                throw std::runtime_error(where + ": colour value out of 0-255");
        pal.entries_[count] = {int(v[0]), int(v[1]), int(v[2])};
        ++count;
    }
    if (count != 256)
        throw std::runtime_error(name + ": " + std::to_string(count) +
                                 " colours, the palette needs 256");
    return pal;
}

std::uint8_t TArtPalette::Nearest(int r, int g, int b) const {
    const std::uint32_t keyRgb = (std::uint32_t(r) << 16) | (g << 8) | b;
    if (auto it = nearestCache_.find(keyRgb); it != nearestCache_.end())
        return it->second;
    int best = 0, bestD = std::numeric_limits<int>::max();
    for (int i = 0; i < 256; ++i) {
        if (i == KeyIndex)
            continue;
        const TRgb& e = entries_[i];
        const int d = Distance2(r, g, b, e.r, e.g, e.b);
        if (d < bestD) { // first of equals wins: stable and deterministic
            bestD = d;
            best = i;
        }
    }
    nearestCache_.emplace(keyRgb, std::uint8_t(best));
    return std::uint8_t(best);
}

std::uint8_t TArtPalette::Dithered(int r, int g, int b, int x, int y) const {
    const std::uint32_t keyRgb = (std::uint32_t(r) << 16) | (g << 8) | b;
    std::uint32_t pair;
    if (auto it = pairCache_.find(keyRgb); it != pairCache_.end()) {
        pair = it->second;
    } else {
        // pair = near | far << 8 | mix << 16, mix = share of far in 64ths.
        const int p1 = Nearest(r, g, b);
        const TRgb& e1 = entries_[p1];
        int p2 = p1, mix = 0;
        if (e1.r != r || e1.g != g || e1.b != b) {
            p2 = Nearest(Clamp255(2 * r - e1.r), Clamp255(2 * g - e1.g), Clamp255(2 * b - e1.b));
            const TRgb& e2 = entries_[p2];
            const int dr = e2.r - e1.r, dg = e2.g - e1.g, db = e2.b - e1.b;
            const int len2 = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (p2 != p1 && len2 > 0 && len2 <= kMaxMixDistance2) {
                const int dot = 3 * (r - e1.r) * dr + 4 * (g - e1.g) * dg + 2 * (b - e1.b) * db;
                mix = dot <= 0 ? 0 : (dot * 64 / len2 > 64 ? 64 : dot * 64 / len2);
            }
        }
        pair = std::uint32_t(p1) | (std::uint32_t(p2) << 8) | (std::uint32_t(mix) << 16);
        pairCache_.emplace(keyRgb, pair);
    }
    const int mix = int(pair >> 16);
    return std::uint8_t(kBayer8[y & 7][x & 7] < mix ? (pair >> 8) & 0xFF : pair & 0xFF);
}
