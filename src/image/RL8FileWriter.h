// Builds an image-library file: the file header, a palette and the records
// of images whose segments hold coded data or plain rows.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "image/RL8Image.h"

class TRL8FileWriter {
public:
    // Palette: 1024 bytes, 256 entries of blue, green, red, reserved.
    explicit TRL8FileWriter(const std::vector<uint8_t>& palette);

    // Appends the record of Image (its segments are read, not changed).
    void AddImage(TRL8Image& image);
    const std::string& Bytes() const { return bytes_; }
    // Writes the file atomically; false on failure (the old file stays).
    bool Save(const std::string& path) const;

private:
    std::string bytes_;
};
