// The paint area's events.
#include "ui/PaintBox.h"

#include <QKeyEvent>
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

void TPaintBox::keyPressEvent(QKeyEvent* event) {
    if (OnKeyDown && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier &&
        OnKeyDown(event->key()))
        return;
    QWidget::keyPressEvent(event); // to the parent
}

void TPaintBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (OnFocusChange)
        OnFocusChange(true);
}

void TPaintBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (OnFocusChange)
        OnFocusChange(false);
}
