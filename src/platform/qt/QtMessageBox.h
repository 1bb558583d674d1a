// Shows the engine's messages as Qt message boxes, parented to the active window.
#pragma once
#include <QString>

#include "platform/MessageBox.h"

class QtMessageBox : public plat::MessageHandler {
public:
    explicit QtMessageBox(QString defaultCaption) : caption_(std::move(defaultCaption)) {}
    plat::MsgAnswer Show(const plat::Message& message) override;

private:
    QString caption_;
};
