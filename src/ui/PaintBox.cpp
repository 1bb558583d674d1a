// The paint area's events.
#include "ui/PaintBox.h"

#include <QMouseEvent>
#include <QPaintEvent>

void TPaintBox::paintEvent(QPaintEvent* event) {
    if (!OnPaint)
        return;
    QPainter painter(this);
    OnPaint(painter, event->region());
}

void TPaintBox::mouseMoveEvent(QMouseEvent* event) {
    if (OnMouseMove)
        OnMouseMove(event->position().toPoint());
}

void TPaintBox::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        OnMouseDown(event->position().toPoint(), event->button());
}

void TPaintBox::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        OnMouseLeave();
}
