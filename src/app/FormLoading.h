// TFormLoading: the small window that shows the loading picture while the
// main window loads. Once shown, it stays up for at least kMinShowTime
// milliseconds: hiding it waits, dispatching pending messages, until that
// time has passed since it was last shown, or until the player clicks the
// window or presses a key on it (during the wait, or before it while the
// game loads): the game then goes on at once. While it waits for the time
// or the player, it says so ("Click or press a key to start").
//
// Screen readers find a window named "Loading Fablewhirl" whose description
// is what the window says, told again when that changes.
#pragma once
#include <QFrame>
#include <QLabel>
#include <QWidget>
#include <cstdint>

#include "image/LibraryImage.h"
#include "ui/PaintBox.h"

class TRL8Library;

class TFormLoading : public QWidget {
    Q_OBJECT
public:
    static constexpr uint32_t kMinShowTime = 10000;
    static constexpr const char* kLoadingText = "Loading game...";
    static constexpr const char* kReadyText = "Click or press a key to start";

    // StartLibrary holds "rh2_icon" and outlives the window.
    explicit TFormLoading(TRL8Library& startLibrary, QWidget* parent = nullptr);

    void setVisible(bool visible) override;

    // The window system's palette query and palette change; Qt sends neither,
    // so nothing calls them on a true-colour screen.
    int PaletteQuery();
    void PaletteChanged(bool byThisWindow);

    uint32_t ShownAt() const { return shownAt_; }

    QFrame Bevel1;
    TPaintBox pbxIcon;
    QLabel lblLoading;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void FormHide();
    void pbxIconPaint(QPainter& canvas);
    // Shows Text on lblLoading, and tells screen readers.
    void Say(const char* text);

    TRL8Library& startLibrary_;
    TLibraryImage icon_; // taken on the first show
    QColor brush_;
    uint32_t shownAt_ = 0;
    bool holding_ = false;
    bool pressed_ = false; // a click or key since the window was last shown
};
