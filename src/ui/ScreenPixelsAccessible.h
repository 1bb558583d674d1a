// TScreenPixelsAccessible: what screen readers get for every widget of the
// program's windows, in screen pixels. The AT-SPI bridge takes an
// interface's rectangle as screen pixels, while Qt's interfaces (the
// standard widgets' and the program's own) give them in device-independent
// pixels; on a scaled screen the two differ. The factory that Install puts
// first wraps the interface Qt would otherwise give for a widget, and the
// wrapper forwards everything to it but maps rectangles and points by the one
// rule of ToScreen / FromScreen. Children without an object of their own (the
// scene's regions, a list's items) are wrapped likewise by their parent's
// wrapper. A combo box given an accessible name is called by it (Qt would
// name it after its value here).
#pragma once
#include <QAccessible>
#include <QAccessibleInterface>
#include <utility>
#include <vector>

class QWindow;

class TScreenPixelsAccessible : public QAccessibleInterface, public QAccessibleTextInterface {
public:
    // Installs the factory, or moves it to be asked before every other;
    // call once the QApplication exists and again after installing another
    // factory.
    static void Install();

    // The one rule: a rectangle (or point) in device-independent global
    // coordinates shown on Window, in screen pixels, and a point in screen
    // pixels back. Each screen keeps its top-left corner; sizes and offsets
    // from it scale by the window's device pixel ratio.
    static QRect ToScreen(const QRect& r, const QWindow* window);
    static QPoint ToScreen(const QPoint& p, const QWindow* window);
    static QPoint FromScreen(const QPoint& p, const QWindow* window);

    // Wraps the interface registered as Inner; Owns: the wrapper deletes
    // Inner when it goes (a widget's interface; a child without an object
    // belongs to its parent's interface).
    TScreenPixelsAccessible(QAccessible::Id inner, bool owns);
    ~TScreenPixelsAccessible() override;
    TScreenPixelsAccessible(const TScreenPixelsAccessible&) = delete;
    TScreenPixelsAccessible& operator=(const TScreenPixelsAccessible&) = delete;

    bool isValid() const override;
    QObject* object() const override;
    QWindow* window() const override;
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override;
    QAccessibleInterface* focusChild() const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString& text) override;
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QColor foregroundColor() const override;
    QColor backgroundColor() const override;
    void* interface_cast(QAccessible::InterfaceType t) override;

    // The text interface, where the wrapped interface has one.
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

private:
    QAccessibleInterface* Inner() const;
    QAccessibleTextInterface* InnerText() const;
    // Child as screen readers get it: its own wrapper where it has no object.
    QAccessibleInterface* Outer(QAccessibleInterface* child) const;
    // The interface a wrapper made by Outer wraps, else Child itself.
    const QAccessibleInterface* Unwrapped(const QAccessibleInterface* child) const;

    QAccessible::Id inner_;
    bool owns_;
    // The wrappers made for children without an object: (inner id, wrapper id).
    mutable std::vector<std::pair<QAccessible::Id, QAccessible::Id>> loose_;
};
