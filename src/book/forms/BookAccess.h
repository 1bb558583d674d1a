// TBookAccess: the storybook for screen readers. Qt's accessibility (AT-SPI
// on this desktop) sees the widgets by their accessible names; what is
// painted gets an interface of its own from a factory installed once, which
// asks the interfaces the window and its parts registered for their widgets
// (Register): each page area is a read-only document (TPageAccessible,
// "Left page" / "Right page") whose text is the page as shown (TPageText),
// the painted buttons (the arrows, the close ribbon, "Read to me", the pace,
// "Show the twists") are buttons with the press action (Button), and the
// twist level's buttons are radio buttons (TBookRadioAccessible) in a
// grouping named "How much twist?". The commands' messages are alerts,
// announced as they show (Alert). Each part names its own widgets.
// Announce tells a listening reader when a page area's text changed.
#pragma once
#include <QRect>
#include <functional>
#include <string>
#include <utility>

class QAccessibleEvent;
class QAccessibleInterface;
class QWidget;
class TBookHost;

class TBookAccess {
public:
    // Host and the two page areas outlive the part.
    TBookAccess(TBookHost& host, QWidget& leftPage, QWidget& rightPage);
    ~TBookAccess();

    // Gives Qt's accessibility the factory of the registered interfaces;
    // before any widget of the first book is made, so none is looked up
    // without it.
    static void InstallInterfaces();
    // Makes an interface for a widget (Qt's cache takes it over).
    using Maker = std::function<QAccessibleInterface*(QWidget*)>;
    // Widget gets the interface Make makes, for as long as it lives. A part
    // registers its painted controls as soon as they are made, before
    // anything could look them up.
    static void Register(QWidget& widget, Maker make);
    // A button whose press runs Press, standing at Where (the widget's own
    // place when empty).
    static Maker Button(std::function<void()> press, std::function<QRect()> where = {});
    // A short message ("Story saved!") that screen readers announce as it
    // shows: an alert named by the widget's accessible name.
    static Maker Alert();

    TBookHost& Host() { return host_; }
    bool IsLeftPage(const QWidget& area) const { return &area == &left_; }
    // The page shown on Area (a page area; -1 for none, so also on any other
    // widget), and where characters Start to End - 1 of its line Line
    // (1-based) stand, in Area's pixels (empty when nowhere; the cover's
    // words are not placed).
    int ShownPage(const QWidget& area) const;
    QRect ShownLinePart(const QWidget& area, int line, int start, int end);
    // Where the twist word with the focus stands in the text of the left
    // (Left) or right page: [begin, end) characters, begin -1 for none (set
    // by the window from its twists part).
    std::function<std::pair<int, int>(bool left)> FocusWordPlace;

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

    TBookHost& host_;
    QWidget& left_;
    QWidget& right_;
    std::string announced_[2]; // the texts screen readers were last told of
};
