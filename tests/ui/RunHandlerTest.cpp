// The windows' one error path: a handler's exception is shown by its own
// message, the wait cursor goes also when the handler fails, and the message
// is shown only once the cursor is back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/RL8Exception.h"
#include "ui/RunHandler.h"

namespace {

struct Shown {
    std::vector<std::string> messages;
    std::vector<bool> waitingWhenShown;
    ErrorSink Sink() {
        return [this](const std::string& m) {
            messages.push_back(m);
            waitingWhenShown.push_back(QApplication::overrideCursor() != nullptr);
        };
    }
};

} // namespace

TEST(RunHandler, FailureShowsItsOwnMessageAfterTheCursorIsBack) {
    Shown shown;
    bool waitingInside = false;
    EXPECT_FALSE(RunHandler(
        shown.Sink(),
        [&] {
            waitingInside = QApplication::overrideCursor() &&
                            QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            throw RL8Exception("Decode: invalid line code");
        },
        HandlerCursor::Wait));
    EXPECT_TRUE(waitingInside);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    ASSERT_EQ(shown.messages, std::vector<std::string>{"Decode: invalid line code"});
    EXPECT_FALSE(shown.waitingWhenShown[0]);

    // Anything that is no std::exception still ends the handler with a message.
    EXPECT_FALSE(RunHandler(
        shown.Sink(), [] { throw 42; }, HandlerCursor::Wait));
    EXPECT_EQ(shown.messages.back(), "The command failed.");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(RunHandler, SuccessShowsNothingAndKeepsTheCursorAsAsked) {
    Shown shown;
    bool waitingInside = true;
    EXPECT_TRUE(RunHandler(shown.Sink(),
                           [&] { waitingInside = QApplication::overrideCursor() != nullptr; }));
    EXPECT_FALSE(waitingInside);
    EXPECT_TRUE(RunHandler(
        shown.Sink(), [] {}, HandlerCursor::Wait));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(shown.messages.empty());
    // Without a sink a failure is still contained.
    EXPECT_FALSE(RunHandler(nullptr, [] { throw std::runtime_error("x"); }));
}
