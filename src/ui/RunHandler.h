// The one error path of the windows' event handlers: an exception ends the
// handler, the cursor is as before it, and the exception's own message is
// shown. The program goes on.
#pragma once
#include <functional>
#include <string>

// Shows a handler's error message (a message box in the game, a list in tests).
using ErrorSink = std::function<void(const std::string&)>;

enum class HandlerCursor {
    Keep, // the handler leaves the cursor alone
    Wait  // the wait cursor stands while the handler runs
};

// Runs Handler. An exception derived from std::exception ends it and its
// what() goes to ShowError once the cursor is back; any other exception is
// shown as "The command failed.". Returns whether the handler ran to its end.
bool RunHandler(const ErrorSink& showError, const std::function<void()>& handler,
                HandlerCursor cursor = HandlerCursor::Keep);
