// The in-memory drawing target.
#include "platform/MemoryDrawTarget.h"

namespace plat {

MemoryDrawTarget::MemoryDrawTarget(int width, int height, uint32_t fill)
    : width_(width > 0 ? width : 0), height_(height > 0 ? height : 0),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), fill) {}

void MemoryDrawTarget::Blit(int x, int y, int w, int h, const uint8_t* topRow,
                            std::ptrdiff_t rowStep, const uint32_t (&lut)[256], RasterOp op) {
    BlitToRgb32(pixels_.data(), width_, width_, height_, x, y, w, h, topRow, rowStep, lut, op);
}

} // namespace plat
