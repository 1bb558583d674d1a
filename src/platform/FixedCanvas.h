// A canvas with fixed metrics for tests and tools: every character has a
// given width and the font a given line height at the base size; both scale
// linearly with the font size (integer division), bold changes nothing.
// Drawing is recorded as calls; the cover picture goes to an optional
// in-memory target.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/Canvas.h"
#include "platform/MemoryDrawTarget.h"

namespace plat {

class FixedCanvas : public Canvas {
public:
    // CharWidth and LineHeight are pixels at BasePoints, the starting size.
    FixedCanvas(int charWidth, int lineHeight, int basePoints = 12);

    // One recorded drawing call, with the font and pen at the time.
    struct Call {
        enum Kind { Text, Move, Line, Fill } kind;
        int x = 0;        // Fill: the left edge
        int y = 0;        // Fill: the top edge
        std::string text; // Text only
        int size = 0;     // font size in points
        bool bold = false;
        uint32_t pen = 0;
        int right = 0; // Fill only: the right and bottom edges (excluded)
        int bottom = 0;
        uint32_t fill = 0; // Fill only
    };
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<Call> TextCalls() const;
    void ClearCalls() { calls_.clear(); }

    // Character C is Width pixels wide at the base size.
    void SetCharWidth(unsigned char c, int width) { widths_[c] = width; }
    // Gives the canvas a Width x Height in-memory target filled with Fill.
    MemoryDrawTarget& MakeTarget(int width, int height, uint32_t fill = 0xFFFFFFFFu);

    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void SetPenColour(uint32_t rgb) override { pen_ = rgb; }
    void FillRect(int left, int top, int right, int bottom, uint32_t rgb) override;
    int FontSize() const override { return size_; }
    void SetFontSize(int points) override { size_ = points < 1 ? 1 : points; }
    bool Bold() const override { return bold_; }
    void SetBold(bool bold) override { bold_ = bold; }
    DrawTarget* Target() override { return target_.get(); }

    // Number of TextWidth calls so far (the cost of a layout).
    long long MeasureCount() const { return measures_; }

private:
    std::array<int, 256> widths_;
    int lineHeight_;
    int basePoints_;
    int size_;
    bool bold_ = false;
    uint32_t pen_ = 0;
    long long measures_ = 0;
    std::vector<Call> calls_;
    std::unique_ptr<MemoryDrawTarget> target_;
};

} // namespace plat
