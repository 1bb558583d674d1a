// What a screen reader finds for a panel of the storybook that holds one
// choice (the twist level's): a grouping named by the panel's accessible
// name, around the choice's radio buttons (TBookRadioAccessible).
#pragma once
#include <QAccessibleWidget>

class TBookGroupAccessible : public QAccessibleWidget {
public:
    explicit TBookGroupAccessible(QWidget* panel)
        : QAccessibleWidget(panel, QAccessible::Grouping) {}
};
