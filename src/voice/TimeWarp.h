// Dynamic time warping of two feature sequences within a band, so that its
// cost grows linearly with their length: the sequences are halved (pairs of
// frames averaged) until they are short, warped whole there, and each finer
// level is warped only within Radius frames of the coarser level's path. A
// sequence of N and one of M frames cost O((N + M) * Radius) time and
// memory (a byte per cell searched, two rows of costs).
//
// The path runs from (0, 0) to (N - 1, M - 1) in steps of one frame in
// either sequence or both; a frame's cost is the Euclidean distance of the
// two frames' features. A pause in one voice that the other does not make
// is one frame of the other matched to many.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

class TTimeWarp {
public:
    // Frames: Count * Dims features, frame after frame.
    struct Sequence {
        const float* Frames = nullptr;
        int Count = 0;
        int Dims = 0;
    };
    // The path's cells (frame of A, frame of B), in order; empty when
    // either sequence is empty or their dimensions differ.
    static std::vector<std::pair<int, int>> Warp(const Sequence& a, const Sequence& b,
                                                 int radius = 24);
    // Cells searched by the last Warp on this thread, every level counted
    // (for the benchmark's and the tests' view of the cost).
    static int64_t CellsSearched();
};
