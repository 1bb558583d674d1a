// The storybook's painted buttons for screen readers.
#include "book/forms/BookButtonAccessible.h"

#include <utility>

TBookButtonAccessible::TBookButtonAccessible(QWidget* widget, std::function<void()> press,
                                             std::function<QRect()> place)
    : QAccessibleWidget(widget, QAccessible::Button), press_(std::move(press)),
      place_(std::move(place)) {}

QRect TBookButtonAccessible::rect() const {
    if (!place_)
        return QAccessibleWidget::rect();
    const QRect r = place_();
    const QWidget* window = widget()->window();
    return QRect(window->mapToGlobal(r.topLeft()), r.size());
}

QAccessible::State TBookButtonAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    if (place_) {
        // Drawn whenever the window shows, in its pale form while it cannot
        // turn.
        s.invisible = !widget()->window()->isVisible();
        s.offscreen = s.invisible;
    }
    return s; // focusable as its widget is: the arrows and the ribbon are not
}

QStringList TBookButtonAccessible::actionNames() const {
    return {QAccessibleActionInterface::pressAction()};
}

void TBookButtonAccessible::doAction(const QString& actionName) {
    if (actionName == QAccessibleActionInterface::pressAction() && widget()->isEnabled() && press_)
        press_();
}
