// TFocusFrame: the focus ring of the storybook's widget controls (push
// buttons, toggle buttons, edit boxes). It is a widget of the window above
// every other that stands around the control with the keyboard focus and
// paints only the ring (TFocusRing, in the book's ink, through
// TPagePainter::DrawFocusRing); the mouse goes through it. The painted
// controls and the page areas draw their own rings.
#pragma once
#include <QPointer>
#include <QWidget>

class TQuietFocusStyle;

class TFocusFrame : public QWidget {
public:
    // Window owns the frame.
    explicit TFocusFrame(QWidget& window);

    // Control, a widget of the window, gets the ring while it has the focus.
    // Unless a style sheet draws it, its style's own marks of the focus go.
    void Ring(QWidget& control);
    // The control the ring stands around; nullptr while none shows one.
    QWidget* Target() const { return isVisible() ? target_.data() : nullptr; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FocusChanged(QWidget* now);
    // Stands around the target while it shows; hides otherwise.
    void Follow();

    QPointer<QWidget> target_;
    TQuietFocusStyle* quiet_; // owned by the window, which outlives its controls
};
