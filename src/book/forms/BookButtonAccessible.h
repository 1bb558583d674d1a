// What a screen reader finds for the storybook's painted buttons: the page
// arrows (the hidden cmdPrevPage and cmdNextPage, standing where their
// arrows are drawn, unavailable while they cannot turn), the close ribbon
// and "Read to me" (paint areas). Each is a button with the press action,
// named by its widget's accessible name.
#pragma once
#include <QAccessibleWidget>
#include <QWidget>
#include <functional>

class TBookButtonAccessible : public QAccessibleWidget {
public:
    // Press does what a click does; Place gives where the button is drawn
    // in the window's pixels (empty: the widget's own place).
    TBookButtonAccessible(QWidget* widget, std::function<void()> press,
                          std::function<QRect()> place = {});

    QRect rect() const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    std::function<void()> press_;
    std::function<QRect()> place_;
};
