// TScreenPixelsAccessible: the factory that wraps widgets' interfaces and the
// wrapper that gives their places in screen pixels.
#include "ui/ScreenPixelsAccessible.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <memory>

namespace {

// The objects whose interface is being asked for on the wrapper's behalf:
// for them the factory steps aside, so that the interface Qt (or another
// factory) gives is what it wraps.
std::vector<QObject*>& SteppingAside() {
    static std::vector<QObject*> objects;
    return objects;
}

QAccessibleInterface* WrapWidget(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    std::vector<QObject*>& aside = SteppingAside();
    if (std::find(aside.begin(), aside.end(), object) != aside.end())
        return nullptr;
    aside.push_back(object);
    QAccessibleInterface* inner = QAccessible::queryAccessibleInterface(object);
    aside.pop_back();
    if (!inner || inner->object() != object)
        return nullptr;
    // Qt's accessibility cache owns the wrapper from here, and the wrapper
    // the interface it wraps.
    return std::make_unique<TScreenPixelsAccessible>(QAccessible::uniqueId(inner), true).release();
}

QScreen* ScreenOf(const QWindow* window, const QPoint& p) {
    if (window && window->screen())
        return window->screen();
    if (QScreen* screen = QGuiApplication::screenAt(p))
        return screen;
    return QGuiApplication::primaryScreen();
}

qreal RatioOf(const QWindow* window, const QScreen* screen) {
    return window ? window->devicePixelRatio() : screen->devicePixelRatio();
}

} // namespace

void TScreenPixelsAccessible::Install() {
    QAccessible::removeFactory(WrapWidget);
    QAccessible::installFactory(WrapWidget);
}

QPoint TScreenPixelsAccessible::ToScreen(const QPoint& p, const QWindow* window) {
    const QScreen* screen = ScreenOf(window, p);
    if (!screen)
        return p;
    const QPoint origin = screen->geometry().topLeft();
    return origin + (p - origin) * RatioOf(window, screen);
}

QRect TScreenPixelsAccessible::ToScreen(const QRect& r, const QWindow* window) {
    if (r.isNull())
        return r;
    const QScreen* screen = ScreenOf(window, r.center());
    if (!screen)
        return r;
    return QRect(ToScreen(r.topLeft(), window), r.size() * RatioOf(window, screen));
}

QPoint TScreenPixelsAccessible::FromScreen(const QPoint& p, const QWindow* window) {
    const QScreen* screen = ScreenOf(window, p);
    if (!screen)
        return p;
    const QPoint origin = screen->geometry().topLeft();
    return origin + (p - origin) / RatioOf(window, screen);
}

TScreenPixelsAccessible::TScreenPixelsAccessible(QAccessible::Id inner, bool owns)
    : inner_(inner), owns_(owns) {}

TScreenPixelsAccessible::~TScreenPixelsAccessible() {
    for (const auto& [innerId, wrapperId] : loose_)
        QAccessible::deleteAccessibleInterface(wrapperId);
    if (owns_)
        QAccessible::deleteAccessibleInterface(inner_);
}

QAccessibleInterface* TScreenPixelsAccessible::Inner() const {
    return QAccessible::accessibleInterface(inner_);
}

QAccessibleTextInterface* TScreenPixelsAccessible::InnerText() const {
    QAccessibleInterface* inner = Inner();
    return inner ? inner->textInterface() : nullptr;
}

QAccessibleInterface* TScreenPixelsAccessible::Outer(QAccessibleInterface* child) const {
    if (!child || child->object() || dynamic_cast<TScreenPixelsAccessible*>(child))
        return child;
    const QAccessible::Id id = QAccessible::uniqueId(child);
    // Children the parent's interface has let go of take their wrappers along.
    std::erase_if(loose_, [](const auto& entry) {
        if (QAccessible::accessibleInterface(entry.first))
            return false;
        QAccessible::deleteAccessibleInterface(entry.second);
        return true;
    });
    for (const auto& [innerId, wrapperId] : loose_)
        if (innerId == id)
            return QAccessible::accessibleInterface(wrapperId);
    QAccessibleInterface* wrapper = std::make_unique<TScreenPixelsAccessible>(id, false).release();
    loose_.emplace_back(id, QAccessible::registerAccessibleInterface(wrapper));
    return wrapper;
}

const QAccessibleInterface*
TScreenPixelsAccessible::Unwrapped(const QAccessibleInterface* child) const {
    const auto* wrapper = dynamic_cast<const TScreenPixelsAccessible*>(child);
    if (!wrapper || wrapper->owns_)
        return child;
    return wrapper->Inner();
}

bool TScreenPixelsAccessible::isValid() const {
    const QAccessibleInterface* inner = Inner();
    return inner && inner->isValid();
}

QObject* TScreenPixelsAccessible::object() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->object() : nullptr;
}

QWindow* TScreenPixelsAccessible::window() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->window() : nullptr;
}

QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
TScreenPixelsAccessible::relations(QAccessible::Relation match) const {
    const QAccessibleInterface* inner = Inner();
    if (!inner)
        return {};
    auto found = inner->relations(match);
    for (auto& relation : found)
        relation.first = Outer(relation.first);
    return found;
}

QAccessibleInterface* TScreenPixelsAccessible::focusChild() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? Outer(inner->focusChild()) : nullptr;
}

QAccessibleInterface* TScreenPixelsAccessible::childAt(int x, int y) const {
    const QAccessibleInterface* inner = Inner();
    if (!inner)
        return nullptr;
    const QPoint p = FromScreen(QPoint(x, y), inner->window());
    return Outer(inner->childAt(p.x(), p.y()));
}

QAccessibleInterface* TScreenPixelsAccessible::parent() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->parent() : nullptr;
}

QAccessibleInterface* TScreenPixelsAccessible::child(int index) const {
    const QAccessibleInterface* inner = Inner();
    return inner ? Outer(inner->child(index)) : nullptr;
}

int TScreenPixelsAccessible::childCount() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->childCount() : 0;
}

int TScreenPixelsAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->indexOfChild(Unwrapped(child)) : -1;
}

QString TScreenPixelsAccessible::text(QAccessible::Text t) const {
    const QAccessibleInterface* inner = Inner();
    if (!inner)
        return {};
    // Qt names a combo box after its value on this desktop; one given a name
    // is called by it, its value being its value.
    if (t == QAccessible::Name)
        if (const auto* combo = qobject_cast<const QComboBox*>(inner->object());
            combo && !combo->accessibleName().isEmpty())
            return combo->accessibleName();
    return inner->text(t);
}

void TScreenPixelsAccessible::setText(QAccessible::Text t, const QString& text) {
    if (QAccessibleInterface* inner = Inner())
        inner->setText(t, text);
}

QRect TScreenPixelsAccessible::rect() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? ToScreen(inner->rect(), inner->window()) : QRect();
}

QAccessible::Role TScreenPixelsAccessible::role() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->role() : QAccessible::NoRole;
}

QAccessible::State TScreenPixelsAccessible::state() const {
    if (const QAccessibleInterface* inner = Inner())
        return inner->state();
    QAccessible::State s;
    s.invalid = true;
    return s;
}

QColor TScreenPixelsAccessible::foregroundColor() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->foregroundColor() : QColor();
}

QColor TScreenPixelsAccessible::backgroundColor() const {
    const QAccessibleInterface* inner = Inner();
    return inner ? inner->backgroundColor() : QColor();
}

void* TScreenPixelsAccessible::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TextInterface)
        return InnerText() ? static_cast<QAccessibleTextInterface*>(this) : nullptr;
    QAccessibleInterface* inner = Inner();
    return inner ? inner->interface_cast(t) : nullptr;
}

void TScreenPixelsAccessible::selection(int selectionIndex, int* startOffset,
                                        int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (QAccessibleTextInterface* text = InnerText())
        text->selection(selectionIndex, startOffset, endOffset);
}

int TScreenPixelsAccessible::selectionCount() const {
    QAccessibleTextInterface* text = InnerText();
    return text ? text->selectionCount() : 0;
}

void TScreenPixelsAccessible::addSelection(int startOffset, int endOffset) {
    if (QAccessibleTextInterface* text = InnerText())
        text->addSelection(startOffset, endOffset);
}

void TScreenPixelsAccessible::removeSelection(int selectionIndex) {
    if (QAccessibleTextInterface* text = InnerText())
        text->removeSelection(selectionIndex);
}

void TScreenPixelsAccessible::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (QAccessibleTextInterface* text = InnerText())
        text->setSelection(selectionIndex, startOffset, endOffset);
}

int TScreenPixelsAccessible::cursorPosition() const {
    QAccessibleTextInterface* text = InnerText();
    return text ? text->cursorPosition() : 0;
}

void TScreenPixelsAccessible::setCursorPosition(int position) {
    if (QAccessibleTextInterface* text = InnerText())
        text->setCursorPosition(position);
}

QString TScreenPixelsAccessible::text(int startOffset, int endOffset) const {
    QAccessibleTextInterface* text = InnerText();
    return text ? text->text(startOffset, endOffset) : QString();
}

QString TScreenPixelsAccessible::textBeforeOffset(int offset,
                                                  QAccessible::TextBoundaryType boundaryType,
                                                  int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    QAccessibleTextInterface* text = InnerText();
    return text ? text->textBeforeOffset(offset, boundaryType, startOffset, endOffset) : QString();
}

QString TScreenPixelsAccessible::textAfterOffset(int offset,
                                                 QAccessible::TextBoundaryType boundaryType,
                                                 int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    QAccessibleTextInterface* text = InnerText();
    return text ? text->textAfterOffset(offset, boundaryType, startOffset, endOffset) : QString();
}

QString TScreenPixelsAccessible::textAtOffset(int offset,
                                              QAccessible::TextBoundaryType boundaryType,
                                              int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
    QAccessibleTextInterface* text = InnerText();
    return text ? text->textAtOffset(offset, boundaryType, startOffset, endOffset) : QString();
}

int TScreenPixelsAccessible::characterCount() const {
    QAccessibleTextInterface* text = InnerText();
    return text ? text->characterCount() : 0;
}

QRect TScreenPixelsAccessible::characterRect(int offset) const {
    QAccessibleTextInterface* text = InnerText();
    return text ? ToScreen(text->characterRect(offset), window()) : QRect();
}

int TScreenPixelsAccessible::offsetAtPoint(const QPoint& point) const {
    QAccessibleTextInterface* text = InnerText();
    return text ? text->offsetAtPoint(FromScreen(point, window())) : -1;
}

void TScreenPixelsAccessible::scrollToSubstring(int startIndex, int endIndex) {
    if (QAccessibleTextInterface* text = InnerText())
        text->scrollToSubstring(startIndex, endIndex);
}

QString TScreenPixelsAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    QAccessibleTextInterface* text = InnerText();
    return text ? text->attributes(offset, startOffset, endOffset) : QString();
}
