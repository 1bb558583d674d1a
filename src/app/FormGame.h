// TFormGame: the main window, the game's title screen. Its creation loads the
// game (settings, story generator, image library, sound, cursors, scene); it
// shows the living scene, opens the storybook and the word-list editor, and
// keeps the "Game" settings. It is the wave-out window of the sound. The
// scene is played with the mouse or the keyboard and shown to assistive
// technology (TSceneAccessible); a large window shows it at a whole-number
// scale (TSceneLayout), the work image and its damage staying at the design
// size until the paint box draws them.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "image/LibraryImage.h"
#include "platform/WaveOutWindow.h"
#include "platform/qt/QtDrawTarget.h"
#include "scene/Scene.h"
#include "scene/SceneLayout.h"
#include "ui/PaintBox.h"
#include "ui/RL8Tile.h"
#include "ui/RunHandler.h"

class TFormBook;
class TFormLoading;
class TFormWords;
class TRL8ImageData;
class TRL8Library;
class TStoryGenerator;
class TWaveMan;

// The game's image library while the main window holds it; nullptr otherwise.
extern TRL8Library* GameLibrary;

class TFormGame : public QWidget, public plat::WaveOutWindow {
    Q_OBJECT
public:
    static constexpr int kSceneWidth = TSceneLayout::kSceneWidth;
    static constexpr int kSceneHeight = TSceneLayout::kSceneHeight;
    static constexpr int kClientWidth = 590;
    static constexpr int kClientHeight = 410;
    static constexpr uint32_t kTimerInterval = 55;

    // Loads the game (FormCreate); a failure shows the start-up message and
    // sets StartupFailed. Loading is hidden at the end of the loading.
    explicit TFormGame(TFormLoading* loading = nullptr, QWidget* parent = nullptr);
    // FormDestroy.
    ~TFormGame() override;

    // The windows that the scene opens (owned by the caller, may be null).
    void SetWindows(TFormWords* words, TFormBook* book);

    // The credit line texts and fade colours: TCredits::Text and
    // TCredits::Colour.
    static const char* CreditText(int line);
    static uint32_t CreditColour(int phase);

    // Components.
    TRL8Tile BG;
    TPaintBox pbxMain;
    QLabel lblVersion;
    QTimer tmrAnim;

    // Handlers. Positions are in paint-box co-ordinates, at the scale shown.
    void FormResize();
    void pbxMainPaint();
    void PaintSceneFrame(QPainter& canvas);
    // A move that only repeats the pointer's last place does not take the
    // focus from the keyboard.
    void pbxMainMouseMove(QPoint pos);
    void pbxMainMouseDown(QPoint pos);
    // The mouse left the scene: the hover ends as over an empty spot.
    void pbxMainMouseLeave();
    void tmrAnimTimer();
    // A key went down in the window: Tab and Shift+Tab, the arrows, Enter,
    // Space and Escape are the scene's (TScene::KeyDown); Ctrl+O opens "My
    // stories" (OpenShelf); every key is activity. Returns whether the key
    // was the scene's or the shelf's.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    // A screen reader pressed region N's button: focus it and press, as
    // Enter does; nothing while a modal window is up.
    void PressRegion(int n);
    void OpenTale(int n);
    // "My stories" for every tale, over the scene; a story opened there
    // opens its tale's book on it.
    void OpenShelf();
    void OpenWordList();
    void UpdateHover(QPoint pos);
    void LeaveHotRegion();

    // The scale the scene is shown at.
    int SceneScale() const { return scale_; }
    // Region N's area (TScene::RegionArea) on the paint box; the region at
    // paint-box point P (0: none).
    QRect RegionRect(int n) const;
    int RegionAt(QPoint p) const;
    // The previous-instance message: the open modal window, or this one,
    // comes to the front and takes the focus.
    void PreviousInstanceMessage();
    // The window system's palette query and palette change; Qt sends
    // neither, so nothing calls them on a true-colour screen.
    int PaletteQuery();
    void PaletteChanged(bool byThisWindow);

    void WaveOutDone(const plat::WaveDoneMessage& message) override;

    // Whether loading succeeded.
    bool Loaded() const { return loaded_; }
    // Whether the scene is there to be played (loaded, not yet going).
    bool SceneReady() const { return loaded_ && scene_ && !ending_; }
    TScene* Scene() { return scene_.get(); }
    TStoryGenerator* Generator() { return generator_.get(); }
    TRL8Library* Library() { return library_.get(); }
    TRL8ImageData* WorkSurface() const { return workSurface_; }
    // What the paint box shows (the composed scene, converted).
    const QImage& PaintBoxImage() const { return pbxImage_; }

    // Shows a handler's error message (a message box unless replaced).
    ErrorSink ShowError;
    // Shows a window modally (exec unless replaced, for tests).
    std::function<void(QDialog&)> ShowModal;
    // Whether the window is active (isActiveWindow unless replaced).
    std::function<bool()> WindowActive;

signals:
    // The window has closed (the message loop ends).
    void Closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab and Shift+Tab move the scene's focus instead of Qt's.
    bool focusNextPrevChild(bool next) override;

private:
    void FormCreate();
    void FormDestroy();
    // The credit line's font, and the strip under the scene that holds the
    // line at any window size (what a change of the line repaints).
    QFont CreditFont() const;
    QRect CreditStrip() const;
    void LoadLibrary();
    void ReleaseImages();
    // Does what the scene decided on a click, a key or a press.
    void RunClick(const TScene::Click& click);
    // Animation 20 shows SoundOn (sound may have come on while the book was
    // open: TWaveMan::LookAgain).
    void ShowSoundState();
    // Tells assistive technology where the scene's focus went.
    void AnnounceFocus(int before);
    // A scene point (the scene's co-ordinates) of a paint-box point.
    TPoint ScenePoint(QPoint pos) const;

    TFormLoading* loading_ = nullptr;
    TFormWords* words_ = nullptr;
    TFormBook* book_ = nullptr;

    std::unique_ptr<TStoryGenerator> generator_;
    std::unique_ptr<TRL8Library> library_;
    std::unique_ptr<TWaveMan> waveMan_;
    std::unique_ptr<TScene> scene_;
    TLibraryImage sceneImage_, frames_, balloons_;
    // The work image's surface; the image stays in the library until the
    // library goes.
    TRL8ImageData* workSurface_ = nullptr;

    QImage pbxImage_;
    std::unique_ptr<plat::QtDrawTarget> pbxTarget_;
    bool loaded_ = false;
    bool ending_ = false;
    // The player switched the sound in this run: the setting is written.
    bool soundSwitched_ = false;
    int scale_ = 1;
    // Where the pointer was last seen over the paint box, on the screen.
    std::optional<QPoint> lastPointer_;
};
