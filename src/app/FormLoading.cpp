// The loading window.
#include "app/FormLoading.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFont>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <memory>

#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/Tick.h"
#include "platform/qt/QtDrawTarget.h"
#include "ui/FormPalette.h"
#include "ui/ScreenPixelsAccessible.h"

namespace {

// The loading window as screen readers find it: a window whose description
// is what it says.
class TLoadingAccessible : public QAccessibleWidget {
public:
    explicit TLoadingAccessible(TFormLoading* window)
        : QAccessibleWidget(window, QAccessible::Window), window_(window) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description)
            return window_->lblLoading.text();
        return QAccessibleWidget::text(t);
    }

private:
    TFormLoading* window_;
};

QAccessibleInterface* LoadingAccessible(const QString& key, QObject* object) {
    if (key != QLatin1String("TFormLoading"))
        return nullptr;
    return std::make_unique<TLoadingAccessible>(static_cast<TFormLoading*>(object)).release();
}

} // namespace

TFormLoading::TFormLoading(TRL8Library& startLibrary, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      Bevel1(this), pbxIcon(this), lblLoading(this), startLibrary_(startLibrary) {
    static const bool installed = [] {
        QAccessible::installFactory(LoadingAccessible);
        TScreenPixelsAccessible::Install(); // asked first still
        return true;
    }();
    (void)installed;
    setObjectName("FormLoading");
    setWindowTitle("Welcome to \"Fablewhirl\"");
    setAccessibleName("Loading Fablewhirl");
    setAccessibleDescription("The game is loading; it starts in a moment.");
    setFixedSize(317, 143);
    setCursor(Qt::WaitCursor);
    setAttribute(Qt::WA_OpaquePaintEvent);

    Bevel1.setObjectName("Bevel1");
    Bevel1.setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1.setGeometry(8, 8, 301, 127);

    // A click anywhere on the window is the window's.
    Bevel1.setAttribute(Qt::WA_TransparentForMouseEvents);
    pbxIcon.setAttribute(Qt::WA_TransparentForMouseEvents);
    lblLoading.setAttribute(Qt::WA_TransparentForMouseEvents);

    pbxIcon.setObjectName("pbxIcon");
    pbxIcon.setGeometry(32, 20, 62, 103);
    pbxIcon.setAccessibleName("Fablewhirl picture");
    pbxIcon.OnPaint = [this](QPainter& canvas, const QRegion&) { pbxIconPaint(canvas); };

    lblLoading.setObjectName("lblLoading");
    lblLoading.setText(kLoadingText);
    QFont font("Arial");
    font.setPixelSize(16);
    lblLoading.setFont(font);
    lblLoading.setAlignment(Qt::AlignCenter);
    lblLoading.setWordWrap(true); // what it says fits whatever the letters
    lblLoading.setGeometry(104, 20, 193, 103);

    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormLoading::setVisible(bool visible) {
    if (visible && !isVisible())
        FormShow();
    else if (!visible && isVisible())
        FormHide();
    QWidget::setVisible(visible);
    // Closed, the window gives its window-system window back, so that it is
    // no longer among the application's windows (nor in screen readers' tree).
    if (!visible && isWindow() && testAttribute(Qt::WA_WState_Created))
        destroy();
}

void TFormLoading::FormShow() {
    shownAt_ = plat::GetTickCount();
    pressed_ = false;
    Say(kLoadingText);
    setCursor(Qt::WaitCursor);
    if (icon_)
        return;
    icon_ = TLibraryImage(startLibrary_, "rh2_icon", TLibraryImage::SurfaceNeed::Optional);
    const QColor face = QApplication::palette().color(QPalette::Button);
    const plat::LogPalette* pal = startLibrary_.GetHPal();
    if (!pal)
        return;
    const int index =
        pal->NearestIndex(static_cast<uint8_t>(face.red()), static_cast<uint8_t>(face.green()),
                          static_cast<uint8_t>(face.blue()));
    if (TRL8ImageData* surface = icon_.Surface())
        surface->SetDisplayKey(static_cast<uint8_t>(index));
    brush_ = QColor::fromRgb(pal->Rgb(index));
}

void TFormLoading::FormHide() {
    if (holding_)
        return;
    holding_ = true;
    if (!pressed_ && plat::GetTickCount() - shownAt_ < kMinShowTime) {
        // The game is ready: the player may go on.
        Say(kReadyText);
        setCursor(Qt::ArrowCursor);
    }
    // Wake the loop now and then so that the hold ends even when no message comes.
    QTimer wake;
    wake.start(15);
    while (!pressed_ && plat::GetTickCount() - shownAt_ < kMinShowTime)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    holding_ = false;
}

void TFormLoading::Say(const char* text) {
    if (lblLoading.text() == QLatin1String(text))
        return;
    lblLoading.setText(text);
    QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&changed);
}

void TFormLoading::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), brush_.isValid() ? brush_ : palette().color(QPalette::Button));
    RealizeFormPalette(this, &startLibrary_);
}

void TFormLoading::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RealizeFormPalette(this, &startLibrary_);
    QWidget::changeEvent(event);
}

void TFormLoading::mousePressEvent(QMouseEvent* event) {
    pressed_ = true;
    event->accept();
}

void TFormLoading::keyPressEvent(QKeyEvent* event) {
    pressed_ = true;
    event->accept();
}

int TFormLoading::PaletteQuery() {
    return RealizeFormPalette(this, &startLibrary_);
}

void TFormLoading::PaletteChanged(bool byThisWindow) {
    if (byThisWindow)
        return;
    // A background realisation changes nothing on a true-colour screen; the
    // window takes the new colours with its next paint.
    update();
}

void TFormLoading::pbxIconPaint(QPainter& canvas) {
    TRL8ImageData* surface = icon_.Surface();
    if (!surface)
        return;
    plat::QtDrawTarget target(canvas);
    const plat::LogPalette* previous = target.SelectPalette(startLibrary_.GetHPal());
    surface->DisplayRect(target, TPoint{0, 0}, surface->GetBounds());
    target.SelectPalette(previous);
}
