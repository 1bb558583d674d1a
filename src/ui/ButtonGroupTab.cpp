// The Tab stop of an exclusive button group follows its checked button.
#include "ui/ButtonGroupTab.h"

#include <QAbstractButton>
#include <QButtonGroup>

namespace {

void Follow(QButtonGroup& group) {
    QAbstractButton* checked = group.checkedButton();
    for (QAbstractButton* b : group.buttons())
        b->setFocusPolicy(b == checked || (!checked && b == group.buttons().front())
                              ? Qt::StrongFocus
                              : Qt::ClickFocus);
}

} // namespace

void TabStopOnChecked(QButtonGroup& group) {
    Follow(group);
    // The buttons' own signals: the group's may be blocked while it is set.
    for (QAbstractButton* b : group.buttons())
        QObject::connect(b, &QAbstractButton::toggled, &group, [&group] { Follow(group); });
}
