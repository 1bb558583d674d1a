// Message boxes as the engine sees them: a process-wide handler shows a
// message and returns the answer. The tools use the stderr handler, tests the
// capturing one, the game a Qt one.
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace plat {

enum class MsgKind { Error, Warning, Information, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
// Action: the message's own button (Message::action) was pressed.
enum class MsgAnswer { Ok, Cancel, Yes, No, Action };

struct Message {
    MsgKind kind;
    std::string text;
    std::string caption;
    MsgButtons buttons;
    // The text of a button of the message's own, shown beside the others
    // and answered by MsgAnswer::Action; none when empty.
    std::string action = {};
};

class MessageHandler {
public:
    virtual ~MessageHandler() = default;
    virtual MsgAnswer Show(const Message& message) = 0;
};

// Shows a message through the current handler.
MsgAnswer ShowMessage(MsgKind kind, const std::string& text, MsgButtons buttons = MsgButtons::Ok,
                      const std::string& caption = {}, const std::string& action = {});
// Installs a handler and returns the previous one (nullptr restores stderr).
std::unique_ptr<MessageHandler> SetMessageHandler(std::unique_ptr<MessageHandler> handler);

// Writes each message to stderr and answers with the buttons' default
// (Ok, or Yes for a question).
class StderrMessageHandler : public MessageHandler {
public:
    MsgAnswer Show(const Message& message) override;
};

// Records every message and answers with Answer.
class CapturingMessageHandler : public MessageHandler {
public:
    explicit CapturingMessageHandler(MsgAnswer answer = MsgAnswer::Ok) : answer_(answer) {}
    MsgAnswer Show(const Message& message) override {
        messages.push_back(message);
        return answer_;
    }
    void SetAnswer(MsgAnswer answer) { answer_ = answer; }
    std::vector<Message> messages;

private:
    MsgAnswer answer_;
};

} // namespace plat
