// Decoding of one segment's coded data into pixel rows. Rows are produced in
// stored order (row 0 first, the previous row of row r is row r - 1), each
// Width pixels followed by Stride - Width zero bytes. Every run, copy and
// literal is checked against the row, the output and the coded data before
// any byte moves; failures raise RL8Exception with the decoding messages.
#pragma once
#include <cstddef>
#include <cstdint>

class TRL8Decoder {
public:
    // Line codes (LineCodes true) or literal rows (every code taken as 0).
    // Dest holds Rows x Stride bytes.
    static void DecodeLineCodes(const uint8_t* src, std::size_t srcSize, uint8_t* dest,
                                uint32_t width, uint32_t stride, uint32_t rows, uint8_t e1,
                                uint8_t e2, bool lineCodes);
    // The simple run-length scheme with escape E1; a run may carry over from
    // one row into the next.
    static void DecodeSimple(const uint8_t* src, std::size_t srcSize, uint8_t* dest, uint32_t width,
                             uint32_t stride, uint32_t rows, uint8_t e1);
};
