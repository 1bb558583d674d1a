// TQuietFocusStyle: the option of every drawing loses the focus state (and a
// button its default look) while the style beneath draws it.
#include "ui/QuietFocusStyle.h"

#include <QStyleOption>

namespace {

// Takes the focus's marks off an option for as long as it lives. The option
// is the caller's, made for this one drawing.
class WithoutFocus {
public:
    explicit WithoutFocus(const QStyleOption* option) : option_(const_cast<QStyleOption*>(option)) {
        if (!option_)
            return;
        state_ = option_->state;
        option_->state &= ~QStyle::State_HasFocus;
        if (auto* button = qstyleoption_cast<QStyleOptionButton*>(option_)) {
            button_ = button;
            features_ = button->features;
            button->features &= ~QStyleOptionButton::DefaultButton;
        }
    }
    ~WithoutFocus() {
        if (option_)
            option_->state = state_;
        if (button_)
            button_->features = features_;
    }
    WithoutFocus(const WithoutFocus&) = delete;
    WithoutFocus& operator=(const WithoutFocus&) = delete;

private:
    QStyleOption* option_;
    QStyle::State state_;
    QStyleOptionButton* button_ = nullptr;
    QStyleOptionButton::ButtonFeatures features_;
};

} // namespace

void TQuietFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                     QPainter* painter, const QWidget* widget) const {
    if (element == PE_FrameFocusRect)
        return;
    const WithoutFocus quiet(option);
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void TQuietFocusStyle::drawControl(ControlElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    const WithoutFocus quiet(option);
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TQuietFocusStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                          QPainter* painter, const QWidget* widget) const {
    const WithoutFocus quiet(option);
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}
