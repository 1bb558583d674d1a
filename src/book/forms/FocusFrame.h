// TFocusFrame: the storybook's focus ring (TFocusRing), drawn by one routine
// (Draw) on every kind of control:
// - widget controls (push buttons, toggle buttons, edit boxes): the frame
//   itself, a widget of the window above every other, stands around the
//   control with the keyboard focus and paints only the ring; the mouse goes
//   through it. The controls' own style marks no focus (TQuietFocusStyle).
// - painted controls: their paint path asks for the ring along the inside
//   of their edge (DrawControl).
// - page areas: the page painter draws the ring into the page's picture
//   under the text (DrawPage).
#pragma once
#include <QPointer>
#include <QWidget>
#include <vector>

#include "platform/Rect.h"

class QPainter;
class QRegion;
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

    // A painted control's paint event, after its picture: while Control has
    // the keyboard focus, the ring along the inside of its edge, through
    // Painter clipped to Damage.
    static void DrawControl(const QWidget& control, QPainter& painter, const QRegion& damage);
    // A page area with the focus: its rings through Painter (page pixels)
    // on a page Width x Height whose arrows' band starts at Foot, around
    // Marked or along the page's edge (TFocusRing::OnPage).
    static void DrawPage(QPainter& painter, int width, int height, int foot,
                         const std::vector<TRect>& marked);
    // The one routine: the ring whose outer edge is Outer, through Painter.
    static void Draw(QPainter& painter, const TRect& outer);

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
