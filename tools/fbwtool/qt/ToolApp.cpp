// fbwtool's GUI application.
#include "ToolApp.h"

#include <cstdio>

namespace {

// The tool's output is its own: Qt's warnings (a missing runtime folder and
// the like) stay out of it; critical messages still reach stderr.
void QuietMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "fbwtool: %s\n", message.toLocal8Bit().constData());
}

} // namespace

QGuiApplication& ToolApp() {
    qInstallMessageHandler(QuietMessages);
    static int argc = 1;
    static char name[] = "fbwtool";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}
