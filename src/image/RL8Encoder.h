// Coding of one segment's pixel rows: literal rows, line codes (literal, run,
// XOR, fill and copy-from-previous items) or the simple run-length scheme,
// whichever is smallest, with escape bytes chosen for the segment. The result
// decodes with TRL8Decoder to exactly the given rows.
#pragma once
#include <cstdint>
#include <string>

class TRL8Encoder {
public:
    struct Coded {
        uint8_t Escape1 = 0;
        uint8_t Escape2 = 0;
        uint8_t Flags = 0; // segment flags, the coded bit included
        std::string Data;
    };

    // Rows: RowCount rows of Width pixels, Stride bytes apart, in stored
    // order (row 0 first; row r - 1 is the previous row of row r).
    static Coded EncodeSegment(const uint8_t* rows, uint32_t width, uint32_t stride,
                               uint32_t rowCount);

    // The single codings, for tests and measurements.
    static std::string EncodeRawRows(const uint8_t* rows, uint32_t width, uint32_t stride,
                                     uint32_t rowCount);
    static std::string EncodeLineCodes(const uint8_t* rows, uint32_t width, uint32_t stride,
                                       uint32_t rowCount, uint8_t e1, uint8_t e2);
    static std::string EncodeSimple(const uint8_t* rows, uint32_t width, uint32_t stride,
                                    uint32_t rowCount, uint8_t e1);
    // The two least used values among the rows' pixels and their differences
    // (XOR) to the previous rows: E1 the least used.
    static void ChooseEscapes(const uint8_t* rows, uint32_t width, uint32_t stride,
                              uint32_t rowCount, uint8_t& e1, uint8_t& e2);
};
