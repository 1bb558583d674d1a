// TBookAccess: the names of the storybook's controls, the factory of the
// painted parts' interfaces, and the events that tell a reader a page's text
// changed.
#include "book/forms/BookAccess.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <map>
#include <memory>

#include "book/Book.h"
#include "book/PageText.h"
#include "book/forms/BookButtonAccessible.h"
#include "book/forms/BookHost.h"
#include "book/forms/PageAccessible.h"
#include "book/forms/PagePainter.h"
#include "platform/qt/Latin1.h"
#include "ui/ScreenPixelsAccessible.h"

namespace {

std::map<const QObject*, TBookAccess::Maker>& Makers() {
    static std::map<const QObject*, TBookAccess::Maker> makers;
    return makers;
}

// The interfaces Qt's accessibility cache takes over, for the widgets the
// window and its parts registered; nullptr for any other object.
QAccessibleInterface* BookAccessible(const QString&, QObject* object) {
    const auto it = Makers().find(object);
    auto* widget = qobject_cast<QWidget*>(object);
    return it == Makers().end() || !widget ? nullptr : it->second(widget);
}

} // namespace

TBookAccess::TBookAccess(TBookHost& host, QWidget& leftPage, QWidget& rightPage)
    : host_(host), left_(leftPage), right_(rightPage) {
    for (QWidget* area : {&left_, &right_})
        Register(*area, [this](QWidget* w) {
            return std::make_unique<TPageAccessible>(w, *this).release();
        });
    // Named once registered: a name given sooner could have made Qt's own
    // interface for them.
    left_.setAccessibleName("Left page");
    right_.setAccessibleName("Right page");
}

TBookAccess::~TBookAccess() {
    Makers().erase(&left_);
    Makers().erase(&right_);
}

void TBookAccess::InstallInterfaces() {
    static const bool installed = [] {
        QAccessible::installFactory(BookAccessible);
        TScreenPixelsAccessible::Install(); // asked first still
        return true;
    }();
    (void)installed;
}

void TBookAccess::Register(QWidget& widget, Maker make) {
    Makers()[&widget] = std::move(make);
    QObject::connect(&widget, &QObject::destroyed,
                     [key = static_cast<const QObject*>(&widget)] { Makers().erase(key); });
}

TBookAccess::Maker TBookAccess::Button(std::function<void()> press, std::function<QRect()> where) {
    return [press = std::move(press), where = std::move(where)](QWidget* widget) {
        return std::make_unique<TBookButtonAccessible>(widget, press, where).release();
    };
}

TBookAccess::Maker TBookAccess::Alert() {
    return [](QWidget* widget) {
        // An interface Qt's cache deletes.
        struct Message : QAccessibleWidget {
            explicit Message(QWidget* w) : QAccessibleWidget(w, QAccessible::AlertMessage) {}
        };
        return std::make_unique<Message>(widget).release();
    };
}

int TBookAccess::ShownPage(const QWidget& area) const {
    if (&area == &left_)
        return host_.CurrentPage();
    if (&area == &right_ && host_.CurrentPage() > 0)
        return host_.CurrentPage() + 1;
    return -1;
}

QRect TBookAccess::ShownLinePart(const QWidget& area, int line, int start, int end) {
    const int page = ShownPage(area);
    if (page < 1 || host_.StoryText().empty())
        return {};
    const auto side = &area == &left_ ? TPagePainter::Side::Left : TPagePainter::Side::Right;
    TRect r{};
    host_.Painter().Measure(side, page, [&](plat::Canvas& canvas, int) {
        TBook& layout = host_.Book();
        r = layout.LinePartRectFrom(&layout.Pages, &canvas, area.width(), page, line, start, end,
                                    host_.StoryText().c_str());
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
    if (!FocusWordPlace)
        return;
    const auto [begin, end] = FocusWordPlace(&area == &left_);
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
    QWidget* areas[2] = {&left_, &right_};
    for (int i = 0; i < 2; ++i) {
        std::string now =
            TPageText(host_.Book(), ShownPage(*areas[i]), host_.StoryText().c_str()).Text();
        if (now == announced_[i])
            continue;
        QAccessibleTextUpdateEvent changed(areas[i], 0, ToQString(announced_[i]), ToQString(now));
        announced_[i] = std::move(now);
        tell(changed);
        QAccessibleEvent page(areas[i], QAccessible::DescriptionChanged);
        tell(page);
    }
}
