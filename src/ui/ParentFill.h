// Keeps a child widget covering the whole of its parent: sized to the
// parent's client rectangle at once and again whenever the parent is resized.
// The child owns this object (a member), so the parent is watched as long as
// the child lives.
#pragma once
#include <QEvent>
#include <QWidget>

class TParentFill : public QObject {
public:
    explicit TParentFill(QWidget& child) : child_(child) {
        if (QWidget* parent = child.parentWidget()) {
            parent->installEventFilter(this);
            child.setGeometry(parent->rect());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == child_.parentWidget() && event->type() == QEvent::Resize)
            child_.setGeometry(child_.parentWidget()->rect());
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget& child_;
};
