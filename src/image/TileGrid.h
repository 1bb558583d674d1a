// The tiling rule of the tiled backgrounds: tiles of TileW x TileH sit on a
// grid anchored at the control's top-left corner (0, 0), and a repaint of a
// clip rectangle paints exactly the grid cells that meet it.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Point.h"
#include "platform/Rect.h"

// The top-left corners of the tiles that cover Clip (half-open), row by row,
// left to right. Empty for an empty clip or a tile without pixels.
std::vector<TPoint> TileOrigins(const TRect& clip, int32_t tileW, int32_t tileH);
