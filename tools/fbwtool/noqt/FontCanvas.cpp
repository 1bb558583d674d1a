// fbwtool without Qt: no font canvas.
#include "FontCanvas.h"

std::unique_ptr<FontCanvasSession> OpenFontCanvas(const std::string&, int, int,
                                                  std::string& error) {
    error = "--font is unavailable: this fbwtool was built without Qt";
    return nullptr;
}
