// The painting half of the tiled backgrounds: paints a library tile over a
// clip rectangle on the grid anchored at the control's corner, with the
// library palette selected and realised.
#pragma once
#include <QPainter>
#include <QRect>

class TRL8Library;
class TImageNode;
class TRL8ImageData;

// Node is the tile, Surface its surface (for the size); Clip in the
// painter's co-ordinates.
void PaintTiles(QPainter& painter, TRL8Library& library, TImageNode* node,
                const TRL8ImageData& surface, const QRect& clip);
// The hatch that a background without a tile shows: black diagonal cross on white.
void PaintHatch(QPainter& painter, const QRect& area);
