// A paint area: a light-weight control whose owner paints it and hears its
// mouse. The handlers run inside the Qt events (OnPaint only in paint events,
// with the exposed region).
#pragma once
#include <QPainter>
#include <QWidget>
#include <functional>

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    std::function<void(QPainter& canvas, const QRegion& clip)> OnPaint;
    std::function<void(QPoint pos)> OnMouseMove;
    std::function<void(QPoint pos, Qt::MouseButton button)> OnMouseDown;
    // The mouse has left the area (onto another widget or out of the window).
    std::function<void()> OnMouseLeave;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
