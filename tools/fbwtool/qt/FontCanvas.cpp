// fbwtool with Qt: the Qt canvas on an image, under a GUI application on the
// offscreen platform unless another one is asked for.
#include "FontCanvas.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"

namespace {

// The tool's output is its own: Qt's warnings (a missing runtime folder and
// the like) stay out of it; critical messages still reach stderr.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "fbwtool: %s\n", message.toLocal8Bit().constData());
}

QGuiApplication& App() {
    qInstallMessageHandler(QuietMessages);
    static int argc = 1;
    static char name[] = "fbwtool";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}

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
    App();
    auto session = std::make_unique<QtFontCanvas>(family, points, dpi, 16, 16);
    if (static_cast<plat::QtCanvas&>(session->Canvas()).Dpi() != dpi) {
        error = "--dpi " + std::to_string(dpi) + " cannot be used";
        return nullptr;
    }
    return session;
}
