// The fixed-metric canvas: arithmetic metrics and recorded drawing.
#include "platform/FixedCanvas.h"

#include <cstdlib>

namespace plat {

FixedCanvas::FixedCanvas(int charWidth, int lineHeight, int basePoints)
    : lineHeight_(lineHeight), basePoints_(basePoints < 1 ? 1 : basePoints),
      size_(basePoints < 1 ? 1 : basePoints) {
    widths_.fill(charWidth);
}

std::vector<FixedCanvas::Call> FixedCanvas::TextCalls() const {
    std::vector<Call> out;
    for (const Call& c : calls_)
        if (c.kind == Call::Text)
            out.push_back(c);
    return out;
}

MemoryDrawTarget& FixedCanvas::MakeTarget(int width, int height, uint32_t fill) {
    target_ = std::make_unique<MemoryDrawTarget>(width, height, fill);
    return *target_;
}

int FixedCanvas::TextWidth(std::string_view text) {
    ++measures_;
    long long sum = 0;
    for (char c : text)
        sum += widths_[static_cast<unsigned char>(c)];
    return static_cast<int>(sum * size_ / basePoints_);
}

int FixedCanvas::TextHeight(std::string_view) {
    return lineHeight_ * size_ / basePoints_;
}

void FixedCanvas::TextOut(int x, int y, std::string_view text) {
    calls_.push_back(Call{Call::Text, x, y, std::string(text), size_, bold_, pen_});
}

void FixedCanvas::MoveTo(int x, int y) {
    calls_.push_back(Call{Call::Move, x, y, {}, size_, bold_, pen_});
}

void FixedCanvas::LineTo(int x, int y) {
    calls_.push_back(Call{Call::Line, x, y, {}, size_, bold_, pen_});
}

void FixedCanvas::FillRect(int left, int top, int right, int bottom, uint32_t rgb) {
    if (left < right && top < bottom)
        calls_.push_back(Call{Call::Fill, left, top, {}, size_, bold_, pen_, right, bottom, rgb});
}

} // namespace plat
