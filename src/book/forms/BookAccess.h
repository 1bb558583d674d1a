// TBookAccess: the storybook for screen readers. Qt's accessibility (AT-SPI
// on this desktop) sees the widgets by their accessible names; what is
// painted gets an interface of its own from a factory installed once: each
// page area is a read-only document (TPageAccessible, "Left page" / "Right
// page") whose text is the page as shown (TPageText), and the painted
// buttons (the arrows, the close ribbon, "Read to me", the pace, "Show the
// twists") are buttons with the press action (TBookButtonAccessible), and
// the twist level's buttons are radio buttons (TBookRadioAccessible) in a
// grouping named "How much twist?".
// Announce tells a listening reader when a page area's text changed.
#pragma once
#include <QRect>
#include <functional>
#include <string>

class QAccessibleEvent;
class QWidget;
class TFormBook;

class TBookAccess {
public:
    // Book outlives the part.
    explicit TBookAccess(TFormBook& book);

    // Gives Qt's accessibility the interfaces of the painted parts; before
    // any widget of the first book is made, so none is looked up without it.
    static void InstallInterfaces();
    // Gives the book's own controls their names for screen readers.
    void NameControls();

    // The page shown on Area (pbxLeftPage or pbxRightPage; -1 for none, so
    // also on any other widget), and where characters Start to End - 1 of
    // its line Line (1-based) stand, in Area's pixels (empty when nowhere;
    // the cover's words are not placed).
    int ShownPage(const QWidget& area) const;
    QRect ShownLinePart(const QWidget& area, int line, int start, int end);

    // Tells screen readers of the page areas whose text changed since they
    // were last told: a text-update and a description-changed event each.
    void Announce();
    // Tells screen readers of the twist word with the focus on Area: the
    // page's selection and caret moved to it.
    void TellFocusWord(QWidget& area);
    // Tells the screen readers of an event (replaced in tests); none set:
    // Qt's accessibility, while a reader listens.
    std::function<void(QAccessibleEvent&)> TellReaders;

private:
    void Tell(QAccessibleEvent& event);

    TFormBook& book_;
    std::string announced_[2]; // the texts screen readers were last told of
};
