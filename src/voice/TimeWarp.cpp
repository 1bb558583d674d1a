// Banded, multi-level dynamic time warping.
#include "voice/TimeWarp.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
thread_local int64_t cellsSearched = 0;

// Sequences as long as this (either one) are warped whole.
constexpr int kWhole = 200;

// Columns [Lo, Hi) of B searched in each row (frame of A).
struct Band {
    std::vector<int> lo, hi;
};

std::vector<float> Halve(const TTimeWarp::Sequence& s) {
    const int count = (s.Count + 1) / 2;
    std::vector<float> out(static_cast<std::size_t>(count) * s.Dims);
    for (int k = 0; k < count; ++k) {
        const float* x = s.Frames + static_cast<std::size_t>(2 * k) * s.Dims;
        const float* y = 2 * k + 1 < s.Count ? x + s.Dims : x;
        for (int d = 0; d < s.Dims; ++d)
            out[static_cast<std::size_t>(k) * s.Dims + d] = 0.5f * (x[d] + y[d]);
    }
    return out;
}

float Distance(const float* x, const float* y, int dims) {
    float sum = 0;
    for (int d = 0; d < dims; ++d) {
        const float t = x[d] - y[d];
        sum += t * t;
    }
    return std::sqrt(sum);
}

// The cheapest path within Band (which holds (0, 0) and (N - 1, M - 1) and
// joins them).
std::vector<std::pair<int, int>> WarpIn(const TTimeWarp::Sequence& a, const TTimeWarp::Sequence& b,
                                        const Band& band) {
    const int n = a.Count;
    std::vector<int64_t> offset(static_cast<std::size_t>(n) + 1, 0);
    for (int i = 0; i < n; ++i)
        offset[i + 1] = offset[i] + (band.hi[i] - band.lo[i]);
    cellsSearched += offset[n];
    // Steps: 0 diagonal, 1 from the row before (A moves), 2 from the column
    // before (B moves).
    std::vector<uint8_t> step(static_cast<std::size_t>(offset[n]));
    constexpr float kInf = std::numeric_limits<float>::infinity();
    std::vector<float> prev, cur;
    int prevLo = 0, prevHi = 0;
    for (int i = 0; i < n; ++i) {
        const int lo = band.lo[i], hi = band.hi[i];
        cur.assign(static_cast<std::size_t>(hi - lo), kInf);
        const float* fa = a.Frames + static_cast<std::size_t>(i) * a.Dims;
        for (int j = lo; j < hi; ++j) {
            const float d = Distance(fa, b.Frames + static_cast<std::size_t>(j) * b.Dims, a.Dims);
            float best = kInf;
            uint8_t how = 0;
            if (i == 0 && j == 0)
                best = 0;
            if (i > 0 && j - 1 >= prevLo && j - 1 < prevHi && prev[j - 1 - prevLo] < best) {
                best = prev[j - 1 - prevLo];
                how = 0;
            }
            if (i > 0 && j >= prevLo && j < prevHi && prev[j - prevLo] < best) {
                best = prev[j - prevLo];
                how = 1;
            }
            if (j > lo && cur[j - 1 - lo] < best) {
                best = cur[j - 1 - lo];
                how = 2;
            }
            cur[j - lo] = best + d;
            step[offset[i] + (j - lo)] = how;
        }
        std::swap(prev, cur);
        prevLo = lo;
        prevHi = hi;
    }
    std::vector<std::pair<int, int>> path;
    int i = n - 1, j = b.Count - 1;
    for (;;) {
        path.emplace_back(i, j);
        if (i == 0 && j == 0)
            break;
        const uint8_t how = step[offset[i] + (j - band.lo[i])];
        if (how == 0) {
            --i;
            --j;
        } else if (how == 1) {
            --i;
        } else {
            --j;
        }
    }
    std::reverse(path.begin(), path.end());
    return path;
}

// The band of radius R around a path of the level twice as coarse.
Band Around(const std::vector<std::pair<int, int>>& coarse, int n, int m, int r) {
    Band band;
    band.lo.assign(static_cast<std::size_t>(n), m);
    band.hi.assign(static_cast<std::size_t>(n), 0);
    for (const auto& [ci, cj] : coarse)
        for (int i = 2 * ci; i <= std::min(2 * ci + 1, n - 1); ++i) {
            band.lo[i] = std::min(band.lo[i], 2 * cj);
            band.hi[i] = std::max(band.hi[i], std::min(2 * cj + 2, m));
        }
    // Widen by R columns each way and R rows each way (a running minimum and
    // maximum over the rows, in two sweeps so that the cost is O(N * R)).
    Band wide = band;
    for (int i = 0; i < n; ++i) {
        for (int k = std::max(0, i - r); k <= std::min(n - 1, i + r); ++k) {
            wide.lo[i] = std::min(wide.lo[i], band.lo[k]);
            wide.hi[i] = std::max(wide.hi[i], band.hi[k]);
        }
        wide.lo[i] = std::max(0, wide.lo[i] - r);
        wide.hi[i] = std::min(m, wide.hi[i] + r);
    }
    wide.lo[0] = 0;
    wide.hi[static_cast<std::size_t>(n) - 1] = m;
    return wide;
}

std::vector<std::pair<int, int>> WarpLevel(const TTimeWarp::Sequence& a,
                                           const TTimeWarp::Sequence& b, int radius) {
    if (a.Count <= kWhole || b.Count <= kWhole) {
        Band whole;
        whole.lo.assign(static_cast<std::size_t>(a.Count), 0);
        whole.hi.assign(static_cast<std::size_t>(a.Count), b.Count);
        return WarpIn(a, b, whole);
    }
    const std::vector<float> ha = Halve(a), hb = Halve(b);
    const TTimeWarp::Sequence ca{ha.data(), (a.Count + 1) / 2, a.Dims};
    const TTimeWarp::Sequence cb{hb.data(), (b.Count + 1) / 2, b.Dims};
    const auto coarse = WarpLevel(ca, cb, radius);
    return WarpIn(a, b, Around(coarse, a.Count, b.Count, radius));
}
} // namespace

std::vector<std::pair<int, int>> TTimeWarp::Warp(const Sequence& a, const Sequence& b, int radius) {
    cellsSearched = 0;
    if (a.Count <= 0 || b.Count <= 0 || a.Dims != b.Dims || a.Dims <= 0)
        return {};
    return WarpLevel(a, b, std::max(radius, 1));
}

int64_t TTimeWarp::CellsSearched() {
    return cellsSearched;
}
