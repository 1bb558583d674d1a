// Qt message boxes for the engine's messages.
#include "platform/qt/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "platform/qt/Latin1.h"

plat::MsgAnswer QtMessageBox::Show(const plat::Message& message) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(message.caption.empty() ? caption_ : ToQString(message.caption));
    box.setText(ToQString(message.text));
    switch (message.kind) {
    case plat::MsgKind::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case plat::MsgKind::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case plat::MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case plat::MsgKind::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    switch (message.buttons) {
    case plat::MsgButtons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case plat::MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case plat::MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case plat::MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    QAbstractButton* action = nullptr;
    if (!message.action.empty())
        action = box.addButton(ToQString(message.action), QMessageBox::ActionRole);
    const int answer = box.exec();
    if (action && box.clickedButton() == action)
        return plat::MsgAnswer::Action;
    switch (answer) {
    case QMessageBox::Yes:
        return plat::MsgAnswer::Yes;
    case QMessageBox::No:
        return plat::MsgAnswer::No;
    case QMessageBox::Cancel:
        return plat::MsgAnswer::Cancel;
    default:
        return plat::MsgAnswer::Ok;
    }
}
