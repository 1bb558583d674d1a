// Running a window's event handler.
#include "ui/RunHandler.h"

#include <QApplication>
#include <exception>

namespace {
// The wait cursor for the life of the object.
class TWaitCursor {
public:
    explicit TWaitCursor(bool on) : on_(on) {
        if (on_)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TWaitCursor() { Restore(); }
    void Restore() {
        if (on_)
            QApplication::restoreOverrideCursor();
        on_ = false;
    }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;

private:
    bool on_;
};
} // namespace

bool RunHandler(const ErrorSink& showError, const std::function<void()>& handler,
                HandlerCursor cursor) {
    std::string message;
    {
        TWaitCursor wait(cursor == HandlerCursor::Wait);
        try {
            handler();
            return true;
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
            message = "The command failed.";
        }
    }
    if (showError)
        showError(message);
    return false;
}
