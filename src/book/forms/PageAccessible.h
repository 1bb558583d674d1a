// What a screen reader finds on a page area of the storybook: a read-only
// document named "Left page" or "Right page" whose text is the page as shown
// (TPageText: the cover's words, or the story's lines with the title), one
// line to a line, with the characters' places on the screen.
#pragma once
#include <QAccessibleWidget>
#include <utility>

#include "book/PageText.h"

class TBookAccess;

class TPageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    // Area is one of Access's page areas; both outlive the interface.
    TPageAccessible(QWidget* area, TBookAccess& access);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // The text interface.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    // The selection: the twist word with the focus, while the page area has
    // the focus and the word stands on it; the caret at its start.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override;
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // The page's text as screen readers get it.
    static QString Text(const TPageText& page);

private:
    TPageText Page() const;
    // The twist word with the focus on this page; -1 and -1 for none.
    std::pair<int, int> FocusWord() const;

    TBookAccess& access_;
};
