// TFormBook's twists: the "Show the twists" button, the tint behind the words
// the vocabulary put in, the tooltip of what the tale had there, and a click
// on a tinted word that swaps it again. The rules are TStoryTwists'.
#include <QPainterPath>
#include <cstring>
#include <tuple>

#include "book/BookGeometry.h"
#include "book/StoryText.h"
#include "book/forms/FormBook.h"
#include "data/InitGame.h"
#include "platform/PrivateProfile.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
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

void TFormBook::BuildShowTwists() {
    pbxShowTwists.setObjectName("pbxShowTwists");
    pbxShowTwists.resize(kShowTwistsWidth, kShowTwistsHeight);
    pbxShowTwists.setCursor(ScreenCursor(kCursorActivate));
    pbxShowTwists.setToolTip("Show the twists");
    pbxShowTwists.setAccessibleName("Show the twists");
    pbxShowTwists.OnPaint = [this](QPainter& c, const QRegion& damage) {
        for (const QRect& r : damage)
            c.drawImage(r, showTwistsImage_, r);
    };
    pbxShowTwists.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            RunHandler(ShowError, [this] { pbxShowTwistsClick(); });
    };
    pbxShowTwists.hide();
    showTwists_ = !SettingsFileName.empty() &&
                  plat::GetProfileString("Book", "ShowTwists", "0", SettingsFileName) == "1";
    for (auto [page, left] : {std::pair{&pbxLeftPage, true}, std::pair{&pbxRightPage, false}})
        page->OnMouseMove = [this, left = left](QPoint pos) { TwistMouseMove(left, pos); };
}

void TFormBook::UpdateShowTwists() {
    const bool show = currentPage_ >= 1 && currentPage_ <= book_.PageCount();
    pbxShowTwists.setEnabled(!twists_.Empty());
    if (show)
        DrawShowTwists();
    pbxShowTwists.setVisible(show && !showTwistsImage_.isNull());
}

void TFormBook::DrawShowTwists() {
    if (bookImage_.isNull()) {
        showTwistsImage_ = QImage();
        return;
    }
    showTwistsImage_ = bookImage_.copy(pbxShowTwists.geometry());
    QPainter p(&showTwistsImage_);
    p.setRenderHint(QPainter::Antialiasing);
    const bool enabled = pbxShowTwists.isEnabled();
    const bool on = showTwists_ && enabled;
    const QRectF face = QRectF(showTwistsImage_.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
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

void TFormBook::pbxShowTwistsClick() {
    if (!pbxShowTwists.isEnabled())
        return;
    SetShowTwists(!showTwists_);
}

void TFormBook::SetShowTwists(bool show) {
    showTwists_ = show;
    if (!SettingsFileName.empty())
        plat::WriteProfileString("Book", "ShowTwists", show ? "1" : "0", SettingsFileName);
    pbxShowTwists.setToolTip(show ? "Hide the twists" : "Show the twists");
    pbxShowTwists.setAccessibleName(pbxShowTwists.toolTip());
    DrawShowTwists();
    if (currentPage_ >= 1)
        RepaintChangedPages();
}

void TFormBook::DrawTwists(plat::Canvas& canvas, bool left, int width, int page) {
    auto& rects = left ? leftTwists_ : rightTwists_;
    rects.clear();
    if (!showTwists_ || twists_.Empty())
        return;
    for (const TStoryTwists::PagePart& p : twists_.PageParts(book_, page)) {
        const TRect r = TStoryTwists::PartRect(book_, canvas, width, p.part, story_.c_str());
        if (r.IsEmpty())
            continue;
        canvas.FillRect(r.Left, r.Top, r.Right, r.Bottom, TStoryTwists::kColour);
        rects.emplace_back(QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)), p.span);
    }
}

int TFormBook::TwistAt(bool left, QPoint pos) const {
    if (!showTwists_ || currentPage_ < 1)
        return -1;
    for (const auto& [rect, span] : left ? leftTwists_ : rightTwists_)
        if (rect.contains(pos))
            return span;
    return -1;
}

void TFormBook::TwistMouseMove(bool left, QPoint pos) {
    TPaintBox& page = left ? pbxLeftPage : pbxRightPage;
    const int span = TwistAt(left, pos);
    const QString tip = span < 0 ? QString() : ToQString("was: " + twists_.Was(generator_, span));
    if (page.toolTip() != tip)
        page.setToolTip(tip);
}

bool TFormBook::TwistClick(bool left, QPoint pos) {
    const int span = TwistAt(left, pos);
    if (span < 0)
        return false;
    RunHandler(ShowError, [this, span] { SwapTwist(span); });
    return true;
}

void TFormBook::SwapTwist(int i) {
    StopReading();
    if (i < 0 || static_cast<std::size_t>(i) >= twists_.Spans().size())
        return;
    const uint32_t choice = twists_.Spans()[static_cast<std::size_t>(i)].Choice;
    std::string joined;
    if (!twists_.SwapAgain(generator_, i, joined))
        return;
    story_ = ResolveStoryLineEnds(joined);
    twists_.Take(generator_, joined);
    Layout();
    // The spread that holds the swapped word: the place clicked when it still
    // holds the word, else the word's first place.
    int32_t at = twists_.Spans().empty() ? 0 : twists_.Spans().front().Begin;
    const int old = i < static_cast<int>(twists_.Spans().size()) ? i : -1;
    if (old >= 0 && twists_.Spans()[static_cast<std::size_t>(old)].Choice == choice)
        at = twists_.Spans()[static_cast<std::size_t>(old)].Begin;
    else
        for (const TStoryTwists::Span& s : twists_.Spans())
            if (s.Choice == choice) {
                at = s.Begin;
                break;
            }
    const int page = TStoryTwists::PageOf(book_, at);
    const int spread = page < 1 ? currentPage_ : (page % 2 == 1 ? page : page - 1);
    if (spread != currentPage_) {
        ShowPages(spread);
        return;
    }
    UpdateControls();
    RepaintChangedPages();
}

void TFormBook::RepaintChangedPages() {
    // The old pictures stay as they were while the new ones are drawn (the
    // images share nothing once painted on), then only the differing pixels
    // are repainted, in bands of rows.
    const QImage oldLeft = leftImage_, oldRight = rightImage_;
    const TBookBox left = TBookGeometry::LeftPage(width(), height());
    const TBookBox right = TBookGeometry::RightPage(width(), height());
    DrawPageInto(leftImage_, leftStore_, left, currentPage_);
    ++leftDraws_;
    DrawPageInto(rightImage_, rightStore_, right, currentPage_ == 0 ? -1 : currentPage_ + 1);
    for (auto [area, before, now] : {std::tuple{&pbxLeftPage, &oldLeft, &leftImage_},
                                     std::tuple{&pbxRightPage, &oldRight, &rightImage_}}) {
        if (before->size() != now->size() || before->format() != now->format()) {
            area->update();
            continue;
        }
        // Runs of rows that differ in the same columns make one rectangle.
        const qreal ratio = now->devicePixelRatio();
        const int w = now->width();
        const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
        QRegion damage;
        QRect run;
        const auto flush = [&] {
            if (!run.isNull())
                damage += QRectF(run.x() / ratio, run.y() / ratio, run.width() / ratio,
                                 run.height() / ratio)
                              .toAlignedRect();
            run = QRect();
        };
        for (int y = 0; y < now->height(); ++y) {
            const auto* a = reinterpret_cast<const uint32_t*>(before->constScanLine(y));
            const auto* b = reinterpret_cast<const uint32_t*>(now->constScanLine(y));
            if (std::memcmp(a, b, rowBytes) == 0) {
                flush();
                continue;
            }
            int x0 = 0, x1 = w - 1;
            while (a[x0] == b[x0])
                ++x0;
            while (a[x1] == b[x1])
                --x1;
            if (run.isNull() || run.left() != x0 || run.right() != x1) {
                flush();
                run = QRect(x0, y, x1 - x0 + 1, 1);
            } else {
                run.setBottom(y);
            }
        }
        flush();
        if (!damage.isEmpty())
            area->update(damage);
    }
}
