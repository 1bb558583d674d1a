// TFocusFrame: follows the keyboard focus among the controls given a ring,
// and draws every ring of the storybook.
#include "book/forms/FocusFrame.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <memory>

#include "book/FocusRing.h"
#include "ui/QuietFocusStyle.h"

namespace {

const char* const kRinged = "fbwFocusRing";

} // namespace

TFocusFrame::TFocusFrame(QWidget& window) : QWidget(&window) {
    setObjectName("FocusFrame");
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    auto quiet = std::make_unique<TQuietFocusStyle>();
    quiet->setParent(&window);
    quiet_ = quiet.release(); // owned by the window
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { FocusChanged(now); });
}

void TFocusFrame::Ring(QWidget& control) {
    control.setProperty(kRinged, true);
    if (!control.style()->inherits("QStyleSheetStyle"))
        control.setStyle(quiet_);
    // The control moves with the panels it stands on.
    for (QWidget* w = &control; w && w != parentWidget(); w = w->parentWidget())
        w->installEventFilter(this);
}

void TFocusFrame::FocusChanged(QWidget* now) {
    target_ = now && now->window() == window() && now->property(kRinged).toBool() ? now : nullptr;
    Follow();
}

void TFocusFrame::Follow() {
    if (!target_ || !target_->isVisibleTo(parentWidget()) || !target_->hasFocus()) {
        hide();
        return;
    }
    const QRect box(target_->mapTo(parentWidget(), QPoint(0, 0)), target_->size());
    const TRect ring =
        TFocusRing::Around(TRect{box.left(), box.top(), box.right() + 1, box.bottom() + 1});
    setGeometry(QRect(QPoint(ring.Left, ring.Top), QPoint(ring.Right - 1, ring.Bottom - 1)));
    raise();
    show();
}

bool TFocusFrame::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (auto* w = qobject_cast<QWidget*>(watched);
            target_ && w && (w == target_ || w->isAncestorOf(target_)))
            Follow();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TFocusFrame::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    Draw(painter, TRect{0, 0, width(), height()});
}

void TFocusFrame::DrawControl(const QWidget& control, QPainter& painter, const QRegion& damage) {
    if (!control.hasFocus())
        return;
    painter.setClipRegion(damage);
    Draw(painter, TRect{0, 0, control.width(), control.height()});
}

void TFocusFrame::DrawPage(QPainter& painter, int width, int height, int foot,
                           const std::vector<TRect>& marked) {
    for (const TRect& ring : TFocusRing::OnPage(width, height, foot, marked))
        Draw(painter, ring);
}

void TFocusFrame::Draw(QPainter& painter, const TRect& outer) {
    if (outer.IsEmpty())
        return;
    const QColor ink = QColor::fromRgb(TFocusRing::kInk);
    for (const TRect& r : TFocusRing::Strips(outer))
        if (!r.IsEmpty())
            painter.fillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, ink);
}
