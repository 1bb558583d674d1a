// A page area as a screen reader sees it.
#include "book/forms/PageAccessible.h"

#include <QWidget>

#include <algorithm>

#include "book/Book.h"
#include "book/forms/BookAccess.h"
#include "book/forms/BookHost.h"
#include "platform/qt/Latin1.h"

TPageAccessible::TPageAccessible(QWidget* area, TBookAccess& access)
    : QAccessibleWidget(area, QAccessible::Document), access_(access) {}

TPageText TPageAccessible::Page() const {
    return TPageText(access_.Host().Book(), access_.ShownPage(*widget()),
                     access_.Host().StoryText().c_str());
}

QString TPageAccessible::Text(const TPageText& page) {
    return ToQString(page.Text());
}

QString TPageAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Description) {
        const int page = access_.ShownPage(*widget());
        if (page == 0)
            return QStringLiteral("Cover");
        if (page > 0 && page <= access_.Host().Book().PageCount())
            return QStringLiteral("Page %1").arg(page);
        return {};
    }
    return QAccessibleWidget::text(t);
}

QAccessible::State TPageAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.multiLine = true;
    return s;
}

void* TPageAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QString TPageAccessible::text(int startOffset, int endOffset) const {
    const QString all = Text(Page());
    if (endOffset < 0 || endOffset > all.size())
        endOffset = static_cast<int>(all.size());
    if (startOffset < 0)
        startOffset = 0;
    return startOffset >= endOffset ? QString() : all.mid(startOffset, endOffset - startOffset);
}

int TPageAccessible::characterCount() const {
    return static_cast<int>(Page().Text().size());
}

QRect TPageAccessible::characterRect(int offset) const {
    const TPageText page = Page();
    const TPageText::Place at = page.PlaceOf(offset);
    if (at.line < 1 || at.column >= page.LineLength(at.line))
        return {};
    const QRect r = access_.ShownLinePart(*widget(), at.line, at.column, at.column + 1);
    return r.isEmpty() ? QRect() : QRect(widget()->mapToGlobal(r.topLeft()), r.size());
}

int TPageAccessible::offsetAtPoint(const QPoint& point) const {
    const TPageText page = Page();
    const QPoint p = widget()->mapFromGlobal(point);
    for (int line = 1; line <= page.LineCount(); ++line) {
        const int length = page.LineLength(line);
        const QRect whole = access_.ShownLinePart(*widget(), line, 0, length);
        if (whole.isEmpty() || p.y() < whole.top() || p.y() > whole.bottom())
            continue;
        for (int column = 0; column < length; ++column)
            if (access_.ShownLinePart(*widget(), line, column, column + 1).contains(p))
                return page.OffsetOf(line, column);
    }
    return -1;
}

std::pair<int, int> TPageAccessible::FocusWord() const {
    if (!widget()->hasFocus())
        return {-1, -1};
    if (!access_.FocusWordPlace)
        return {-1, -1};
    return access_.FocusWordPlace(access_.IsLeftPage(*widget()));
}

int TPageAccessible::selectionCount() const {
    return FocusWord().first < 0 ? 0 : 1;
}

void TPageAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    const auto [begin, end] = FocusWord();
    *startOffset = selectionIndex == 0 && begin >= 0 ? begin : 0;
    *endOffset = selectionIndex == 0 && begin >= 0 ? end : 0;
}

int TPageAccessible::cursorPosition() const {
    return std::max(FocusWord().first, 0);
}

QString TPageAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    // One run: the page carries no attributes of its own.
    *startOffset = 0;
    *endOffset = characterCount();
    (void)offset;
    return {};
}
