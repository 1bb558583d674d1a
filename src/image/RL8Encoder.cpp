// The segment coder. Each row of the line coding is the smallest of a few
// greedy candidates; rows are independent, so the segment is as small as its
// rows allow within those candidates.
#include "image/RL8Encoder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr uint32_t kMaxCoded = 0xFFFF; // coded sizes are 16-bit

uint32_t RunLength(const uint8_t* a, uint32_t i, uint32_t n) {
    uint32_t j = i + 1;
    while (j < n && a[j] == a[i])
        ++j;
    return j - i;
}

uint32_t MatchLength(const uint8_t* a, const uint8_t* b, uint32_t i, uint32_t n) {
    uint32_t j = i;
    while (j < n && a[j] == b[j])
        ++j;
    return j - i;
}

// One run of L (1..255) pixels of V as run-length items.
void EmitRun(std::string& out, uint8_t v, uint32_t len, uint8_t e1, uint8_t e2) {
    const char c1 = static_cast<char>(e1), c2 = static_cast<char>(e2), cv = static_cast<char>(v);
    if (v == e1) {
        if (len == 1)
            out += {c1, 0};
        else if (len == 2)
            out += {c1, 1};
        else
            out += {c1, static_cast<char>(len), c1};
    } else if (v == e2) {
        if (len == 1)
            out += {c2, c1};
        else if (len == 2)
            out += {c2, c2};
        else
            out += {c1, static_cast<char>(len), c2};
    } else if (len <= 2) {
        out.append(len, cv);
    } else if (len == 3) {
        out += {c2, cv};
    } else {
        out += {c1, static_cast<char>(len), cv};
    }
}

// Items for A[X..N). Prev (may be nullptr) allows copy-from-previous items
// for the same columns.
void EmitItems(std::string& out, const uint8_t* a, const uint8_t* prev, uint32_t x, uint32_t n,
               uint8_t e1, uint8_t e2) {
    uint32_t i = x;
    while (i < n) {
        const uint32_t run = std::min<uint32_t>(RunLength(a, i, n), 255);
        if (prev) {
            const uint32_t m = MatchLength(a, prev, i, n);
            if (m >= 4 && m > run) {
                uint32_t k = i + m == n ? 0 : std::min<uint32_t>(m, 255);
                out += {static_cast<char>(e1), 2, static_cast<char>(k)};
                i += k ? k : m;
                continue;
            }
        }
        EmitRun(out, a[i], run, e1, e2);
        i += run;
    }
}

// The best completion of a row from X (codes 0, 1, 6 and, at X = 0, 2).
void BestCompletion(std::string& best, const uint8_t* row, const uint8_t* prev,
                    const uint8_t* xorRow, uint32_t x, uint32_t width, uint8_t e1, uint8_t e2) {
    best.assign(1, '\0');
    best.append(reinterpret_cast<const char*>(row + x), width - x);
    if (RunLength(row, x, width) == width - x) {
        best = {6, static_cast<char>(row[x])};
        return;
    }
    std::string c(1, '\1');
    EmitItems(c, row, prev, x, width, e1, e2);
    if (c.size() < best.size())
        best.swap(c);
    if (prev && x == 0) {
        c.assign(1, '\2');
        EmitItems(c, xorRow, nullptr, 0, width, e1, e2);
        if (c.size() < best.size())
            best.swap(c);
    }
}

} // namespace

std::string TRL8Encoder::EncodeRawRows(const uint8_t* rows, uint32_t width, uint32_t stride,
                                       uint32_t rowCount) {
    std::string out;
    out.reserve(std::size_t{width} * rowCount);
    for (uint32_t r = 0; r < rowCount; ++r)
        out.append(reinterpret_cast<const char*>(rows + std::size_t{r} * stride), width);
    return out;
}

std::string TRL8Encoder::EncodeLineCodes(const uint8_t* rows, uint32_t width, uint32_t stride,
                                         uint32_t rowCount, uint8_t e1, uint8_t e2) {
    std::string out, best, alt;
    std::vector<uint8_t> xorRow(width);
    for (uint32_t r = 0; r < rowCount; ++r) {
        const uint8_t* row = rows + std::size_t{r} * stride;
        const uint8_t* prev = r ? row - stride : nullptr;
        if (prev) {
            const uint32_t same = MatchLength(row, prev, 0, width);
            if (same == width) {
                out += '\7';
                continue;
            }
            for (uint32_t i = 0; i < width; ++i)
                xorRow[i] = row[i] ^ prev[i];
            BestCompletion(best, row, prev, xorRow.data(), 0, width, e1, e2);
            if (same >= 8) {
                // Copy codes for the matching start, then the rest.
                alt.clear();
                uint32_t x = 0;
                while (same - x >= 8) {
                    const uint32_t k = std::min<uint32_t>(same - x, 255);
                    alt += static_cast<char>(k);
                    x += k;
                }
                std::string rest;
                BestCompletion(rest, row, prev, nullptr, x, width, e1, e2);
                alt += rest;
                if (alt.size() < best.size())
                    best.swap(alt);
            }
        } else {
            BestCompletion(best, row, nullptr, nullptr, 0, width, e1, e2);
        }
        out += best;
    }
    return out;
}

std::string TRL8Encoder::EncodeSimple(const uint8_t* rows, uint32_t width, uint32_t stride,
                                      uint32_t rowCount, uint8_t e1) {
    std::string out;
    const char c1 = static_cast<char>(e1);
    // Runs continue across row ends: walk the pixels as one sequence.
    uint32_t r = 0, x = 0;
    auto at = [&](uint32_t rr, uint32_t xx) { return rows[std::size_t{rr} * stride + xx]; };
    while (r < rowCount) {
        const uint8_t v = at(r, x);
        uint32_t len = 0;
        uint32_t rr = r, xx = x;
        while (rr < rowCount && len < 255 && at(rr, xx) == v) {
            ++len;
            if (++xx == width) {
                xx = 0;
                ++rr;
            }
        }
        if (v == e1) {
            if (len <= 2)
                out += {c1, static_cast<char>(len - 1)};
            else
                out += {c1, static_cast<char>(len), c1};
        } else if (len <= 3) {
            out.append(len, static_cast<char>(v));
        } else {
            out += {c1, static_cast<char>(len), static_cast<char>(v)};
        }
        r = rr;
        x = xx;
    }
    return out;
}

void TRL8Encoder::ChooseEscapes(const uint8_t* rows, uint32_t width, uint32_t stride,
                                uint32_t rowCount, uint8_t& e1, uint8_t& e2) {
    std::array<uint64_t, 256> count{};
    for (uint32_t r = 0; r < rowCount; ++r) {
        const uint8_t* row = rows + std::size_t{r} * stride;
        for (uint32_t i = 0; i < width; ++i)
            ++count[row[i]];
        if (r) {
            for (uint32_t i = 0; i < width; ++i)
                ++count[row[i] ^ (row - stride)[i]];
        }
    }
    std::array<int, 256> order;
    for (int i = 0; i < 256; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return count[static_cast<std::size_t>(a)] < count[static_cast<std::size_t>(b)];
    });
    e1 = static_cast<uint8_t>(order[0]);
    e2 = static_cast<uint8_t>(order[1]);
}

TRL8Encoder::Coded TRL8Encoder::EncodeSegment(const uint8_t* rows, uint32_t width, uint32_t stride,
                                              uint32_t rowCount) {
    Coded best;
    best.Flags = 8 | 1; // coded, literal rows
    best.Data = EncodeRawRows(rows, width, stride, rowCount);

    uint8_t e1, e2;
    ChooseEscapes(rows, width, stride, rowCount, e1, e2);
    std::string lines = EncodeLineCodes(rows, width, stride, rowCount, e1, e2);
    if (lines.size() < best.Data.size() && lines.size() <= kMaxCoded) {
        best.Escape1 = e1;
        best.Escape2 = e2;
        best.Flags = 8;
        best.Data.swap(lines);
    }

    std::array<uint64_t, 256> count{};
    for (uint32_t r = 0; r < rowCount; ++r)
        for (uint32_t i = 0; i < width; ++i)
            ++count[rows[std::size_t{r} * stride + i]];
    const uint8_t s1 =
        static_cast<uint8_t>(std::min_element(count.begin(), count.end()) - count.begin());
    std::string simple = EncodeSimple(rows, width, stride, rowCount, s1);
    if (simple.size() < best.Data.size() && simple.size() <= kMaxCoded) {
        best.Escape1 = s1;
        best.Escape2 = s1;
        best.Flags = 8 | 2;
        best.Data.swap(simple);
    }
    return best;
}
