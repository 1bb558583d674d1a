// TFormBook for screen readers: the names of its controls, the page areas'
// text (TPageAccessible), the painted buttons (TBookButtonAccessible), the
// factory that gives Qt's accessibility those interfaces, and the events that
// tell a reader a page's text changed.
#include <QAccessible>
#include <memory>

#include "book/BookPieces.h"
#include "book/PageText.h"
#include "book/forms/BookButtonAccessible.h"
#include "book/forms/FormBook.h"
#include "book/forms/PageAccessible.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"

namespace {

// The interfaces Qt's accessibility cache takes over, for the book's page
// areas and painted buttons; nullptr for any other object.
QAccessibleInterface* BookAccessible(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    TFormBook* book = widget ? qobject_cast<TFormBook*>(widget->parentWidget()) : nullptr;
    if (!book)
        return nullptr;
    if (widget == &book->pbxLeftPage || widget == &book->pbxRightPage)
        return std::make_unique<TPageAccessible>(widget, *book).release();
    if (widget == &book->cmdPrevPage)
        return std::make_unique<TBookButtonAccessible>(
                   widget, [book] { book->cmdPrevPage.click(); },
                   [book] {
                       const TPoint p = TBookPieces::BackArrowPos(book->height());
                       return QRect(p.X, p.Y, 40, 25);
                   })
            .release();
    if (widget == &book->cmdNextPage)
        return std::make_unique<TBookButtonAccessible>(
                   widget, [book] { book->cmdNextPage.click(); },
                   [book] {
                       const TPoint p = TBookPieces::ForwardArrowPos(book->width(), book->height());
                       return QRect(p.X, p.Y, 40, 25);
                   })
            .release();
    if (widget == &book->pbxClose)
        return std::make_unique<TBookButtonAccessible>(widget, [book] { book->close(); }).release();
    if (widget == &book->pbxShowTwists)
        return std::make_unique<TBookButtonAccessible>(widget,
                                                       [book] { book->pbxShowTwistsClick(); })
            .release();
    if (widget == &book->pbxReadPace)
        return std::make_unique<TBookButtonAccessible>(widget, [book] { book->StepReadingPace(); })
            .release();
    if (widget == &book->pbxReadToMe)
        return std::make_unique<TBookButtonAccessible>(widget, [book] { book->pbxReadToMeClick(); })
            .release();
    return nullptr;
}

} // namespace

void TFormBook::InstallReaderInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(BookAccessible);
        return true;
    }();
    (void)installed;
}

void TFormBook::NameControls() {
    pbxLeftPage.setAccessibleName("Left page");
    pbxRightPage.setAccessibleName("Right page");
    cmdPrevPage.setAccessibleName("Previous page");
    cmdNextPage.setAccessibleName("Next page");
    cmdCloseBook.setAccessibleName("Close the book");
    pbxClose.setAccessibleName("Close the book");
    pbxReadToMe.setAccessibleName("Read to me");
    pbxReadPace.setAccessibleName("Reading pace");
    pnlTwist.setAccessibleName("How much twist?");
    sbNone.setAccessibleName("No twist");
    sbHalf.setAccessibleName("Half twist");
    sbFull.setAccessibleName("Full twist");
    pnlHero.setAccessibleName("Hero");
    pnlHeroine.setAccessibleName("Heroine");
    txtHero.setAccessibleName("Hero's name");
    txtHeroine.setAccessibleName("Heroine's name");
    lblHero.setBuddy(&txtHero);
    lblHeroine.setBuddy(&txtHeroine);
    pnlCommands.setAccessibleName("Keep the story");
    lblTurnPage.setAccessibleName(lblTurnPage.text());
}

int TFormBook::ShownPage(const QWidget& area) const {
    if (&area == &pbxLeftPage)
        return currentPage_;
    if (&area == &pbxRightPage && currentPage_ > 0)
        return currentPage_ + 1;
    return -1;
}

QRect TFormBook::ShownLinePart(const QWidget& area, int line, int start, int end) {
    const int page = ShownPage(area);
    if (page < 1 || story_.empty())
        return {};
    QImage scratch = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, PageFamily(page), PageSize(page));
    const TRect r = book_.LinePartRectFrom(&book_.Pages, &canvas, area.width(), page, line, start,
                                           end, story_.c_str());
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

void TFormBook::AnnouncePages() {
    if (!TellReaders && !QAccessible::isActive())
        return;
    const auto tell = [this](QAccessibleEvent& e) {
        if (TellReaders)
            TellReaders(e);
        else
            QAccessible::updateAccessibility(&e);
    };
    TPaintBox* areas[2] = {&pbxLeftPage, &pbxRightPage};
    for (int i = 0; i < 2; ++i) {
        std::string now = TPageText(book_, ShownPage(*areas[i]), story_.c_str()).Text();
        if (now == announced_[i])
            continue;
        QAccessibleTextUpdateEvent changed(areas[i], 0, ToQString(announced_[i]), ToQString(now));
        announced_[i] = std::move(now);
        tell(changed);
        QAccessibleEvent page(areas[i], QAccessible::DescriptionChanged);
        tell(page);
    }
}
