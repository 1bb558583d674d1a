// TSceneAccessible: what assistive technology (a screen reader, a switch
// access program) finds in the main window's scene: a group named for the
// valley with one button per region, named for what the region does, placed
// where the region is shown, with the press action. A press runs once the
// event loop turns again, so that the caller hears back before any window
// the press opens. Install also gives the main and the loading window the
// role of a window.
#pragma once
#include <QAccessibleWidget>
#include <array>

#include "scene/Scene.h"

class TFormGame;
class TPaintBox;

class TSceneAccessible : public QAccessibleWidget {
public:
    // The scene group's name.
    static constexpr const char* kName = "Fairy-tale valley";

    explicit TSceneAccessible(TPaintBox* box);
    ~TSceneAccessible() override;

    // Makes the main window's paint box known by this interface to Qt's
    // accessibility (once for the process; later calls do nothing).
    static void Install();
    // Tells assistive technology that the scene's keyboard focus moved to
    // region N (nothing for 0, or while no client listens).
    static void NotifyFocus(TPaintBox& box, int n);
    // Drops Box's interface and its buttons from Qt's accessibility cache
    // (before the window that holds the scene goes).
    static void Forget(TPaintBox& box);
    // Tells assistive technology that region N's name changed.
    static void NotifyNameChanged(TPaintBox& box, int n);

    // The game whose scene this is, while it lives.
    TFormGame* Game() const;

    QAccessible::Role role() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

private:
    // The region buttons' ids in Qt's accessibility cache (0: not made yet).
    mutable std::array<QAccessible::Id, TScene::kRegionCount> ids_{};
};
