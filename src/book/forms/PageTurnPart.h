// TPageTurnPart: turning the storybook's pages. It owns the hidden
// page-turn buttons whose places anchor the layout (cmdPrevPage,
// cmdNextPage; the arrows themselves are painted into the book), the close
// ribbon (pbxClose), the red hint to turn the page that stands on the last
// story spread (lblTurnPage), and the cursor the book shows over the pages'
// edges. A click on a page, on the book's edge beside it, or an arrow key
// turns the page where the arrow would; Escape closes the book. Typing in a
// name box keeps its own Left and Right.
#pragma once
#include <QCursor>
#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <functional>

#include "book/BookGeometry.h"
#include "book/BookSpread.h"
#include "book/forms/PagePainter.h"
#include "ui/PaintBox.h"
#include "ui/ScaledControls.h"

class TBookHost;

class TPageTurnPart : public QObject {
public:
    // Host and Window outlive the part; its widgets are Window's children,
    // and it hears Window's mouse and keys. Turn shows the spread whose
    // left page it is given (reading aloud follows it).
    TPageTurnPart(TBookHost& host, QWidget& window, std::function<void(int leftPage)> turn);

    // Places the anchors, the ribbon and the hint (at the cover's
    // whole-number scale) for a W x H client area; returns the growth since
    // the last layout and the page areas.
    TBookGeometry::Step Place(int w, int h);
    // Shows the arrows' state, the pages' cursors and the hint for a spread.
    void Show(const TBookSpread::Controls& controls, bool hint);
    // The arrows drawn in their state into the book (Realize: the library's
    // palette realised first).
    void DrawArrows(bool realize);
    // Control, a push button, passes the turning keys to the book where the
    // book can turn that way.
    void TakeKeysFrom(QWidget& control) { control.installEventFilter(this); }

    // A left click on a page area at Pos: true when it was taken (a twist
    // word swapped), so that it turns nothing.
    std::function<bool(TPagePainter::Side side, QPoint pos)> PageClicked;

    // Handlers.
    void cmdPrevPageClick();
    void cmdNextPageClick();
    void pbxLeftPageClick();
    void pbxRightPageClick();
    void FormMouseMove(QPoint pos);
    void FormClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Turns the page for Key (Left, Right, Page Up, Page Down) where the
    // arrows would; false when the key is not for turning here.
    bool TurnByKey(int key);

    TBookHost& host_;
    QWidget& window_;
    std::function<void(int)> turn_;
    QPushButton cmdPrevPage, cmdNextPage;
    TPaintBox pbxClose;
    QLabel lblTurnPage;
    TBookGeometry geometry_;
    TScaledControls hintScale_; // the hint grows with the book
    QCursor surfaceCursor_;     // the window's own (FormMouseMove)
};
