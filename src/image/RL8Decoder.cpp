// The run-length decoders. Each code is checked once and then done with one
// memcpy or memset; literal bytes are the only per-byte work.
#include "image/RL8Decoder.h"

#include <bit>
#include <cstring>

#include "image/RL8Exception.h"

namespace {

[[noreturn]] void SourceOverflow() {
    throw RL8Exception("Decode: source buffer overflow");
}
[[noreturn]] void LineOverflow() {
    throw RL8Exception("Decode: output line overflow");
}
[[noreturn]] void InvalidCode() {
    throw RL8Exception("Decode: invalid line code");
}

constexpr uint64_t kOnes = 0x0101010101010101ull;
constexpr uint64_t kHighs = 0x8080808080808080ull;

static_assert(std::endian::native == std::endian::little, "literal scan reads bytes as words");

// High bit set in the first byte of X that is zero (bytes after it may be
// marked too, never bytes before it); 0 when no byte is zero.
inline uint64_t ZeroBytes(uint64_t x) {
    return (x - kOnes) & ~x & kHighs;
}

// Copies literal bytes up to the first escape, eight at a time while eight
// fit in both the row and the coded data. Bytes after the escape may be
// written too; they lie inside the row and the following items overwrite
// them.
inline void CopyLiterals(const uint8_t* src, std::size_t size, std::size_t& sp, uint8_t* row,
                         uint32_t width, uint32_t& x, uint64_t e1s, uint64_t e2s) {
    while (width - x >= 8 && size - sp >= 8) {
        uint64_t v;
        std::memcpy(&v, src + sp, 8);
        std::memcpy(row + x, &v, 8);
        const uint64_t escapes = ZeroBytes(v ^ e1s) | ZeroBytes(v ^ e2s);
        if (escapes) {
            const unsigned k = static_cast<unsigned>(std::countr_zero(escapes)) >> 3;
            x += k;
            sp += k;
            return;
        }
        x += 8;
        sp += 8;
    }
}

// Run-length items from X up to Width. Prev is the previous row or nullptr in
// the first row. With Clamp (XOR rows) an item that would pass the row is cut
// at Width instead of failing.
inline void DecodeItems(const uint8_t* src, std::size_t size, std::size_t& sp, uint8_t* row,
                        const uint8_t* prev, uint32_t width, uint32_t& x, uint8_t e1, uint8_t e2,
                        bool clamp) {
    const uint64_t e1s = kOnes * e1, e2s = kOnes * e2;
    while (x < width) {
        CopyLiterals(src, size, sp, row, width, x, e1s, e2s);
        if (x >= width)
            break;
        if (sp >= size)
            SourceOverflow();
        const uint8_t b = src[sp++];
        if (b != e1 && b != e2) {
            row[x++] = b;
            continue;
        }
        if (sp >= size)
            SourceOverflow();
        const uint8_t c = src[sp++];
        uint32_t n;
        uint8_t v;
        if (b == e2) {
            if (c == e1) {
                n = 1;
                v = e2;
            } else if (c == e2) {
                n = 2;
                v = e2;
            } else {
                n = 3;
                v = c;
            }
        } else if (c < 2) {
            n = c + 1u;
            v = e1;
        } else if (c == 2) {
            if (!prev)
                InvalidCode();
            if (sp >= size)
                SourceOverflow();
            n = src[sp++];
            if (n == 0)
                n = width - x;
            if (n > width - x) {
                if (!clamp)
                    LineOverflow();
                n = width - x;
            }
            std::memcpy(row + x, prev + x, n);
            x += n;
            continue;
        } else {
            if (sp >= size)
                SourceOverflow();
            n = c;
            v = src[sp++];
        }
        if (n > width - x) {
            if (!clamp)
                LineOverflow();
            n = width - x;
        }
        std::memset(row + x, v, n);
        x += n;
    }
}

} // namespace

void TRL8Decoder::DecodeLineCodes(const uint8_t* src, std::size_t size, uint8_t* dest,
                                  uint32_t width, uint32_t stride, uint32_t rows, uint8_t e1,
                                  uint8_t e2, bool lineCodes) {
    std::size_t sp = 0;
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* row = dest + std::size_t{r} * stride;
        const uint8_t* prev = r ? row - stride : nullptr;
        uint32_t x = 0;
        do {
            if (sp >= size)
                SourceOverflow();
            const uint8_t code = lineCodes ? src[sp++] : 0;
            if (!prev && (code == 2 || code == 7 || code >= 8))
                InvalidCode();
            switch (code) {
            case 0: {
                const uint32_t n = width - x;
                if (size - sp < n)
                    SourceOverflow();
                std::memcpy(row + x, src + sp, n);
                sp += n;
                x = width;
                break;
            }
            case 1:
            case 3:
            case 4:
            case 5:
                DecodeItems(src, size, sp, row, prev, width, x, e1, e2, false);
                break;
            case 2:
                DecodeItems(src, size, sp, row, prev, width, x, e1, e2, true);
                for (uint32_t i = 0; i < width; ++i)
                    row[i] ^= prev[i];
                break;
            case 6:
                if (sp >= size)
                    SourceOverflow();
                std::memset(row + x, src[sp++], width - x);
                x = width;
                break;
            case 7:
                std::memcpy(row + x, prev + x, width - x);
                x = width;
                break;
            default:
                if (code > width - x)
                    LineOverflow();
                std::memcpy(row + x, prev + x, code);
                x += code;
                break;
            }
        } while (x < width);
        std::memset(row + width, 0, stride - width);
    }
}

void TRL8Decoder::DecodeSimple(const uint8_t* src, std::size_t size, uint8_t* dest, uint32_t width,
                               uint32_t stride, uint32_t rows, uint8_t e1) {
    std::size_t sp = 0;
    uint32_t repeat = 0; // pixels of Last still to come
    uint8_t last = 0;
    const uint64_t e1s = kOnes * e1;
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* row = dest + std::size_t{r} * stride;
        uint32_t x = 0;
        while (x < width) {
            if (repeat) {
                const uint32_t n = repeat < width - x ? repeat : width - x;
                std::memset(row + x, last, n);
                x += n;
                repeat -= n;
                continue;
            }
            const uint32_t before = x;
            CopyLiterals(src, size, sp, row, width, x, e1s, e1s);
            if (x != before) {
                last = row[x - 1];
                if (x >= width)
                    break;
            }
            if (sp >= size)
                SourceOverflow();
            const uint8_t c = src[sp++];
            if (c != e1) {
                row[x++] = last = c;
                continue;
            }
            if (sp >= size)
                SourceOverflow();
            const uint8_t d = src[sp++];
            if (d >= 2) {
                if (sp >= size)
                    SourceOverflow();
                last = src[sp++];
                repeat = d - 1u;
            } else {
                last = e1;
                repeat = d;
            }
            row[x++] = last;
        }
        std::memset(row + width, 0, stride - width);
    }
}
