// What a screen reader finds for a button of one of the storybook's choices
// (the twist level's None, Half and Full; the classic and easy-read letters):
// a radio button, checked when it is down, whose toggle action presses it as
// a click does. Its group is the panel around it, a grouping named for the
// choice. Given the check box role (bigger letters), the same for a toggle of
// its own.
#pragma once
#include <QAbstractButton>
#include <QAccessibleWidget>

class TBookRadioAccessible : public QAccessibleWidget {
public:
    explicit TBookRadioAccessible(QAbstractButton* button,
                                  QAccessible::Role role = QAccessible::RadioButton);

    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
};
