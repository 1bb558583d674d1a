// The canvas of fbwtool paginate --font: the Qt canvas on an image at a given
// dpi when fbwtool is built with Qt (qt/FontCanvas.cpp), otherwise nothing
// (noqt/FontCanvas.cpp).
#pragma once
#include <memory>
#include <string>

#include "platform/Canvas.h"

class FontCanvasSession {
public:
    virtual ~FontCanvasSession() = default;
    virtual plat::Canvas& Canvas() = 0;
};

// A canvas in font Family at Points on an image of Dpi dots per inch (it
// measures; what it draws is not kept); nullptr with Error set when there is
// none.
std::unique_ptr<FontCanvasSession> OpenFontCanvas(const std::string& family, int points, int dpi,
                                                  std::string& error);
