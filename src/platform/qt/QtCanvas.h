// The canvas of the Qt platform: the book's text and lines drawn with a
// QPainter on any paint device (a window's image, a QImage, a QPrinter).
// Font sizes in points become pixel sizes with the device's dpi (12 points
// are 16 pixels at 96 dpi).
//
// What is measured is what is drawn: one QFont serves both, with kerning and
// shaping off, so a string's width is the sum of its characters' advances.
// Those advances are kept per font, size, style and dpi for the whole
// process (the layout measures many prefixes), so creating a canvas per
// paint costs nothing once a font has been used. Control characters (codes
// 0-31 and 127-159) are measured and drawn as spaces. Use on the thread that
// owns the QGuiApplication only.
#pragma once
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <optional>

#include "platform/Canvas.h"
#include "platform/qt/QtDrawTarget.h"

namespace plat {

class QtCanvas : public Canvas {
public:
    // Paints through Painter (not owned; it must be active on its device and
    // outlive the canvas) in the font Family at Points (at least 1), not
    // bold, black text and pen. The painter's pen and font are changed.
    QtCanvas(QPainter& painter, const QString& family, int points);
    ~QtCanvas() override;

    // A 1 x 1 image to measure on at Dpi dots per inch.
    static QImage MeasureImage(int dpi);

    int TextWidth(std::string_view text) override;
    int TextHeight(std::string_view text) override;
    void TextOut(int x, int y, std::string_view text) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void SetPenColour(uint32_t rgb) override { pen_ = QColor::fromRgb(rgb); }
    void FillRect(int left, int top, int right, int bottom, uint32_t rgb) override;
    int FontSize() const override { return points_; }
    void SetFontSize(int points) override;
    bool Bold() const override { return bold_; }
    void SetBold(bool bold) override;
    DrawTarget* Target() override { return &target_; }

    // The font measured and drawn with (pixel size already set).
    const QFont& Font() const { return font_; }
    int Dpi() const { return dpi_; }
    // Points to device pixels at Dpi, rounded to the nearest.
    static int PixelsForPoints(int points, int dpi);

    // Per-character advances and line metrics of one font; internal, shared
    // between canvases.
    struct Metrics {
        std::array<int32_t, 256> advance64{}; // advances in 1/64 pixel
        int height = 0;
        int ascent = 0;
    };

private:
    void UpdateFont();

    QPainter& painter_;
    QtDrawTarget target_;
    QString family_;
    int dpi_;
    int points_;
    bool bold_ = false;
    QFont font_;
    std::optional<QFont> drawnFont_;   // the painter's font as TextOut set it to font_ as it is now
    const Metrics* metrics_ = nullptr; // owned by the process-wide cache
    QColor pen_ = Qt::black;
    int penX_ = 0;
    int penY_ = 0;
};

} // namespace plat
