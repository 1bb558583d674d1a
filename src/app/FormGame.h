// TFormGame: the main window, the game's title screen. Its creation loads the
// game (settings, story generator, image library, sound, cursors, scene); it
// shows the living scene, opens the storybook and the word-list editor, and
// keeps the "Game" settings. It is the wave-out window of the sound.
#pragma once
#include <QDialog>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "image/LibraryImage.h"
#include "platform/WaveOutWindow.h"
#include "platform/qt/QtDrawTarget.h"
#include "ui/PaintBox.h"
#include "ui/RL8Tile.h"
#include "ui/RunHandler.h"

class TFormBook;
class TFormLoading;
class TFormWords;
class TRL8ImageData;
class TRL8Library;
class TScene;
class TStoryGenerator;
class TWaveMan;

// The game's image library while the main window holds it; nullptr otherwise.
extern TRL8Library* GameLibrary;

class TFormGame : public QWidget, public plat::WaveOutWindow {
    Q_OBJECT
public:
    static constexpr int kSceneWidth = 550;
    static constexpr int kSceneHeight = 370;
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
    RL8Tile::TTileBG BG;
    TPaintBox pbxMain;
    QLabel lblVersion;
    QTimer tmrAnim;

    // Handlers.
    void FormResize();
    void pbxMainPaint();
    void PaintSceneFrame(QPainter& canvas);
    void pbxMainMouseMove(QPoint pos);
    void pbxMainMouseDown(QPoint pos);
    // The mouse left the scene: the hover ends as over an empty spot.
    void pbxMainMouseLeave();
    void tmrAnimTimer();
    void OpenTale(int n);
    void OpenWordList();
    void UpdateHover(QPoint pos);
    void LeaveHotRegion();
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
    TScene* Scene() { return scene_.get(); }
    TStoryGenerator* Generator() { return generator_.get(); }
    TRL8Library* Library() { return library_.get(); }
    TRL8ImageData* WorkSurface() const { return workSurface_; }
    TRL8ImageData* SceneSurface() const { return sceneImage_.Surface(); }
    TRL8ImageData* FramesSurface() const { return frames_.Surface(); }
    TRL8ImageData* BalloonsSurface() const { return balloons_.Surface(); }
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

private:
    void FormCreate();
    void FormDestroy();
    // The credit line's font, and the strip under the scene that holds the
    // line at any window size (what a change of the line repaints).
    QFont CreditFont() const;
    QRect CreditStrip() const;
    void LoadLibrary();
    void ReleaseImages();

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
};
