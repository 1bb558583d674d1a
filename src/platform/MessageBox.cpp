// The process-wide message handler.
#include "platform/MessageBox.h"

#include <cstdio>

namespace plat {

namespace {
std::unique_ptr<MessageHandler>& Current() {
    static std::unique_ptr<MessageHandler> handler = std::make_unique<StderrMessageHandler>();
    return handler;
}
} // namespace

MsgAnswer ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons,
                      const std::string& caption, const std::string& action) {
    return Current()->Show(Message{kind, text, caption, buttons, action});
}

std::unique_ptr<MessageHandler> SetMessageHandler(std::unique_ptr<MessageHandler> handler) {
    auto old = std::move(Current());
    Current() = handler ? std::move(handler) : std::make_unique<StderrMessageHandler>();
    return old;
}

MsgAnswer StderrMessageHandler::Show(const Message& message) {
    const char* kind = message.kind == MsgKind::Error     ? "error"
                       : message.kind == MsgKind::Warning ? "warning"
                                                          : "note";
    std::fprintf(stderr, "%s: %s\n", kind, message.text.c_str());
    switch (message.buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    default:
        return MsgAnswer::Ok;
    }
}

} // namespace plat
