// The SHA-1 digest.
#include "base/Sha1.h"

#include <cstring>

namespace {

uint32_t Rotl(uint32_t x, int n) {
    return x << n | x >> (32 - n);
}

void Block(uint32_t h[5], const unsigned char* p) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
        w[i] = uint32_t{p[4 * i]} << 24 | uint32_t{p[4 * i + 1]} << 16 |
               uint32_t{p[4 * i + 2]} << 8 | uint32_t{p[4 * i + 3]};
    for (int i = 16; i < 80; ++i)
        w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
        uint32_t f = 0, k = 0;
        if (i < 20) {
            f = (b & c) | (~b & d);
            k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d;
            k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d);
            k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d;
            k = 0xCA62C1D6;
        }
        const uint32_t t = Rotl(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = Rotl(b, 30);
        b = a;
        a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
}

} // namespace

TSha1::Digest TSha1::Of(std::string_view bytes) {
    uint32_t h[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    for (; left >= 64; left -= 64, p += 64)
        Block(h, p);
    // The last bytes, a 1 bit, zeros and the length in bits: one or two blocks.
    unsigned char tail[128] = {};
    std::memcpy(tail, p, left);
    tail[left] = 0x80;
    const std::size_t blocks = left + 1 + 8 <= 64 ? 1 : 2;
    const uint64_t bits = static_cast<uint64_t>(bytes.size()) * 8;
    for (int i = 0; i < 8; ++i)
        tail[blocks * 64 - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    for (std::size_t b = 0; b < blocks; ++b)
        Block(h, tail + 64 * b);
    Digest digest{};
    for (int i = 0; i < 20; ++i)
        digest[i] = static_cast<uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
    return digest;
}
