// The Qt canvas: cached per-character advances, text and one-pixel lines.
#include "platform/qt/QtCanvas.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <cstdlib>
#include <map>
#include <tuple>

namespace plat {
namespace {

bool IsControl(unsigned char c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// What is drawn for Text: control characters as spaces.
QString DrawnText(std::string_view text) {
    QString s = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    for (qsizetype i = 0; i < s.size(); ++i)
        if (IsControl(static_cast<unsigned char>(s[i].unicode())))
            s[i] = QLatin1Char(' ');
    return s;
}

using MetricsKey = std::tuple<QString, int, bool, int>; // family, pixels, bold, dpi

const QtCanvas::Metrics& MetricsFor(const QFont& font, QPaintDevice* device,
                                    const MetricsKey& key) {
    static std::map<MetricsKey, std::unique_ptr<QtCanvas::Metrics>> cache;
    auto found = cache.find(key);
    if (found != cache.end())
        return *found->second;
    auto m = std::make_unique<QtCanvas::Metrics>();
    const QFontMetricsF fm(font, device);
    for (int c = 0; c < 256; ++c) {
        const QChar ch(IsControl(static_cast<unsigned char>(c)) ? 0x20 : c);
        m->advance64[static_cast<std::size_t>(c)] = qRound(fm.horizontalAdvance(ch) * 64.0);
    }
    const QFontMetrics im(font, device);
    m->height = im.height();
    m->ascent = im.ascent();
    return *cache.emplace(key, std::move(m)).first->second;
}

} // namespace

QtCanvas::QtCanvas(QPainter& painter, const QString& family, int points)
    : painter_(painter), target_(painter), family_(family),
      dpi_(painter.device() ? painter.device()->logicalDpiY() : 96),
      points_(points < 1 ? 1 : points) {
    if (dpi_ <= 0)
        dpi_ = 96;
    UpdateFont();
}

QtCanvas::~QtCanvas() = default;

int QtCanvas::PixelsForPoints(int points, int dpi) {
    return static_cast<int>((int64_t{points} * dpi + 36) / 72);
}

void QtCanvas::SetFontSize(int points) {
    points = points < 1 ? 1 : points;
    if (points == points_)
        return;
    points_ = points;
    UpdateFont();
}

void QtCanvas::SetBold(bool bold) {
    if (bold == bold_)
        return;
    bold_ = bold;
    UpdateFont();
}

void QtCanvas::UpdateFont() {
    const int pixels = std::max(1, PixelsForPoints(points_, dpi_));
    font_ = QFont(family_);
    font_.setPixelSize(pixels);
    font_.setBold(bold_);
    font_.setKerning(false);
    font_.setStyleStrategy(QFont::PreferNoShaping);
    drawnFont_.reset();
    metrics_ = &MetricsFor(font_, painter_.device(), MetricsKey{family_, pixels, bold_, dpi_});
}

int QtCanvas::TextWidth(std::string_view text) {
    int64_t sum = 0;
    for (char c : text)
        sum += metrics_->advance64[static_cast<unsigned char>(c)];
    return static_cast<int>((sum + 32) >> 6);
}

int QtCanvas::TextHeight(std::string_view) {
    return metrics_->height;
}

void QtCanvas::TextOut(int x, int y, std::string_view text) {
    // Setting the font makes the painter a new one, whose glyphs are looked
    // up afresh: it is set again only when something else changed it.
    if (!drawnFont_ || !painter_.font().isCopyOf(*drawnFont_)) {
        painter_.setFont(font_);
        drawnFont_ = painter_.font();
    }
    painter_.setPen(Qt::black);
    painter_.drawText(QPointF(x, y + metrics_->ascent), DrawnText(text));
}

void QtCanvas::MoveTo(int x, int y) {
    penX_ = x;
    penY_ = y;
}

void QtCanvas::LineTo(int x, int y) {
    // Bresenham from the current point, every pixel but (X, Y) itself.
    const int dx = std::abs(x - penX_), dy = -std::abs(y - penY_);
    const int sx = penX_ < x ? 1 : -1, sy = penY_ < y ? 1 : -1;
    int err = dx + dy;
    int px = penX_, py = penY_;
    if (dx == 0 || dy == 0) {
        // Straight runs in one rectangle.
        const int len = std::max(dx, -dy);
        if (len > 0) {
            const int lx = dx == 0 ? px : (sx > 0 ? px : x + 1);
            const int ly = dy == 0 ? py : (sy > 0 ? py : y + 1);
            painter_.fillRect(lx, ly, dx == 0 ? 1 : len, dy == 0 ? 1 : len, pen_);
        }
    } else {
        while (px != x || py != y) {
            painter_.fillRect(px, py, 1, 1, pen_);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                px += sx;
            }
            if (e2 <= dx) {
                err += dx;
                py += sy;
            }
        }
    }
    penX_ = x;
    penY_ = y;
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, uint32_t rgb) {
    if (left < right && top < bottom)
        painter_.fillRect(left, top, right - left, bottom - top, QColor::fromRgb(rgb));
}

QImage QtCanvas::MeasureImage(int dpi) {
    QImage image(1, 1, QImage::Format_RGB32);
    const int dotsPerMeter = int(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

} // namespace plat
