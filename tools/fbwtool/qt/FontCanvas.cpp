// fbwtool with Qt: the Qt canvas on an image, under the tool's GUI application
// (ToolApp).
#include "FontCanvas.h"
#include "ToolApp.h"

#include <QImage>
#include <QPainter>

#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"

namespace {

class QtFontCanvas : public FontCanvasSession {
public:
    QtFontCanvas(const std::string& family, int points, int dpi, int width, int height)
        : image_(width, height, QImage::Format_RGB32) {
        const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
        image_.setDotsPerMeterX(dotsPerMeter);
        image_.setDotsPerMeterY(dotsPerMeter);
        image_.fill(Qt::white);
        painter_ = std::make_unique<QPainter>(&image_);
        canvas_ = std::make_unique<plat::QtCanvas>(*painter_, ToQString(family), points);
    }
    ~QtFontCanvas() override {
        canvas_.reset();
        painter_->end();
    }
    plat::Canvas& Canvas() override { return *canvas_; }

private:
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    std::unique_ptr<plat::QtCanvas> canvas_;
};

} // namespace

std::unique_ptr<FontCanvasSession> OpenFontCanvas(const std::string& family, int points, int dpi,
                                                  std::string& error) {
    ToolApp();
    auto session = std::make_unique<QtFontCanvas>(family, points, dpi, 16, 16);
    if (static_cast<plat::QtCanvas&>(session->Canvas()).Dpi() != dpi) {
        error = "--dpi " + std::to_string(dpi) + " cannot be used";
        return nullptr;
    }
    return session;
}
