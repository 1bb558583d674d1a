// The scene's accessible group and its region buttons.
#include "app/SceneAccessible.h"

#include <QAccessibleActionInterface>
#include <QTimer>
#include <memory>

#include "app/FormGame.h"
#include "scene/Scene.h"
#include "sound/AppSound.h"
#include "ui/PaintBox.h"
#include "ui/ScreenPixelsAccessible.h"

namespace {

// One region of the scene as a button. It lives in Qt's accessibility cache
// while its group does.
class TRegionAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TRegionAccessible(const TSceneAccessible* group, int n) : group_(group), n_(n) {}

    bool isValid() const override {
        const TFormGame* game = group_->Game();
        return game && game->SceneReady();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return group_->window(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(group_->object());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid())
            return {};
        return QString::fromLatin1(TScene::RegionName(n_, SoundOn));
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        TFormGame* game = group_->Game();
        if (!game || !game->SceneReady())
            return {};
        const QRect r = game->RegionRect(n_);
        return QRect(game->pbxMain.mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override { return QAccessible::Button; }

    QAccessible::State state() const override {
        QAccessible::State s;
        TFormGame* game = group_->Game();
        if (!game || !game->SceneReady()) {
            s.invalid = true;
            return s;
        }
        s.focusable = true;
        s.focused = game->pbxMain.hasFocus() && game->Scene()->Focus() == n_;
        s.hotTracked = game->Scene()->HotRegion == n_;
        if (!game->pbxMain.isVisible())
            s.invisible = true;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& name) override {
        TFormGame* game = group_->Game();
        if (name != pressAction() || !game || !game->SceneReady())
            return;
        // Later, so that a window the press opens (modally) does not hold
        // the caller's answer back.
        QTimer::singleShot(0, game, [game, n = n_] { game->PressRegion(n); });
    }

private:
    const TSceneAccessible* group_;
    int n_;
};

// A window of the game as Qt's widgets show it, with the window's role.
class TWindowAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
};

QAccessibleInterface* SceneFactory(const QString& key, QObject* object) {
    // The main window is a window to assistive technology, not a pane (the
    // loading window, made before it, names itself).
    if (key == QLatin1String("TFormGame") && object && object->isWidgetType())
        return std::make_unique<TWindowAccessible>(static_cast<QWidget*>(object),
                                                   QAccessible::Window)
            .release();
    if (key != QLatin1String("TPaintBox") || !object || object->objectName() != "pbxMain" ||
        !qobject_cast<TFormGame*>(object->parent()))
        return nullptr;
    // Qt's accessibility cache owns the interface from here.
    return std::make_unique<TSceneAccessible>(static_cast<TPaintBox*>(object)).release();
}

// The interface of region N of Box's scene, made when first asked for.
QAccessibleInterface* RegionInterface(TPaintBox& box, int n) {
    QAccessibleInterface* group = QAccessible::queryAccessibleInterface(&box);
    return group && n >= 1 && n <= group->childCount() ? group->child(n - 1) : nullptr;
}

} // namespace

TSceneAccessible::TSceneAccessible(TPaintBox* box)
    : QAccessibleWidget(box, QAccessible::Grouping, QString::fromLatin1(kName)) {}

TSceneAccessible::~TSceneAccessible() {
    for (QAccessible::Id id : ids_)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

void TSceneAccessible::Install() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(SceneFactory);
    TScreenPixelsAccessible::Install(); // asked first still
}

void TSceneAccessible::NotifyFocus(TPaintBox& box, int n) {
    if (n == 0 || !QAccessible::isActive())
        return;
    if (QAccessibleInterface* region = RegionInterface(box, n)) {
        QAccessibleEvent event(region, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}

void TSceneAccessible::Forget(TPaintBox& box) {
    if (QAccessibleInterface* group = QAccessible::queryAccessibleInterface(&box))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(group));
}

void TSceneAccessible::NotifyNameChanged(TPaintBox& box, int n) {
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* region = RegionInterface(box, n)) {
        QAccessibleEvent event(region, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

TFormGame* TSceneAccessible::Game() const {
    // While the window is being destroyed it is no longer a TFormGame here.
    QWidget* box = widget();
    return box ? qobject_cast<TFormGame*>(box->parentWidget()) : nullptr;
}

QAccessible::Role TSceneAccessible::role() const {
    return QAccessible::Grouping;
}

QString TSceneAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name)
        return QString::fromLatin1(kName);
    if (t == QAccessible::Description)
        return QStringLiteral("Pick a character to open its tale");
    return QAccessibleWidget::text(t);
}

QAccessible::State TSceneAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.focusable = true;
    return s;
}

int TSceneAccessible::childCount() const {
    const TFormGame* game = Game();
    return game && game->SceneReady() ? TScene::kRegionCount : 0;
}

QAccessibleInterface* TSceneAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    QAccessible::Id& id = ids_[static_cast<std::size_t>(index)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(
            std::make_unique<TRegionAccessible>(this, index + 1).release());
    return QAccessible::accessibleInterface(id);
}

int TSceneAccessible::indexOfChild(const QAccessibleInterface* child) const {
    for (int i = 0; i < childCount(); ++i)
        if (ids_[static_cast<std::size_t>(i)] &&
            QAccessible::accessibleInterface(ids_[static_cast<std::size_t>(i)]) == child)
            return i;
    return -1;
}

QAccessibleInterface* TSceneAccessible::childAt(int x, int y) const {
    TFormGame* game = Game();
    if (!game || !game->SceneReady())
        return nullptr;
    const QPoint p = game->pbxMain.mapFromGlobal(QPoint(x, y));
    const int n = game->RegionAt(p);
    return n ? child(n - 1) : nullptr;
}

QAccessibleInterface* TSceneAccessible::focusChild() const {
    TFormGame* game = Game();
    if (!game || !game->SceneReady() || !game->pbxMain.hasFocus() || !game->Scene()->Focus())
        return nullptr;
    return child(game->Scene()->Focus() - 1);
}
