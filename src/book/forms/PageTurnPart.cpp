// TPageTurnPart: the arrows, the close ribbon, the turn-page hint, and the
// clicks and keys that turn the page.
#include "book/forms/PageTurnPart.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include "book/forms/BookAccess.h"
#include "book/forms/BookHost.h"
#include "book/forms/PagePainter.h"
#include "book/qt/QtBookBox.h"
#include "ui/Cursors.h"

TPageTurnPart::TPageTurnPart(TBookHost& host, QWidget& window,
                             std::function<void(int leftPage)> turn)
    : QObject(&window), host_(host), window_(window), turn_(std::move(turn)), cmdPrevPage(&window),
      cmdNextPage(&window), pbxClose(&window), lblTurnPage(&window) {
    setObjectName("PageTurnPart");
    // The arrows are painted: screen readers find them where they stand.
    TBookAccess::Register(
        cmdPrevPage,
        TBookAccess::Button([this] { cmdPrevPage.click(); },
                            [this] { return ToQRect(host_.Painter().Foot().BackArrow()); }));
    TBookAccess::Register(
        cmdNextPage,
        TBookAccess::Button([this] { cmdNextPage.click(); },
                            [this] { return ToQRect(host_.Painter().Foot().ForwardArrow()); }));
    TBookAccess::Register(pbxClose, TBookAccess::Button([this] { window_.close(); }));
    for (QPushButton* b : {&cmdPrevPage, &cmdNextPage}) {
        b->resize(24, 24);
        b->hide();
        b->setFocusPolicy(Qt::NoFocus);
    }
    cmdPrevPage.setObjectName("cmdPrevPage");
    cmdNextPage.setObjectName("cmdNextPage");
    cmdPrevPage.setAccessibleName("Previous page");
    cmdNextPage.setAccessibleName("Next page");
    connect(&cmdPrevPage, &QPushButton::clicked, this, [this] { cmdPrevPageClick(); });
    connect(&cmdNextPage, &QPushButton::clicked, this, [this] { cmdNextPageClick(); });

    pbxClose.setObjectName("pbxClose");
    pbxClose.setAccessibleName("Close the book");
    pbxClose.setAttribute(Qt::WA_OpaquePaintEvent, false);
    pbxClose.setAttribute(Qt::WA_NoSystemBackground);
    pbxClose.OnPaint = [](QPainter&, const QRegion&) {};
    pbxClose.setGeometry(ToQRect(host_.Painter().Foot().Close()));
    pbxClose.setCursor(ScreenCursor(kCursorActivate));
    pbxClose.setToolTip("Close the book");
    pbxClose.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            window_.close();
    };

    lblTurnPage.setObjectName("lblTurnPage");
    lblTurnPage.setText(
        "To print or save this story, or copy it to the clipboard, please turn the page.");
    lblTurnPage.setAccessibleName(lblTurnPage.text());
    lblTurnPage.setWordWrap(true);
    lblTurnPage.setAlignment(Qt::AlignCenter);
    lblTurnPage.resize(218, 33);
    QPalette red = lblTurnPage.palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblTurnPage.setPalette(red);
    lblTurnPage.hide();
    lblTurnPage.setAttribute(Qt::WA_TransparentForMouseEvents);
    hintScale_.Add(lblTurnPage);

    for (const TPagePainter::Side side : {TPagePainter::Side::Left, TPagePainter::Side::Right})
        host_.Painter().Area(side).OnMouseDown = [this, side](QPoint pos, Qt::MouseButton b) {
            if (b != Qt::LeftButton || (PageClicked && PageClicked(side, pos)))
                return;
            if (side == TPagePainter::Side::Left)
                pbxLeftPageClick();
            else
                pbxRightPageClick();
        };
    geometry_.Create(window.width(), window.height());
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    window.setMouseTracking(true);
    window.installEventFilter(this);
}

TBookGeometry::Step TPageTurnPart::Place(int w, int h) {
    const TBookFoot foot = host_.Painter().Foot();
    const TBookGeometry::Step s = geometry_.Resize(w, h, foot.Scale());
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    pbxClose.setGeometry(ToQRect(foot.Close()));
    hintScale_.Apply(foot.Scale());
    const TBookBox hint = TBookGeometry::TurnPageHint(s.rightPage, foot.ForwardArrow().top,
                                                      lblTurnPage.width(), lblTurnPage.height());
    lblTurnPage.move(hint.left, hint.top);
    return s;
}

void TPageTurnPart::Show(const TBookSpread::Controls& c, bool hint) {
    cmdPrevPage.setEnabled(c.canTurnBack);
    cmdNextPage.setEnabled(c.canTurnForward);
    DrawArrows(true);
    TPagePainter& painter = host_.Painter();
    painter.Area(TPagePainter::Side::Left)
        .setCursor(c.canTurnBack ? ScreenCursor(kCursorArrowLeft) : QCursor());
    painter.Area(TPagePainter::Side::Right)
        .setCursor(c.canTurnForward ? ScreenCursor(kCursorArrowRight) : QCursor());
    lblTurnPage.setVisible(hint);
    if (hint)
        lblTurnPage.raise();
}

void TPageTurnPart::DrawArrows(bool realize) {
    host_.Painter().DrawArrows(cmdPrevPage.isEnabled(), cmdNextPage.isEnabled(), realize);
}

void TPageTurnPart::cmdNextPageClick() {
    turn_(host_.CurrentPage() + 2);
}

void TPageTurnPart::cmdPrevPageClick() {
    turn_(host_.CurrentPage() - 2);
}

void TPageTurnPart::pbxLeftPageClick() {
    if (cmdPrevPage.isEnabled())
        cmdPrevPageClick();
}

void TPageTurnPart::pbxRightPageClick() {
    if (cmdNextPage.isEnabled())
        cmdNextPageClick();
}

void TPageTurnPart::FormMouseMove(QPoint pos) {
    TPagePainter& painter = host_.Painter();
    switch (TBookSpread::SurfaceSide(pos.x(), pos.y(), window_.width(), window_.height())) {
    case TBookSpread::Side::Left:
        surfaceCursor_ = painter.Area(TPagePainter::Side::Left).cursor();
        break;
    case TBookSpread::Side::Right:
        surfaceCursor_ = painter.Area(TPagePainter::Side::Right).cursor();
        break;
    case TBookSpread::Side::None:
        surfaceCursor_ = QCursor();
        break;
    }
    window_.setCursor(surfaceCursor_);
}

void TPageTurnPart::FormClick() {
    const auto same = [](const QCursor& a, const QCursor& b) {
        return a.shape() == b.shape() &&
               (a.shape() != Qt::BitmapCursor || a.pixmap().cacheKey() == b.pixmap().cacheKey());
    };
    // The default cursor turns nothing.
    if (surfaceCursor_.shape() == Qt::ArrowCursor)
        return;
    TPagePainter& painter = host_.Painter();
    if (same(surfaceCursor_, painter.Area(TPagePainter::Side::Left).cursor()) &&
        cmdPrevPage.isEnabled())
        pbxLeftPageClick();
    else if (same(surfaceCursor_, painter.Area(TPagePainter::Side::Right).cursor()))
        pbxRightPageClick();
}

bool TPageTurnPart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::MouseMove:
            FormMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
            return false;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                FormMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
                FormClick();
            }
            return false;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
                window_.close();
                return true;
            }
            return TurnByKey(static_cast<QKeyEvent*>(event)->key());
        default:
            return false;
        }
    }
    // A focused push button would take the arrow keys to move the focus;
    // where the book can turn that way, the keys turn the page instead.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Left && cmdPrevPage.isEnabled()) ||
            (key == Qt::Key_Right && cmdNextPage.isEnabled()))
            return TurnByKey(key);
    }
    return false;
}

bool TPageTurnPart::TurnByKey(int key) {
    // Typing in a name box keeps its own arrow keys.
    const bool editing = qobject_cast<QLineEdit*>(window_.focusWidget()) != nullptr;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        if (editing && key == Qt::Key_Left)
            return false;
        pbxLeftPageClick();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        if (editing && key == Qt::Key_Right)
            return false;
        pbxRightPageClick();
        return true;
    default:
        return false;
    }
}
