// A drawing target in plain memory: Width x Height pixels of 0xAARRGGBB, top
// row first. Used by the engine's tests and tools.
#pragma once
#include <vector>

#include "platform/DrawTarget.h"

namespace plat {

class MemoryDrawTarget : public DrawTarget {
public:
    // All pixels start as Fill.
    MemoryDrawTarget(int width, int height, uint32_t fill = 0xFF000000u);

    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t Pixel(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)];
    }
    // Colour without the alpha byte.
    uint32_t Rgb(int x, int y) const { return Pixel(x, y) & 0xFFFFFFu; }
    std::vector<uint32_t>& Pixels() { return pixels_; }

protected:
    void Blit(int x, int y, int w, int h, const uint8_t* topRow, std::ptrdiff_t rowStep,
              const uint32_t (&lut)[256], RasterOp op) override;

private:
    int width_;
    int height_;
    std::vector<uint32_t> pixels_;
};

} // namespace plat
