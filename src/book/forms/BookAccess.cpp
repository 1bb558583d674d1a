// TBookAccess: the names of the storybook's controls, the factory of the
// painted parts' interfaces, and the events that tell a reader a page's text
// changed.
#include "book/forms/BookAccess.h"

#include <QAccessible>
#include <memory>

#include "book/BookPieces.h"
#include "book/PageText.h"
#include "book/forms/BookButtonAccessible.h"
#include "book/forms/BookGroupAccessible.h"
#include "book/forms/BookRadioAccessible.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FormBook.h"
#include "book/forms/PageAccessible.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "platform/qt/Latin1.h"
#include "ui/ScreenPixelsAccessible.h"

namespace {

// A button interface for Widget whose press runs Press, standing at Where
// (the widget's own place when null).
QAccessibleInterface* Button(QWidget* widget, std::function<void()> press,
                             std::function<QRect()> where = {}) {
    return std::make_unique<TBookButtonAccessible>(widget, std::move(press), std::move(where))
        .release();
}

// The interfaces Qt's accessibility cache takes over, for the book's page
// areas and painted buttons; nullptr for any other object.
QAccessibleInterface* BookAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return nullptr;
    // The twist level: one choice of radio buttons in a group.
    if (auto* panel = widget->parentWidget(); panel && panel->objectName() == "pnlTwist" &&
                                              qobject_cast<TFormBook*>(panel->parentWidget())) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return std::make_unique<TBookRadioAccessible>(button).release();
    }
    TFormBook* book = qobject_cast<TFormBook*>(widget->parentWidget());
    if (!book)
        return nullptr;
    if (widget->objectName() == "pnlTwist")
        return std::make_unique<TBookGroupAccessible>(widget).release();
    if (widget == &book->pbxLeftPage || widget == &book->pbxRightPage)
        return std::make_unique<TPageAccessible>(widget, *book).release();
    if (widget == &book->cmdPrevPage)
        return Button(
            widget, [book] { book->cmdPrevPage.click(); },
            [book] {
                const TPoint p = TBookPieces::BackArrowPos(book->height());
                return QRect(p.X, p.Y, TBookPieces::kArrowWidth, TBookPieces::kArrowHeight);
            });
    if (widget == &book->cmdNextPage)
        return Button(
            widget, [book] { book->cmdNextPage.click(); },
            [book] {
                const TPoint p = TBookPieces::ForwardArrowPos(book->width(), book->height());
                return QRect(p.X, p.Y, TBookPieces::kArrowWidth, TBookPieces::kArrowHeight);
            });
    // The parts' buttons are named before any event could look them up, and
    // the parts are reached only when pressed: an interface may be made while
    // the window is still making its parts.
    const QString name = widget->objectName();
    if (widget == &book->pbxClose)
        return Button(widget, [book] { book->close(); });
    if (name == "pbxShowTwists")
        return Button(widget, [book] { book->TwistsPart().pbxShowTwistsClick(); });
    if (name == "pbxReadPace")
        return Button(widget, [book] { book->ReadToMe().StepReadingPace(); });
    if (name == "pbxReadToMe")
        return Button(widget, [book] { book->ReadToMe().pbxReadToMeClick(); });
    return nullptr;
}

} // namespace

TBookAccess::TBookAccess(TFormBook& book) : book_(book) {}

void TBookAccess::InstallInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(BookAccessible);
        TScreenPixelsAccessible::Install(); // asked first still
        return true;
    }();
    (void)installed;
}

void TBookAccess::NameControls() {
    TFormBook& b = book_;
    b.pbxLeftPage.setAccessibleName("Left page");
    b.pbxRightPage.setAccessibleName("Right page");
    b.cmdPrevPage.setAccessibleName("Previous page");
    b.cmdNextPage.setAccessibleName("Next page");
    b.pbxClose.setAccessibleName("Close the book");
    TCoverPart& c = b.Cover();
    c.pnlTwist.setAccessibleName("How much twist?");
    c.sbNone.setAccessibleName("No twist");
    c.sbHalf.setAccessibleName("Half twist");
    c.sbFull.setAccessibleName("Full twist");
    c.pnlHero.setAccessibleName("Hero");
    c.pnlHeroine.setAccessibleName("Heroine");
    c.txtHero.setAccessibleName("Hero's name");
    c.txtHeroine.setAccessibleName("Heroine's name");
    c.lblHero.setBuddy(&c.txtHero);
    c.lblHeroine.setBuddy(&c.txtHeroine);
    b.lblTurnPage.setAccessibleName(b.lblTurnPage.text());
}

int TBookAccess::ShownPage(const QWidget& area) const {
    if (&area == &book_.pbxLeftPage)
        return book_.CurrentPage();
    if (&area == &book_.pbxRightPage && book_.CurrentPage() > 0)
        return book_.CurrentPage() + 1;
    return -1;
}

QRect TBookAccess::ShownLinePart(const QWidget& area, int line, int start, int end) {
    const int page = ShownPage(area);
    if (page < 1 || book_.StoryText().empty())
        return {};
    const auto side =
        &area == &book_.pbxLeftPage ? TPagePainter::Side::Left : TPagePainter::Side::Right;
    TRect r{};
    book_.Painter().Measure(side, page, [&](plat::Canvas& canvas, int) {
        TBook& layout = book_.Book();
        r = layout.LinePartRectFrom(&layout.Pages, &canvas, area.width(), page, line, start, end,
                                    book_.StoryText().c_str());
    });
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void TBookAccess::Tell(QAccessibleEvent& event) {
    if (TellReaders)
        TellReaders(event);
    else
        QAccessible::updateAccessibility(&event);
}

void TBookAccess::TellFocusWord(QWidget& area) {
    if (!TellReaders && !QAccessible::isActive())
        return;
    const auto [begin, end] = book_.TwistsPart().FocusWordPlace(&area == &book_.pbxLeftPage);
    if (begin < 0)
        return;
    QAccessibleTextSelectionEvent selection(&area, begin, end);
    Tell(selection);
    QAccessibleTextCursorEvent caret(&area, begin);
    Tell(caret);
}

void TBookAccess::Announce() {
    if (!TellReaders && !QAccessible::isActive())
        return;
    const auto tell = [this](QAccessibleEvent& e) { Tell(e); };
    QWidget* areas[2] = {&book_.pbxLeftPage, &book_.pbxRightPage};
    for (int i = 0; i < 2; ++i) {
        std::string now =
            TPageText(book_.Book(), ShownPage(*areas[i]), book_.StoryText().c_str()).Text();
        if (now == announced_[i])
            continue;
        QAccessibleTextUpdateEvent changed(areas[i], 0, ToQString(announced_[i]), ToQString(now));
        announced_[i] = std::move(now);
        tell(changed);
        QAccessibleEvent page(areas[i], QAccessible::DescriptionChanged);
        tell(page);
    }
}
