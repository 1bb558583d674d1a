// The picture book's pages and the cover's geometry.
#include "keepsake/PictureBookPlan.h"

#include <algorithm>
#include <cstdlib>

#include "story/StoryText.h"
#include "story/TaleTable.h"

namespace {

constexpr uint32_t kInk = 0x000000;

// Restores a canvas's size and bold style when the scope ends.
class FontScope {
public:
    explicit FontScope(plat::Canvas& canvas)
        : canvas_(canvas), size_(canvas.FontSize()), bold_(canvas.Bold()) {}
    ~FontScope() {
        canvas_.SetBold(bold_);
        canvas_.SetFontSize(size_);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    plat::Canvas& canvas_;
    int size_;
    bool bold_;
};

int LineHeight(plat::Canvas& canvas) {
    return std::abs(canvas.TextHeight("A"));
}

// Keeps the first Fit of Lines and ends the last with "...", words taken
// off its end until it fits Width.
void EndWithDots(plat::Canvas& canvas, std::vector<std::string>& lines, std::size_t fit,
                 int width) {
    lines.resize(fit);
    std::string& last = lines.back();
    for (;;) {
        if (canvas.TextWidth(last + "...") <= width)
            break;
        const std::size_t space = last.rfind(' ');
        if (space == std::string::npos || space == 0)
            break;
        last.erase(space);
    }
    last += "...";
}

void Outline(plat::Canvas& canvas, const TRect& r, int rule) {
    canvas.FillRect(r.Left, r.Top, r.Right, r.Top + rule, kInk);
    canvas.FillRect(r.Left, r.Bottom - rule, r.Right, r.Bottom, kInk);
    canvas.FillRect(r.Left, r.Top + rule, r.Left + rule, r.Bottom - rule, kInk);
    canvas.FillRect(r.Right - rule, r.Top + rule, r.Right, r.Bottom - rule, kInk);
}

} // namespace

TPictureBookPlan::Size TPictureBookPlan::PagePixels(Paper paper, int dpi) {
    dpi = std::max(dpi, 1);
    if (paper == Paper::HalfLetter) // 5.5 x 8.5 inches
        return {(11 * dpi + 1) / 2, (17 * dpi + 1) / 2};
    // 148 x 210 mm, a millimetre being 10 / 254 inch.
    return {static_cast<int>((1480LL * dpi + 127) / 254),
            static_cast<int>((2100LL * dpi + 127) / 254)};
}

int TPictureBookPlan::PictureLevel(int percent) {
    return std::clamp((percent + 25) / 50, 0, 2);
}

TPictureBookPlan::TPictureBookPlan(plat::Canvas& canvas, const char* story, int width, int height,
                                   int dpi, int points)
    : story_(story ? story : ""), width_(std::max(width, 1)), height_(std::max(height, 1)),
      dpi_(std::max(dpi, 1)), textPoints_(TextPoints(points)) {
    title_ = StoryTitle(story_);
    book_.MarginX = width_ / 9;
    book_.MarginY = height_ / 11;
    const FontScope font(canvas);
    canvas.SetBold(false);
    canvas.SetFontSize(textPoints_);
    book_.PaginateInto(&pages_, &canvas, story_, TRect{0, 0, width_, height_});
    index_ = TBook::PagesOf(pages_);
    PlanCover(canvas);
}

TPictureBookPlan::Page TPictureBookPlan::At(int n) const {
    if (n == 1)
        return {Page::Kind::Cover, 0};
    if (n >= 2 && n <= StoryPages() + 1)
        return {Page::Kind::Story, n - 1};
    if (n == PageCount())
        return {Page::Kind::TheEnd, 0};
    return {};
}

std::vector<std::string> TPictureBookPlan::BreakTitle(plat::Canvas& canvas, int width,
                                                      std::size_t maxLines) const {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at <= title_.size() && lines.size() < maxLines) {
        std::size_t space = title_.find(' ', at);
        if (space == std::string::npos)
            space = title_.size();
        const std::string word = title_.substr(at, space - at);
        at = space + 1;
        if (word.empty())
            continue;
        const std::string longer = line.empty() ? word : line + ' ' + word;
        if (line.empty() || canvas.TextWidth(longer) <= width) {
            line = longer;
        } else {
            lines.push_back(line);
            line = word;
        }
    }
    if (!line.empty() && lines.size() < maxLines)
        lines.push_back(line);
    return lines;
}

void TPictureBookPlan::PlanCover(plat::Canvas& canvas) {
    Cover& c = cover_;
    const int inset = std::min(width_, height_) / 18;
    c.rule = std::max(1, dpi_ / 60);
    c.outer = TRect{inset, inset, width_ - inset, height_ - inset};
    const int gap = 3 * c.rule;
    c.inner =
        TRect{c.outer.Left + gap, c.outer.Top + gap, c.outer.Right - gap, c.outer.Bottom - gap};
    const TRect content{c.inner.Left + inset, c.inner.Top + inset, c.inner.Right - inset,
                        c.inner.Bottom - inset};
    const int contentWidth = std::max(content.Right - content.Left, 1);
    const int contentHeight = std::max(content.Bottom - content.Top, 1);

    // The picture: as many whole device pixels for each of its pixels as
    // leave it at most seven eighths of the width and 11/20 of the height.
    c.pictureScale = std::max(1, std::min(contentWidth * 7 / 8, contentHeight * 11 / 20) /
                                     TTaleTable::kPictureSide);
    const int side = TTaleTable::kPictureSide * c.pictureScale;
    const int left = (width_ - side) / 2;
    const int top = content.Top + std::max(contentHeight - side, 0) * 3 / 5;
    c.picture = TRect{left, top, left + side, top + side};

    // The title above it, bold at twice the story's size, smaller while a
    // word or the whole does not fit, but not for height below the story's
    // size: there the lines that fit the room stand, and the title is cut.
    const FontScope font(canvas);
    canvas.SetBold(true);
    const int room = std::max(top - content.Top, 1);
    std::vector<std::string> lines;
    for (int points = 2 * textPoints_;; --points) {
        canvas.SetFontSize(points);
        const std::size_t fit = static_cast<std::size_t>(std::max(room / LineHeight(canvas), 1));
        lines = BreakTitle(canvas, contentWidth, fit + 1);
        const bool wide = std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return canvas.TextWidth(l) > contentWidth;
        });
        const bool cut = lines.size() > fit;
        if ((!wide && !cut) || points <= 1 || (!wide && points <= textPoints_)) {
            c.titlePoints = points;
            if (cut)
                EndWithDots(canvas, lines, fit, contentWidth);
            break;
        }
    }
    const int lh = LineHeight(canvas);
    int y = content.Top + (room - lh * static_cast<int>(lines.size())) / 2;
    c.title.clear();
    for (std::string& l : lines) {
        const int x = (width_ - canvas.TextWidth(l)) / 2;
        c.title.push_back({std::move(l), x, y});
        y += lh;
    }
}

void TPictureBookPlan::DrawPage(plat::Canvas& canvas, int n) {
    const FontScope font(canvas);
    canvas.SetPenColour(kInk);
    const Page page = At(n);
    switch (page.kind) {
    case Page::Kind::Cover:
        Outline(canvas, cover_.outer, cover_.rule);
        Outline(canvas, cover_.inner, cover_.rule);
        canvas.SetBold(true);
        canvas.SetFontSize(cover_.titlePoints);
        for (const Line& l : cover_.title)
            canvas.TextOut(l.x, l.y, l.text);
        break;
    case Page::Kind::Story: {
        canvas.SetBold(false);
        canvas.SetFontSize(textPoints_);
        book_.DrawStoryPage(*index_[static_cast<std::size_t>(page.storyPage - 1)], canvas, width_,
                            story_);
        const std::string number = std::to_string(page.storyPage);
        const int lh = LineHeight(canvas);
        canvas.TextOut((width_ - canvas.TextWidth(number)) / 2,
                       height_ - book_.MarginY / 2 - lh / 2, number);
        break;
    }
    case Page::Kind::TheEnd: {
        canvas.SetBold(true);
        canvas.SetFontSize(2 * textPoints_);
        const int lh = LineHeight(canvas);
        const int y = height_ * 2 / 5 - lh / 2;
        const int textWidth = canvas.TextWidth(kTheEnd);
        canvas.TextOut((width_ - textWidth) / 2, y, kTheEnd);
        // Under it a short double rule, drawn as the cover's frame is.
        const int rule = cover_.rule, left = (width_ - textWidth / 2) / 2;
        for (const int top : {y + lh + 2 * rule, y + lh + 5 * rule})
            canvas.FillRect(left, top, left + textWidth / 2, top + rule, kInk);
        break;
    }
    case Page::Kind::Blank:
        break;
    }
}
