// 8-bit palette PNG files of the art pipeline, written byte-for-byte
// reproducibly (no time or text chunks, fixed compression settings).
#pragma once
#include <string>

#include "ArtPalette.h"
#include "IndexedImage.h"

class TIndexedPng {
public:
    // Writes img with the full 256-entry palette; a transparent image gets a
    // tRNS chunk that makes only its key colour transparent. Replaces the file
    // atomically. Raises std::runtime_error on failure.
    static void Write(const std::string& path, const TIndexedImage& img, const TArtPalette& pal);
    // Reads an 8-bit palette PNG written by Write (or any 8-bit palette PNG):
    // pixels as indices; transparent when tRNS marks one entry fully transparent.
    static TIndexedImage Read(const std::string& path);
};
