// TQuietFocusStyle: the application's style drawing a control as if it had
// no keyboard focus (no focus frame, no focus colour, a focused push button
// not drawn as the default one), for windows that mark the focus with a ring
// of their own. A control takes it with QWidget::setStyle; the style must
// outlive it.
#pragma once
#include <QProxyStyle>

class TQuietFocusStyle : public QProxyStyle {
public:
    TQuietFocusStyle() = default; // over the application's style

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};
