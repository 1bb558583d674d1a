// TTwistsPart: "Show the twists", the tint, its tooltip and the click that
// swaps a word again. The rules are TStoryTwists'.
#include "book/forms/TwistsPart.h"

#include "book/forms/BookAccess.h"

#include <QPainterPath>
#include <algorithm>

#include "book/PageText.h"
#include "book/forms/BookHost.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/qt/QtBookBox.h"
#include "platform/qt/Latin1.h"
#include "story/Generate.h"
#include "ui/Cursors.h"
#include "ui/RunHandler.h"

namespace {

// The button's colours: those of the twist level's buttons.
const QColor kPaper(0xff, 0xfa, 0xf0);
const QColor kGold(0xf7, 0xc8, 0x43);
const QColor kBrown(0x59, 0x36, 0x1d);
const QColor kEdge(0xa0, 0x8a, 0x62);

// A four-pointed sparkle centred at C, R from the centre to a point.
QPainterPath Sparkle(QPointF c, qreal r) {
    QPainterPath p;
    const qreal k = r * 0.28;
    p.moveTo(c.x(), c.y() - r);
    p.quadTo(c.x() + k * 0.3, c.y() - k * 0.3, c.x() + r, c.y());
    p.quadTo(c.x() + k * 0.3, c.y() + k * 0.3, c.x(), c.y() + r);
    p.quadTo(c.x() - k * 0.3, c.y() + k * 0.3, c.x() - r, c.y());
    p.quadTo(c.x() - k * 0.3, c.y() - k * 0.3, c.x(), c.y() - r);
    return p;
}

} // namespace

TTwistsPart::TTwistsPart(TBookHost& host, QWidget& window, TStoryGenerator& generator)
    : pbxShowTwists(&window), host_(host), generator_(generator),
      left_(host.Painter().Area(TPagePainter::Side::Left)),
      right_(host.Painter().Area(TPagePainter::Side::Right)) {
    setParent(&window);
    setObjectName("TwistsPart");
    TBookAccess::Register(pbxShowTwists, TBookAccess::Button([this] { pbxShowTwistsClick(); }));
    pbxShowTwists.setObjectName("pbxShowTwists");
    pbxShowTwists.resize(TBookFoot::kTwistsWidth, TBookFoot::kTwistsHeight);
    pbxShowTwists.setCursor(ScreenCursor(kCursorActivate));
    pbxShowTwists.OnPaint = [this](QPainter& c, const QRegion& damage) {
        TPagePainter::PaintControl(pbxShowTwists, c, damage, image_);
    };
    pbxShowTwists.setFocusPolicy(Qt::TabFocus);
    pbxShowTwists.OnKeyDown = [this](int key) {
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
        RunHandler(host_.Errors(), [this] { pbxShowTwistsClick(); });
        return true;
    };
    pbxShowTwists.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            RunHandler(host_.Errors(), [this] { pbxShowTwistsClick(); });
    };
    pbxShowTwists.hide();
    showTwists_ = host_.Settings().Get("ShowTwists", "0") == "1";
    Name();
    // The twist words' Tab stop; a page area may also have the focus given
    // to it, its ring then along its edge.
    for (const bool left : {true, false}) {
        TPaintBox& page = PageArea(left);
        page.OnKeyDown = [this, left](int key) { return PageKeyDown(left, key); };
        page.OnFocusChange = [this, left](bool in) { PageFocusChanged(left, in); };
    }
    left_.OnMouseMove = [this](QPoint pos) { TwistMouseMove(true, pos); };
    right_.OnMouseMove = [this](QPoint pos) { TwistMouseMove(false, pos); };
}

void TTwistsPart::Take(std::string_view joined) {
    twists_.Take(generator_, joined);
    readBack_ = false;
}

void TTwistsPart::TakeReadBack() {
    twists_.Clear();
    readBack_ = true;
}

void TTwistsPart::Name() {
    // The name says what a press does; a faded button says why it is faded.
    const QString name = showTwists_ && !twists_.Empty() ? "Hide the twists" : "Show the twists";
    const QString why = readBack_         ? "This story was read from a file"
                        : twists_.Empty() ? "This story has no twists"
                                          : QString();
    pbxShowTwists.setAccessibleName(name);
    pbxShowTwists.setAccessibleDescription(why);
    pbxShowTwists.setToolTip(why.isEmpty() ? name : why);
}

std::vector<QWidget*> TTwistsPart::TabStops() {
    return {&left_, &right_, &pbxShowTwists};
}

void TTwistsPart::Show(const TBookSpread::Controls& controls) {
    const bool show = controls.twists;
    pbxShowTwists.setEnabled(!twists_.Empty());
    Name();
    if (show)
        Draw();
    pbxShowTwists.setVisible(show && !image_.isNull());
    PlaceWordStop();
}

void TTwistsPart::PlaceWordStop() {
    QWidget* focused = left_.window()->focusWidget();
    const bool stopFocused = focusWord_ >= 0 && focused == &PageArea(focusLeft_);
    words_.clear();
    const int current = host_.CurrentPage();
    const TBook& book = host_.Book();
    if (showTwists_ && current >= 1 && current <= book.PageCount())
        for (const bool left : {true, false})
            for (const TStoryTwists::PagePart& p :
                 twists_.PageParts(book, left ? current : current + 1))
                if (std::none_of(words_.begin(), words_.end(),
                                 [&](const auto& w) { return w.first == p.span; }))
                    words_.emplace_back(p.span, left);
    const auto at = std::find_if(words_.begin(), words_.end(),
                                 [&](const auto& w) { return w.first == focusWord_; });
    if (at != words_.end()) {
        focusLeft_ = at->second;
    } else if (!words_.empty()) {
        // A page area with the focus keeps it, on its first word.
        const bool rightFocused = focused == &right_ && !stopFocused;
        const auto first = std::find_if(words_.begin(), words_.end(),
                                        [&](const auto& w) { return w.second != rightFocused; });
        const auto& w = first != words_.end() ? *first : words_.front();
        focusWord_ = w.first;
        focusLeft_ = w.second;
    } else {
        focusWord_ = -1;
    }
    // The words' page holds their stop; without tinted words each page that
    // shows the story is a stop of its own, for its text to be read.
    for (const bool left : {true, false}) {
        const int page = left ? current : current + 1;
        const bool story = current >= 1 && page <= book.PageCount();
        PageArea(left).setFocusPolicy(
            (focusWord_ >= 0 ? left == focusLeft_ : story) ? Qt::TabFocus : Qt::NoFocus);
    }
    if (stopFocused && focusWord_ >= 0 && focused != &PageArea(focusLeft_))
        PageArea(focusLeft_).setFocus(Qt::OtherFocusReason);
}

void TTwistsPart::PageFocusChanged(bool left, bool in) {
    if (in && focusWord_ >= 0 && left != focusLeft_) {
        // Focus given to the other page (after a new story): its first word.
        const auto first = std::find_if(words_.begin(), words_.end(),
                                        [&](const auto& w) { return w.second == left; });
        if (first != words_.end())
            FocusOn(first->first, left);
    }
    host_.Painter().RedrawFocus(left ? TPagePainter::Side::Left : TPagePainter::Side::Right,
                                host_.CurrentPage(), host_.StoryText().c_str());
    if (in && focusWord_ >= 0 && left == focusLeft_ && FocusWordMoved)
        FocusWordMoved(left);
}

std::pair<int, int> TTwistsPart::FocusWordPlace(bool left) const {
    if (focusWord_ < 0 || left != focusLeft_ || !showTwists_)
        return {-1, -1};
    const TBook& book = host_.Book();
    const int page = host_.CurrentPage() + (left ? 0 : 1);
    const char* text = host_.StoryText().c_str();
    const TPageText shown(book, page, text);
    int begin = -1, end = -1;
    for (const TStoryTwists::PagePart& p : twists_.PageParts(book, page)) {
        if (p.span != focusWord_)
            continue;
        if (begin < 0)
            begin = shown.OffsetOf(p.part.Line, p.part.Start);
        end = shown.OffsetOf(p.part.Line, p.part.End);
    }
    return begin < 0 || end < begin ? std::pair(-1, -1) : std::pair(begin, end);
}

bool TTwistsPart::PageKeyDown(bool left, int key) {
    if (focusWord_ < 0 || left != focusLeft_)
        return false;
    const auto at = std::find_if(words_.begin(), words_.end(),
                                 [&](const auto& w) { return w.first == focusWord_; });
    if (at == words_.end())
        return false;
    switch (key) {
    case Qt::Key_Left:
        if (at != words_.begin())
            FocusOn(std::prev(at)->first, std::prev(at)->second);
        return true;
    case Qt::Key_Right:
        if (std::next(at) != words_.end())
            FocusOn(std::next(at)->first, std::next(at)->second);
        return true;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        RunHandler(host_.Errors(), [this] { SwapTwist(focusWord_); });
        return true;
    default:
        return false;
    }
}

void TTwistsPart::FocusOn(int span, bool left) {
    const bool moved = left != focusLeft_;
    focusWord_ = span;
    focusLeft_ = left;
    PageArea(left).setFocusPolicy(Qt::TabFocus);
    PageArea(!left).setFocusPolicy(Qt::NoFocus);
    if (moved && PageArea(!left).hasFocus()) {
        PageArea(left).setFocus(Qt::OtherFocusReason); // repaints the pages, tells readers
        return;
    }
    // The ring moved within its page.
    host_.Painter().RedrawFocus(left ? TPagePainter::Side::Left : TPagePainter::Side::Right,
                                host_.CurrentPage(), host_.StoryText().c_str());
    if (PageArea(left).hasFocus() && FocusWordMoved)
        FocusWordMoved(left);
}

std::vector<TRect> TTwistsPart::PageFocus(const TBook& book, plat::Canvas& canvas, int width,
                                          int page, const char* text, bool left) {
    std::vector<TRect> parts;
    if (focusWord_ < 0 || left != focusLeft_ || !showTwists_)
        return parts;
    for (const TStoryTwists::PagePart& p : twists_.PageParts(book, page))
        if (p.span == focusWord_)
            parts.push_back(TStoryTwists::PartRect(book, canvas, width, p.part, text));
    return parts;
}

void TTwistsPart::Place() {
    pbxShowTwists.setGeometry(ToQRect(host_.Painter().Foot().ShowTwists()));
}

void TTwistsPart::Draw() {
    if (!host_.Painter().HasBook()) {
        image_ = QImage();
        return;
    }
    QImage behind = host_.Painter().BookBehind(pbxShowTwists.geometry());
    const bool enabled = pbxShowTwists.isEnabled();
    const bool on = showTwists_ && enabled;
    // Drawn at scale 1, grown with the window's controls.
    const int scale = host_.Painter().Foot().Scale();
    const std::array<int, 3> look{on, enabled, scale};
    if (!image_.isNull() && look == drawnLook_ && behind == drawnBehind_)
        return; // it shows as it is
    drawnLook_ = look;
    drawnBehind_ = behind;
    image_ = std::move(behind);
    QPainter p(&image_);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    const QRectF face = QRectF(0, 0, TBookFoot::kTwistsWidth, TBookFoot::kTwistsHeight)
                            .adjusted(1.5, 1.5, -1.5, -1.5);
    p.setOpacity(enabled ? 1.0 : 0.45);
    p.setPen(QPen(on ? kBrown : kEdge, on ? 2.0 : 1.0));
    p.setBrush(on ? kGold : kPaper);
    p.drawRoundedRect(face, 4, 4);
    // A big sparkle and a small one; lit with the tint's colour when on.
    p.setPen(QPen(kBrown, 1.2));
    p.setBrush(on ? QColor::fromRgb(TStoryTwists::kColour) : kPaper);
    const qreal r = face.height() / 2 - 0.5;
    p.drawPath(Sparkle(face.center() + QPointF(-r * 0.35, r * 0.15), r));
    p.setBrush(on ? QColor(Qt::white) : kPaper);
    p.drawPath(Sparkle(face.center() + QPointF(r * 0.95, -r * 0.45), r * 0.45));
    p.end();
    pbxShowTwists.update();
}

void TTwistsPart::pbxShowTwistsClick() {
    if (!pbxShowTwists.isEnabled())
        return;
    SetShowTwists(!showTwists_);
}

void TTwistsPart::SetShowTwists(bool show) {
    showTwists_ = show;
    host_.Settings().Set("ShowTwists", show ? "1" : "0");
    Name();
    Draw();
    if (host_.CurrentPage() >= 1)
        host_.ShowPages(host_.CurrentPage());
}

void TTwistsPart::DrawPageLayer(const TBook& book, plat::Canvas& canvas, int width, int page,
                                const char* text, bool left) {
    auto& rects = rects_[left ? 0 : 1];
    rects.clear();
    if (!showTwists_ || twists_.Empty())
        return;
    for (const TStoryTwists::PagePart& p : twists_.PageParts(book, page)) {
        const TRect r = TStoryTwists::PartRect(book, canvas, width, p.part, text);
        if (r.IsEmpty())
            continue;
        canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, TStoryTwists::kColour);
        rects.emplace_back(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)), p.span);
    }
}

int TTwistsPart::TwistAt(bool left, QPoint pos) const {
    if (!showTwists_ || host_.CurrentPage() < 1)
        return -1;
    for (const auto& [rect, span] : rects_[left ? 0 : 1])
        if (rect.contains(pos))
            return span;
    return -1;
}

void TTwistsPart::TwistMouseMove(bool left, QPoint pos) {
    TPaintBox& page = left ? left_ : right_;
    const int span = TwistAt(left, pos);
    const QString tip = span < 0 ? QString() : ToQString("was: " + twists_.Was(generator_, span));
    if (page.toolTip() != tip)
        page.setToolTip(tip);
}

bool TTwistsPart::TwistClick(bool left, QPoint pos) {
    const int span = TwistAt(left, pos);
    if (span < 0)
        return false;
    RunHandler(host_.Errors(), [this, span] { SwapTwist(span); });
    return true;
}

std::vector<TTwistsPart::ShownLine> TTwistsPart::ShownLines(bool left) const {
    const int page = left ? host_.CurrentPage() : host_.CurrentPage() + 1;
    const char* text = host_.StoryText().c_str();
    const std::string all = TPageText(host_.Book(), page, text).Text();
    std::vector<ShownLine> lines;
    for (std::size_t at = 0; at <= all.size() && !all.empty();) {
        const std::size_t end = std::min(all.find('\n', at), all.size());
        lines.push_back({all.substr(at, end - at)});
        at = end + 1;
    }
    const auto side = left ? TPagePainter::Side::Left : TPagePainter::Side::Right;
    host_.Painter().Measure(side, page, [&](plat::Canvas& canvas, int width) {
        for (std::size_t l = 0; l < lines.size(); ++l) {
            const TRect r = TLinePart{page, static_cast<int>(l) + 1, 0, 1}.Rect(
                host_.Book(), canvas, width, text, 0);
            if (!r.IsEmpty()) {
                lines[l].top = r.Top;
                lines[l].bottom = r.Bottom;
            }
        }
    });
    return lines;
}

void TTwistsPart::KeepUnchangedLines(bool left, const std::vector<ShownLine>& shown) {
    const std::vector<ShownLine> now = ShownLines(left);
    TPagePainter::Rows rows;
    int above = 0; // the bottom of the last unchanged line with rows
    const std::size_t count = std::max(shown.size(), now.size());
    for (std::size_t l = 0; l < count; ++l) {
        const ShownLine* was = l < shown.size() ? &shown[l] : nullptr;
        const ShownLine* is = l < now.size() ? &now[l] : nullptr;
        if (was && is && *was == *is) {
            above = std::max(above, is->bottom);
            continue;
        }
        for (const ShownLine* line : {was, is})
            if (line && line->bottom > line->top)
                rows.emplace_back(line->top - kRingReach, line->bottom + kRingReach);
        // What stands below the lines moves with them.
        if (shown.size() != now.size()) {
            rows.emplace_back(above, PageArea(left).height());
            break;
        }
    }
    host_.Painter().RedrawOnly(left ? TPagePainter::Side::Left : TPagePainter::Side::Right,
                               std::move(rows));
}

void TTwistsPart::SwapTwist(int i) {
    if (i < 0 || static_cast<std::size_t>(i) >= twists_.Spans().size())
        return;
    const uint32_t choice = twists_.Spans()[static_cast<std::size_t>(i)].Choice;
    std::string joined;
    if (!twists_.SwapAgain(generator_, i, joined))
        return;
    const int current = host_.CurrentPage();
    // The spread's lines as shown: a swap changes no line above the first
    // one whose text differs, so those rows need not be drawn again.
    std::vector<ShownLine> shown[2];
    if (current >= 1)
        for (const bool left : {true, false})
            shown[left ? 0 : 1] = ShownLines(left);
    host_.SetStory(joined); // stops the reading; takes the new spans
    // The spread that holds the swapped word: the place clicked when it still
    // holds the word, else the word's first place.
    const auto& spans = twists_.Spans();
    int32_t at = spans.empty() ? 0 : spans.front().Begin;
    if (static_cast<std::size_t>(i) < spans.size() &&
        spans[static_cast<std::size_t>(i)].Choice == choice)
        at = spans[static_cast<std::size_t>(i)].Begin;
    else
        for (const TStoryTwists::Span& s : spans)
            if (s.Choice == choice) {
                at = s.Begin;
                break;
            }
    const int page = TStoryTwists::PageOf(host_.Book(), at);
    const int spread = page < 1 ? current : (page % 2 == 1 ? page : page - 1);
    if (spread == current && current >= 1)
        for (const bool left : {true, false})
            KeepUnchangedLines(left, shown[left ? 0 : 1]);
    host_.ShowPages(spread);
}
