// The fields of an image record's 18-byte header, in file order, as read
// from a library without loading the image (TRL8Library::ReadImageHeaders).
// A plain value: it keeps nothing of the library.
#pragma once
#include <cstdint>

struct TRL8ImageHeader {
    char Name[8] = {}; // zero-padded
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t SegmentCount = 0;
    uint8_t State = 0; // TRL8Image::kCoded or kPlain
    uint8_t TransparentColour = 0;
    uint8_t Transparent = 0;
    int16_t HeaderVersion = 3;
};
