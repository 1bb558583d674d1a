// TPagePainter: the book behind the pages and the one routine that draws a
// page, whole or clipped.
#include "book/forms/PagePainter.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "book/BookGeometry.h"
#include "book/BookPieces.h"
#include "book/forms/FocusFrame.h"
#include "book/forms/PageLayer.h"
#include "book/qt/QtBookBox.h"
#include "book/qt/QtBookPieces.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtDrawTarget.h"
#include "story/TaleTable.h"
#include "ui/DrawOpaque.h"
#include "ui/FormPalette.h"
#include "ui/PaintBox.h"

TPagePainter::TPagePainter(QWidget& window, TBook& book, const TLibraryRef& library,
                           TRL8Library& bookLibrary)
    : window_(window), left_(std::make_unique<TPaintBox>(&window)),
      right_(std::make_unique<TPaintBox>(&window)), book_(book), library_(library),
      bookPicture_(bookLibrary, "book", TLibraryImage::SurfaceNeed::Optional) {
    left_->setObjectName("pbxLeftPage");
    right_->setObjectName("pbxRightPage");
    QFont pageFont(kCoverFont);
    pageFont.setPixelSize(16);
    // A page area's picture holds the book behind it and the page over it,
    // and covers every damaged pixel: the window does not paint beneath it.
    for (const Side side : {Side::Left, Side::Right}) {
        TPaintBox& p = Area(side);
        p.setFont(pageFont);
        p.setMouseTracking(true);
        p.setAttribute(Qt::WA_OpaquePaintEvent);
        p.setFocusPolicy(Qt::NoFocus);
        p.OnPaint = [this, side](QPainter& c, const QRegion& damage) {
            PaintPage(side, c, damage);
        };
    }
}

TPagePainter::~TPagePainter() = default;

QImage TPagePainter::StoryPicture(int level) const {
    TRL8ImageData* surface = talePicture_.Surface();
    if (!surface)
        return {};
    const int side = TTaleTable::kPictureSide;
    return QtPictureBook::PictureImage(*surface, TRect{0, level * side, side, level * side + side},
                                       Palette());
}

TBookFoot TPagePainter::Foot() const {
    return TBookFoot(window_.width(), window_.height(), scale_);
}

QRect TPagePainter::Box(Side side) const {
    const int w = window_.width(), h = window_.height();
    return ToQRect(side == Side::Left ? TBookGeometry::LeftPage(w, h, scale_)
                                      : TBookGeometry::RightPage(w, h, scale_));
}

void TPagePainter::SetLayer(Layer which, TPageLayer* part) {
    layers_[static_cast<std::size_t>(which)] = part;
}

void TPagePainter::SetStoryLetters(const QString& family, int points) {
    storyFamily_ = family;
    storyPoints_ = points;
}

QString TPagePainter::Family(int page) const {
    return page == 0 ? QString(kCoverFont) : storyFamily_;
}

int TPagePainter::Points(int page) const {
    return page == 0 ? kCoverPoints : storyPoints_;
}

void TPagePainter::Measure(
    Side side, int page,
    const std::function<void(plat::Canvas& canvas, int width)>& measure) const {
    QImage scratch = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, Family(page), Points(page));
    measure(canvas, Box(side).width());
}

const plat::LogPalette* TPagePainter::Palette() const {
    return library_ && library_->IsOpen() ? library_->GetHPal() : nullptr;
}

void TPagePainter::ReleaseTalePicture() {
    talePicture_.Reset();
    book_.Picture = nullptr;
}

void TPagePainter::LoadTalePicture(const std::string& name, int level) {
    ReleaseTalePicture();
    if (!library_)
        return;
    talePicture_ = TLibraryImage(*library_, name, TLibraryImage::SurfaceNeed::Optional);
    book_.Picture = talePicture_.Surface();
    const int side = TTaleTable::kPictureSide;
    book_.PictureRect = TRect{0, level * side, side, level * side + side};
}

// ---------------------------------------------------------------------------
// The book behind the pages

QRegion TPagePainter::PageInteriors() const {
    const int w = window_.width(), h = window_.height();
    QRegion interiors;
    const int foot = Foot().BackArrow().top;
    for (const TBookBox& b :
         {TBookGeometry::LeftPage(w, h, scale_), TBookGeometry::RightPage(w, h, scale_)})
        interiors += QRect(b.left, b.top, b.width, std::max(0, foot - b.top));
    return interiors;
}

void TPagePainter::ComposeBook() {
    redrawOnly_ = {};
    const plat::LogPalette* palette = Palette();
    if (!palette || !bookPicture_.Surface())
        return;
    RealizeFormPalette(&window_, library_.Get());
    const int w = window_.width(), h = window_.height();
    if (bookImage_.size() != QSize(w, h))
        bookImage_ = bookStore_.Image(QSize(w, h), QImage::Format_ARGB32_Premultiplied);
    // "book" is opaque: its pieces are copies of the one picture of it in the
    // library's colours, made once for each palette. The pieces cover the
    // whole window.
    if (bookSheet_.isNull() || bookSheetPalette_ != palette) {
        TRL8ImageData& book = *bookPicture_.Surface();
        bookSheet_ = QImage(book.Width, book.Height, QImage::Format_RGB32);
        plat::QtDrawTarget target(bookSheet_);
        const plat::LogPalette* previous = target.SelectPalette(palette);
        book.DisplayRect(target, TPoint{0, 0}, book.GetBounds());
        target.SelectPalette(previous);
        bookSheetPalette_ = palette;
    }
    QPainter painter(&bookImage_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    arrowsShown_ = true; // the pieces hold them
    for (const QRect& r : QRegion(0, 0, w, h) - PageInteriors())
        QtBookPieces::Paint(painter, bookSheet_, w, h, backOn_, forwardOn_, r, scale_);
}

void TPagePainter::DrawArrows(bool backOn, bool forwardOn, bool realize) {
    if (backOn != backOn_ || forwardOn != forwardOn_) {
        redrawOnly_ = {}; // the pages show the arrows' corners
        arrowsShown_ = false;
    }
    backOn_ = backOn;
    forwardOn_ = forwardOn;
    const plat::LogPalette* palette = Palette();
    if (!palette || !bookPicture_.Surface() || bookImage_.isNull())
        return;
    if (realize && RealizeFormPalette(&window_, library_.Get()) != 0) {
        redrawOnly_ = {};
        return; // the whole window is repainted
    }
    if (arrowsShown_)
        return;
    if (bookSheetPalette_ != palette) {
        ComposeBook(); // the arrows with it
        window_.update();
        return;
    }
    arrowsShown_ = true;
    QPainter painter(&bookImage_);
    painter.setCompositionMode(QPainter::CompositionMode_Source); // the book is opaque
    const TBookFoot foot = Foot();
    for (const auto& [p, at] :
         {std::pair(TBookPieces::BackArrow(foot, backOn), foot.BackArrow()),
          std::pair(TBookPieces::ForwardArrow(foot, forwardOn), foot.ForwardArrow())}) {
        const QRect r(at.left, at.top, at.width, at.height);
        QtBookPieces::PaintPiece(painter, bookSheet_, p, r);
        window_.update(r);
        // The page areas show the book behind them, the arrows' corners too.
        for (TPaintBox* page : {left_.get(), right_.get()})
            if (const QRect part = r & page->geometry(); !part.isEmpty())
                page->update(part.translated(-page->pos()));
    }
}

void TPagePainter::PaintWindow(QPainter& painter, const QRegion& region) {
    if (bookImage_.isNull())
        ComposeBook();
    if (bookImage_.isNull()) {
        for (const QRect& r : region)
            painter.fillRect(r, Qt::white);
        return;
    }
    // Rectangle by rectangle: the page areas paint themselves.
    for (const QRect& r : region)
        DrawOpaque(painter, r, bookImage_, r);
}

void TPagePainter::PaintBookBehind(QPainter& painter, const QRect& area) const {
    const QRect local(QPoint(0, 0), area.size());
    if (bookSheet_.isNull()) {
        painter.fillRect(local, Qt::white);
        return;
    }
    painter.save();
    painter.translate(-area.topLeft());
    painter.setCompositionMode(QPainter::CompositionMode_Source); // the book is opaque
    QtBookPieces::Paint(painter, bookSheet_, window_.width(), window_.height(), backOn_, forwardOn_,
                        area, scale_);
    painter.restore();
}

QImage TPagePainter::BookPicture() const {
    QImage picture = bookImage_.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    for (const QRect& r : PageInteriors()) {
        painter.save();
        painter.translate(r.topLeft());
        PaintBookBehind(painter, r);
        painter.restore();
    }
    return picture;
}

// ---------------------------------------------------------------------------
// The pages

QImage TPagePainter::FreshPicture(Side side, TImageStore& store) const {
    const QRect box = Box(side);
    const qreal ratio = window_.devicePixelRatioF();
    return store.Image(QSize(qRound(box.width() * ratio), qRound(box.height() * ratio)),
                       QImage::Format_ARGB32_Premultiplied, ratio);
}

void TPagePainter::Draw(Side side, int page, const char* text, const QRect& clip) {
    Page& p = pages_[Index(side)];
    if (clip.isNull()) {
        p.page = page;
        const QSize size = FreshPicture(side, p.store).size();
        if (p.image.size() != size || p.image.devicePixelRatio() != window_.devicePixelRatioF())
            p.image = FreshPicture(side, p.store);
    }
    DrawInto(p.image, side, page, text, clip);
}

void TPagePainter::DrawInto(QImage& image, Side side, int page, const char* text,
                            const QRect& clip) {
    // The page's picture: the book behind the page as it is now (arrows
    // included), then what the page draws over it, in the format Qt blends
    // fastest and in memory kept across resize steps. The text is drawn at
    // the screen's pixel ratio, the pictures in whole pixels scaled to it,
    // both from the layout in page pixels.
    const QRect box = Box(side);
    if (image.isNull())
        return;
    const QRect part =
        clip.isNull() ? QRect(QPoint(0, 0), box.size()) : clip & QRect(QPoint(0, 0), box.size());
    if (part.isEmpty())
        return;
    QPainter painter(&image);
    painter.setClipRect(part);
    painter.save();
    painter.translate(part.topLeft());
    PaintBookBehind(painter, part.translated(box.topLeft()));
    painter.restore();
    const bool story = page > 0 && text && *text;
    if (page < 0 || (page > 0 && !story))
        return;
    plat::QtCanvas canvas(painter, Family(page), Points(page));
    const plat::LogPalette* palette = Palette();
    const plat::LogPalette* previous = palette ? canvas.Target()->SelectPalette(palette) : nullptr;
    if (story) {
        const bool left = side == Side::Left;
        for (TPageLayer* layer : layers_)
            if (layer)
                layer->DrawPageLayer(book_, canvas, box.width(), page, text, left);
        if (Area(side).hasFocus()) {
            std::vector<TRect> marked;
            for (TPageLayer* layer : layers_)
                if (layer && marked.empty())
                    marked = layer->PageFocus(book_, canvas, box.width(), page, text, left);
            const int foot = Foot().BackArrow().top - box.top();
            TFocusFrame::DrawPage(painter, box.width(), box.height(), foot, marked);
        }
    }
    if (story && !clip.isNull())
        book_.DrawPageRowsFrom(&book_.Pages, &canvas, box.width(), page, text, part.top(),
                               part.bottom() + 1);
    else
        book_.DrawPage(&canvas, box.width(), text ? text : "", page, box.height());
    if (palette)
        canvas.Target()->SelectPalette(previous);
}

void TPagePainter::Render(int current, const char* text) {
    for (Side side : {Side::Left, Side::Right}) {
        const int page = side == Side::Left ? current : (current == 0 ? -1 : current + 1);
        Page& p = pages_[Index(side)];
        const std::optional<Rows> only =
            std::exchange(redrawOnly_[static_cast<std::size_t>(Index(side))], std::nullopt);
        const int height = Box(side).height();
        // The rows asked for, cut to the page, joined where they meet or
        // nearly (one painter set up for a few rows more costs less than two).
        constexpr int kJoin = 32;
        Rows rows = only.value_or(Rows{});
        std::sort(rows.begin(), rows.end());
        Rows joined;
        int drawn = 0;
        for (auto [top, bottom] : rows) {
            top = std::max(top, 0);
            bottom = std::min(bottom, height);
            if (top >= bottom)
                continue;
            if (!joined.empty() && top <= joined.back().second + kJoin)
                joined.back().second = std::max(joined.back().second, bottom);
            else
                joined.emplace_back(top, bottom);
        }
        for (const auto& [top, bottom] : joined)
            drawn += bottom - top;
        // Where the whole page is drawn again anyway, it is drawn into the
        // spare picture rather than over a copy of what it replaces.
        if (!only || drawn >= height || p.image.isNull() ||
            p.image.size() != FreshPicture(side, p.spare).size() ||
            p.image.devicePixelRatio() != window_.devicePixelRatioF()) {
            RenderSide(side, page, text);
            continue;
        }
        // The rows drawn where they stand, and what differs damaged.
        const qreal ratio = p.image.devicePixelRatio();
        for (const auto& [top, bottom] : joined) {
            const int from = qRound(top * ratio);
            const int to = std::min(p.image.height(), qRound(bottom * ratio));
            QImage before = p.image.copy(0, from, p.image.width(), to - from);
            before.setDevicePixelRatio(ratio);
            DrawInto(p.image, side, page, text, QRect(0, top, Box(side).width(), bottom - top));
            DamageChanged(side, before, from);
        }
    }
}

void TPagePainter::RedrawOnly(Side side, Rows rows) {
    redrawOnly_[static_cast<std::size_t>(Index(side))] = std::move(rows);
}

void TPagePainter::RenderSide(Side side, int page, const char* text) {
    // The new picture is drawn into the spare memory while the old one stays
    // as it was; then they change places, and only what differs is damaged.
    Page& p = pages_[Index(side)];
    QImage next = FreshPicture(side, p.spare);
    DrawInto(next, side, page, text, QRect());
    const QImage before = std::exchange(p.image, next);
    std::swap(p.store, p.spare);
    // Another page (a turn, a new story from the cover) differs nearly
    // everywhere: it is damaged whole rather than compared row by row.
    if (std::exchange(p.page, page) != page)
        Area(side).update();
    else
        DamageChanged(side, before);
}

void TPagePainter::RedrawFocus(Side side, int current, const char* text) {
    if (holds_ == 0)
        RenderSide(side, side == Side::Left ? current : (current == 0 ? -1 : current + 1), text);
}

void TPagePainter::RedrawPage(Side side, int page, const char* text) {
    Draw(side, page, text, QRect());
    Area(side).update();
}

void TPagePainter::RedrawPart(Side side, int page, const char* text, const QRect& area) {
    const QRect part = area & QRect(QPoint(0, 0), Box(side).size());
    if (part.isEmpty())
        return;
    Draw(side, page, text, part);
    Area(side).update(part);
}

void TPagePainter::DamageChanged(Side side, const QImage& before, int fromRow) const {
    const QImage& now = pages_[Index(side)].image;
    TPaintBox& area = side == Side::Left ? *left_ : *right_;
    const bool whole = fromRow < 0;
    fromRow = std::max(fromRow, 0);
    if (before.width() != now.width() || fromRow + before.height() > now.height() ||
        (whole && before.height() != now.height()) || before.format() != now.format() ||
        before.devicePixelRatio() != now.devicePixelRatio()) {
        area.update();
        return;
    }
    // Runs of rows that differ in nearly the same columns (within kNear
    // pixels at either end, as a line of text's rows do) make one rectangle
    // across them all: the region stays a few rectangles a line.
    const qreal ratio = now.devicePixelRatio();
    const int w = now.width();
    const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
    QRegion damage;
    QRect run;
    const auto flush = [&] {
        if (!run.isNull())
            damage +=
                QRectF(run.x() / ratio, run.y() / ratio, run.width() / ratio, run.height() / ratio)
                    .toAlignedRect();
        run = QRect();
    };
    for (int y = fromRow; y < fromRow + before.height(); ++y) {
        const auto* a = reinterpret_cast<const uint32_t*>(before.constScanLine(y - fromRow));
        const auto* b = reinterpret_cast<const uint32_t*>(now.constScanLine(y));
        if (std::memcmp(a, b, rowBytes) == 0) {
            flush();
            continue;
        }
        int x0 = 0, x1 = w - 1;
        while (a[x0] == b[x0])
            ++x0;
        while (a[x1] == b[x1])
            --x1;
        constexpr int kNear = 32;
        if (run.isNull() || std::abs(run.left() - x0) > kNear ||
            std::abs(run.right() - x1) > kNear) {
            flush();
            run = QRect(x0, y, x1 - x0 + 1, 1);
        } else {
            run = run.united(QRect(x0, y, x1 - x0 + 1, 1));
        }
    }
    flush();
    if (!damage.isEmpty())
        area.update(damage);
}

void TPagePainter::PaintPage(Side side, QPainter& painter, const QRegion& damage) const {
    // The page's picture may hold more pixels than the page has (its text
    // drawn at the screen's pixel ratio).
    const QImage& layer = pages_[Index(side)].image;
    const qreal ratio = layer.devicePixelRatio();
    for (const QRect& r : damage) {
        if (layer.isNull())
            painter.fillRect(r, Qt::white);
        else
            DrawOpaque(painter, QRectF(r), layer,
                       QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
}

QImage TPagePainter::PagePicture(Side side) const {
    QImage picture(Box(side).size(), QImage::Format_RGB32);
    QPainter painter(&picture);
    PaintPage(side, painter, QRegion(picture.rect()));
    return picture;
}

void TPagePainter::PaintControl(const QWidget& control, QPainter& painter, const QRegion& damage,
                                const QImage& picture) {
    for (const QRect& r : damage)
        painter.drawImage(r, picture, r);
    TFocusFrame::DrawControl(control, painter, damage);
}
