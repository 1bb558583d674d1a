// A paint area: a light-weight control whose owner paints it and hears its
// mouse and, when its focus policy lets it take the focus, its keys. The
// handlers run inside the Qt events (OnPaint only in paint events, with the
// exposed region).
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
    // A key pressed while the area has the focus: true when the owner took
    // it; any other key goes on to the parent.
    std::function<bool(int key)> OnKeyDown;
    // The area took the focus (In) or lost it, after Qt asked for it to be
    // repainted.
    std::function<void(bool in)> OnFocusChange;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
