// The storybook's choice buttons for screen readers.
#include "book/forms/BookRadioAccessible.h"

TBookRadioAccessible::TBookRadioAccessible(QAbstractButton* button, QAccessible::Role role)
    : QAccessibleWidget(button, role) {}

QAccessible::State TBookRadioAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = Button()->isChecked();
    return s;
}

QStringList TBookRadioAccessible::actionNames() const {
    return {QAccessibleActionInterface::toggleAction()};
}

void TBookRadioAccessible::doAction(const QString& actionName) {
    if (actionName == QAccessibleActionInterface::toggleAction() && Button()->isEnabled())
        Button()->click();
}
