// The drawing surface the book layout measures and draws text on: a current
// font (size in points, bold or not), a one-pixel pen and the device the
// cover picture is transferred to. Co-ordinates are device pixels with (0, 0)
// at the top-left of the drawing area. Text is single-byte Latin-1; every
// byte is one character, measured by its advance.
#pragma once
#include <cstdint>
#include <string_view>

namespace plat {

class DrawTarget;

class Canvas {
public:
    Canvas() = default;
    virtual ~Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Width in pixels of Text in the current font: the sum of its
    // characters' advances, so a prefix is never wider than the whole.
    virtual int TextWidth(std::string_view text) = 0;
    // Height in pixels of Text in the current font (the font's line height;
    // the layout asks for "A"). May be negative on some devices: callers use
    // its absolute value.
    virtual int TextHeight(std::string_view text) = 0;
    // Draws Text with its top-left corner at (X, Y) in the current font and
    // text colour; the background stays as it is.
    virtual void TextOut(int x, int y, std::string_view text) = 0;

    // The pen: MoveTo sets the current point; LineTo draws a one-pixel line
    // from the current point to (X, Y), that end point excluded, and makes it
    // the current point.
    virtual void MoveTo(int x, int y) = 0;
    virtual void LineTo(int x, int y) = 0;
    // Colour of the pen as 0x00RRGGBB.
    virtual void SetPenColour(uint32_t rgb) = 0;
    // Fills the half-open rectangle from (Left, Top) to (Right, Bottom) with
    // the colour 0x00RRGGBB; nothing when it is empty.
    virtual void FillRect(int left, int top, int right, int bottom, uint32_t rgb) = 0;

    // The current font's size in points (at least 1) and its bold style.
    virtual int FontSize() const = 0;
    virtual void SetFontSize(int points) = 0;
    virtual bool Bold() const = 0;
    virtual void SetBold(bool bold) = 0;

    // The device for palette-index transfers (the cover picture), or nullptr
    // when this canvas has none. Owned by the canvas.
    virtual DrawTarget* Target() = 0;
};

} // namespace plat
