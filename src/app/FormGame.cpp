// The main window: loading, settings, the scene on screen and its frame.
#include "app/FormGame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <malloc.h>
#include <utility>

#include "app/FormLoading.h"
#include "app/SceneAccessible.h"
#include "app/SingleInstance.h"
#include "book/forms/FormBook.h"
#include "data/InitGame.h"
#include "image/RL8Exception.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/MessageBox.h"
#include "platform/PrivateProfile.h"
#include "platform/Screen.h"
#include "platform/Tick.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtFonts.h"
#include "scene/Credits.h"
#include "scene/ProjectVersion.h"
#include "scene/Scene.h"
#include "scene/SceneLayout.h"
#include "shelf/forms/FormShelf.h"
#include "sound/AppSound.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"
#include "ui/Cursors.h"
#include "ui/FormPalette.h"
#include "ui/RunHandler.h"
#include "wordlist/forms/FormWords.h"

#ifndef FBW_BUILD_DATE
#define FBW_BUILD_DATE "20000930"
#endif

TRL8Library* GameLibrary = nullptr;

// The scene steps through the credit lines that TCredits holds, and the
// window's first size is the smallest that TSceneLayout allows.
static_assert(TScene::kCreditLines == TCredits::kLineCount);
static_assert(TFormGame::kClientWidth == TSceneLayout::MinClient(TFormGame::kSceneWidth) &&
              TFormGame::kClientHeight == TSceneLayout::MinClient(TFormGame::kSceneHeight));

namespace {
QFont WindowFont() {
    QFont font("Times New Roman");
    font.setPixelSize(16);
    return font;
}
} // namespace

const char* TFormGame::CreditText(int line) {
    return TCredits::Text(line);
}

uint32_t TFormGame::CreditColour(int phase) {
    return TCredits::Colour(phase);
}

TFormGame::TFormGame(TFormLoading* loading, QWidget* parent)
    : QWidget(parent), BG(this), pbxMain(this), lblVersion(this), tmrAnim(this), loading_(loading),
      pbxImage_(kSceneWidth, kSceneHeight, QImage::Format_RGB32) {
    TSceneAccessible::Install();
    plat::InstallFontSubstitutes();
    setObjectName("FormGame");
    setWindowTitle("Fablewhirl");
    setFont(WindowFont());
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    BG.setObjectName("BG");
    BG.SetImageName("grntile");

    pbxMain.setObjectName("pbxMain");
    pbxMain.setGeometry(4, 5, kSceneWidth, kSceneHeight);
    pbxMain.setMouseTracking(true);
    pbxMain.setFocusPolicy(Qt::StrongFocus);
    pbxMain.setAccessibleName(TSceneAccessible::kName);
    pbxImage_.fill(Qt::black);
    pbxTarget_ = std::make_unique<plat::QtDrawTarget>(pbxImage_);
    pbxMain.OnPaint = [this](QPainter& canvas, const QRegion& clip) {
        // Each picture pixel a block of scale_ x scale_ screen pixels.
        const int k = scale_;
        for (const QRect& r : clip) {
            const int left = r.left() / k, top = r.top() / k;
            const QRect source(left, top, (r.right() + k) / k - left, (r.bottom() + k) / k - top);
            canvas.drawImage(QRect(source.topLeft() * k, source.size() * k), pbxImage_, source);
        }
    };
    pbxMain.OnMouseMove = [this](QPoint p) { pbxMainMouseMove(p); };
    pbxMain.OnMouseDown = [this](QPoint p, Qt::MouseButton) { pbxMainMouseDown(p); };
    pbxMain.OnMouseLeave = [this] { pbxMainMouseLeave(); };

    lblVersion.setObjectName("lblVersion");
    QFont small("MS Sans Serif");
    small.setPixelSize(11);
    lblVersion.setFont(small);
    QPalette lime = lblVersion.palette();
    lime.setColor(QPalette::WindowText, QColor(0, 255, 0));
    lblVersion.setPalette(lime);
    lblVersion.setAttribute(Qt::WA_TranslucentBackground);
    lblVersion.move(4, 1);
    lblVersion.hide();

    tmrAnim.setObjectName("tmrAnim");
    tmrAnim.setInterval(static_cast<int>(kTimerInterval));
    connect(&tmrAnim, &QTimer::timeout, this, [this] { tmrAnimTimer(); });

    ShowModal = [](QDialog& dialog) { dialog.exec(); };
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    WindowActive = [this] { return isActiveWindow(); };

    FormCreate();
}

TFormGame::~TFormGame() {
    ending_ = true;
    TSceneAccessible::Forget(pbxMain);
    tmrAnim.stop();
    FormDestroy();
    ReleaseImages();
    BG.SetLibrary(nullptr);
    waveMan_.reset();
}

void TFormGame::SetWindows(TFormWords* words, TFormBook* book) {
    words_ = words;
    book_ = book;
    // The storybook reads aloud through the game's one wave manager.
    if (book_)
        book_->SetWaveManager(waveMan_.get());
}

void TFormGame::FormCreate() {
    try {
        // 1. The application hooks.
        connect(qApp, &QGuiApplication::applicationStateChanged, this,
                [this](Qt::ApplicationState state) {
                    if (state == Qt::ApplicationActive && isVisible())
                        repaint();
                });
        if (TSingleInstance* instance = TSingleInstance::Current())
            connect(instance, &TSingleInstance::PreviousInstance, this,
                    &TFormGame::PreviousInstanceMessage);

        // 2. The version label.
        lblVersion.setText(QString::asprintf("v%s (%s)", TProjectVersion::kFull, FBW_BUILD_DATE));
        lblVersion.adjustSize();

        // 3. The window state.
        const std::string maximized =
            plat::GetProfileString("Game", "Maximized", "0", SettingsFileName);
        setWindowState(maximized == "1" ? Qt::WindowMaximized : Qt::WindowNoState);

        // 4. The story generator.
        generator_ = std::make_unique<TStoryGenerator>();

        // 5. The game library and the scene pictures.
        LoadLibrary();

        // 6. Let the loading window repaint.
        QCoreApplication::processEvents();

        // 7. The sound, as the player left it: only "0" is off.
        const bool wanted = plat::GetProfileString("Game", "Sound", "1", SettingsFileName) != "0";
        waveMan_ = StartSound(this, wanted);

        // 8. The cursors.
        LoadCursors();
        pbxMain.setCursor(ScreenCursor(kCursorArrow1));

        // 9. The scene.
        scene_ = std::make_unique<TScene>(TScene::Surfaces{sceneImage_.Surface(), frames_.Surface(),
                                                           balloons_.Surface(), workSurface_,
                                                           library_->GetHPal()});
        scene_->CreateAnims(SoundOn, plat::GetTickCount());
        scene_->DrawAllAnims();
        scene_->CreateHitRegions();
        workSurface_->AddDamage(workSurface_->GetBounds());
        pbxMainPaint();
        loaded_ = true;

        // 10. The loading window goes once its time is up.
        if (loading_) {
            loading_->hide();
            while (loading_->isVisible()) {
                QCoreApplication::processEvents();
                loading_->hide();
            }
        }
    } catch (const std::exception& e) {
        plat::ShowMessage(plat::MsgKind::Error,
                          FromQString(QApplication::applicationName()) +
                              " encountered a problem on start-up: " + e.what());
        StartupFailed = true;
    }
}

void TFormGame::LoadLibrary() {
    library_ = std::make_unique<TRL8Library>(this);
    try {
        library_->Open(ProgramFolder + "yarns.rl8");
        GameLibrary = library_.get();
        library_->AddReference(&GameLibrary);
        TRL8Tile::SetGlobalImageLibrary(library_.get());
        BG.OnPaintOver = [this](QPainter& canvas, const TRect&) { PaintSceneFrame(canvas); };
        sceneImage_ = TLibraryImage(*library_, "main");
        frames_ = TLibraryImage(*library_, "animsrc");
        balloons_ = TLibraryImage(*library_, "speech");
        uint16_t w = 0, h = 0;
        library_->GetImageSize(sceneImage_.Node(), w, h);
        // The work image stays in the library until the library goes.
        workSurface_ = library_->GetImageData(library_->CreateImage("_WORK_", w, h));
        if (!workSurface_)
            throw RL8Exception("CreateImage: no surface for \"_WORK_\"");
        TRL8ImageData& scene = *sceneImage_.Surface();
        workSurface_->Draw(TPoint{0, 0}, scene, scene.GetBounds());
    } catch (...) {
        ReleaseImages();
        BG.OnPaintOver = nullptr;
        BG.SetLibrary(nullptr);
        library_.reset();
        throw;
    }
}

void TFormGame::ReleaseImages() {
    workSurface_ = nullptr;
    sceneImage_.Reset();
    frames_.Reset();
    balloons_.Reset();
}

void TFormGame::FormDestroy() {
    scene_.reset();
    generator_.reset();
    // A start that failed leaves the player's settings as they were.
    if (loaded_) {
        plat::WriteProfileString("Game", "Maximized", isMaximized() ? "1" : "0", SettingsFileName);
        // The player's wish, also when this run had no audio output: written
        // when the player switched, or where no wish was kept yet; a value
        // the player did not set stays as it is (it reads as on).
        if (soundSwitched_ || plat::GetProfileString("Game", "Sound", "", SettingsFileName).empty())
            plat::WriteProfileString("Game", "Sound", SoundWanted ? "1" : "0", SettingsFileName);
    }
    StopSound();
}

void TFormGame::WaveOutDone(const plat::WaveDoneMessage& message) {
    SoundDone(message);
}

void TFormGame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

void TFormGame::FormResize() {
    // Growing the window resizes it again, which centres the scene then.
    const int minW = TSceneLayout::MinClient(kSceneWidth);
    const int minH = TSceneLayout::MinClient(kSceneHeight);
    if (width() < minW || height() < minH) {
        resize(std::max(width(), minW), std::max(height(), minH));
        return;
    }
    const int scale = TSceneLayout::WindowScale(width(), height());
    const int w = kSceneWidth * scale, h = kSceneHeight * scale;
    pbxMain.setGeometry(TSceneLayout::Centred(width(), w), TSceneLayout::Centred(height(), h), w,
                        h);
    if (scale != scale_) {
        scale_ = scale;
        if (scene_)
            pbxMain.setCursor(
                ScreenCursor(scene_->HotRegion ? kCursorArrow2 : kCursorArrow1, scale_));
        pbxMain.update();
    }
}

void TFormGame::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!tmrAnim.isActive())
        tmrAnim.start();
}

void TFormGame::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RealizeFormPalette(this, GameLibrary);
    QWidget::changeEvent(event);
}

void TFormGame::paintEvent(QPaintEvent*) {
    RealizeFormPalette(this, GameLibrary);
}

void TFormGame::closeEvent(QCloseEvent* event) {
    tmrAnim.stop();
    QWidget::closeEvent(event);
    emit Closed();
}

int TFormGame::PaletteQuery() {
    return RealizeFormPalette(this, GameLibrary);
}

void TFormGame::PaletteChanged(bool byThisWindow) {
    if (!GameLibrary || byThisWindow)
        return;
    // Taking the palette's colours as a background palette changes nothing
    // on a true-colour screen; the window shows them with its next paint.
    update();
}

void TFormGame::pbxMainPaint() {
    TRL8ImageData* work = workSurface_;
    if (!work || !sceneImage_.Surface() || !pbxTarget_)
        return;
    // The region of the damage, united pairwise (one union after another
    // costs the square of the rectangle count).
    std::vector<QRegion> parts;
    for (TLumNode* n = work->Damage.First; n; n = n->Next) {
        const TRect r = work->NormalizeRect(static_cast<TDamageNode*>(n)->Rect);
        if (!r.IsEmpty())
            parts.emplace_back(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
    for (std::size_t step = 1; step < parts.size(); step *= 2)
        for (std::size_t i = 0; i + step < parts.size(); i += 2 * step)
            parts[i] += parts[i + step];
    const QRegion changed = parts.empty() ? QRegion() : parts[0];
    if (changed.isEmpty())
        return;
    const plat::LogPalette* previous = pbxTarget_->SelectPalette(library_->GetHPal());
    work->DisplayDamage(*pbxTarget_, TPoint{0, 0});
    pbxTarget_->SelectPalette(previous);
    if (scale_ == 1) {
        pbxMain.update(changed);
        return;
    }
    QRegion shown;
    for (const QRect& r : changed)
        shown += QRect(r.topLeft() * scale_, r.size() * scale_);
    pbxMain.update(shown);
}

void TFormGame::PaintSceneFrame(QPainter& canvas) {
    if (!GameLibrary)
        return;
    const int L = pbxMain.x(), T = pbxMain.y(), W = pbxMain.width(), H = pbxMain.height();
    const int R = L + W, B = T + H;
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    // The frame: two rows of black pixels hugging the scene, at its scale.
    const int F = TSceneLayout::kFrameWidth * scale_;
    canvas.fillRect(QRect(L - F, T - F, W + 2 * F, F), Qt::black);
    canvas.fillRect(QRect(L - F, B, W + 2 * F, F), Qt::black);
    canvas.fillRect(QRect(L - F, T, F, H), Qt::black);
    canvas.fillRect(QRect(R, T, F, H), Qt::black);

    const int line = scene_ ? scene_->CreditLine : 0;
    const int phase = scene_ ? scene_->CreditPhase : 0;
    const QFont bold = CreditFont();
    canvas.setFont(bold);
    canvas.setPen(QColor::fromRgb(CreditColour(phase)));
    const QString text = ToQString(CreditText(line));
    const QFontMetrics metrics(bold);
    const int textWidth = metrics.horizontalAdvance(text);
    // Centred between the frame's outer edges.
    const int x = L - F + (R + F - 1 - (L - F) - textWidth) / 2;
    canvas.drawText(x, B + TSceneLayout::kCreditGap * scale_ + metrics.ascent(), text);
    canvas.restore();
}

QFont TFormGame::CreditFont() const {
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(font().pixelSize() * scale_);
    return bold;
}

QRect TFormGame::CreditStrip() const {
    // As wide as the frame, under which the text is centred.
    const int F = TSceneLayout::kFrameWidth * scale_;
    return QRect(pbxMain.x() - F, pbxMain.y() + pbxMain.height(), pbxMain.width() + 2 * F,
                 TSceneLayout::CreditStripHeight(QFontMetrics(CreditFont()).height(), scale_));
}

TPoint TFormGame::ScenePoint(QPoint pos) const {
    return TPoint{TSceneLayout::ToScene(pos.x(), scale_), TSceneLayout::ToScene(pos.y(), scale_)};
}

QRect TFormGame::RegionRect(int n) const {
    if (!scene_ || !scene_->HasRegions() || n < 1 || n > TScene::kRegionCount)
        return {};
    const TRect r = scene_->RegionArea(n);
    return QRect(r.Left * scale_, r.Top * scale_, (r.Right - r.Left) * scale_,
                 (r.Bottom - r.Top) * scale_);
}

int TFormGame::RegionAt(QPoint p) const {
    return scene_ ? scene_->FindRegion(ScenePoint(p)) : 0;
}

void TFormGame::UpdateHover(QPoint pos) {
    if (!scene_)
        return;
    const int cursor = scene_->UpdateHover(ScenePoint(pos), plat::GetTickCount());
    pbxMain.setCursor(ScreenCursor(cursor, scale_));
    pbxMainPaint();
}

void TFormGame::LeaveHotRegion() {
    if (scene_)
        scene_->LeaveHotRegion(plat::GetTickCount());
}

void TFormGame::pbxMainMouseMove(QPoint pos) {
    const QPoint onScreen = pbxMain.mapToGlobal(pos);
    if (scene_ && scene_->Focus() && lastPointer_ == onScreen)
        return;
    lastPointer_ = onScreen;
    UpdateHover(pos);
}

void TFormGame::pbxMainMouseLeave() {
    if (!scene_)
        return;
    pbxMain.setCursor(ScreenCursor(scene_->MouseLeave(plat::GetTickCount()), scale_));
    pbxMainPaint();
}

void TFormGame::pbxMainMouseDown(QPoint pos) {
    if (!scene_)
        return;
    lastPointer_ = pbxMain.mapToGlobal(pos);
    RunHandler(ShowError, [this, pos] {
        const TScene::Click click = scene_->MouseDown(ScenePoint(pos), plat::GetTickCount());
        pbxMain.setCursor(ScreenCursor(click.cursor, scale_));
        RunClick(click);
    });
}

bool TFormGame::FormKeyDown(int key, Qt::KeyboardModifiers modifiers) {
    if (!scene_)
        return false;
    using Key = TScene::Key;
    Key k = Key::Other;
    const bool plain = !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (plain) {
        switch (key) {
        case Qt::Key_Tab:
            k = modifiers & Qt::ShiftModifier ? Key::Previous : Key::Next;
            break;
        case Qt::Key_Backtab:
            k = Key::Previous;
            break;
        case Qt::Key_Left:
            k = Key::Left;
            break;
        case Qt::Key_Right:
            k = Key::Right;
            break;
        case Qt::Key_Up:
            k = Key::Up;
            break;
        case Qt::Key_Down:
            k = Key::Down;
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            k = Key::Press;
            break;
        case Qt::Key_Escape:
            k = Key::Escape;
            break;
        default:
            break;
        }
    }
    if (key == Qt::Key_O && (modifiers & Qt::ControlModifier) &&
        !(modifiers & (Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier))) {
        OpenShelf();
        return true;
    }
    RunHandler(ShowError, [this, k] {
        const int before = scene_->Focus();
        const TScene::Click click = scene_->KeyDown(k, plat::GetTickCount());
        AnnounceFocus(before);
        RunClick(click);
    });
    return k != Key::Other;
}

void TFormGame::PressRegion(int n) {
    // Assistive technology reaches the scene also while a window it opened
    // is up; the scene waits for that window, as the mouse does.
    if (!scene_ || QApplication::activeModalWidget())
        return;
    RunHandler(ShowError, [this, n] {
        const int before = scene_->Focus();
        const TScene::Click click = scene_->PressRegion(n, plat::GetTickCount());
        AnnounceFocus(before);
        RunClick(click);
    });
}

void TFormGame::AnnounceFocus(int before) {
    if (scene_ && scene_->Focus() != before)
        TSceneAccessible::NotifyFocus(pbxMain, scene_->Focus());
}

void TFormGame::keyPressEvent(QKeyEvent* event) {
    if (!FormKeyDown(event->key(), event->modifiers()))
        QWidget::keyPressEvent(event);
}

bool TFormGame::focusNextPrevChild(bool next) {
    if (!scene_)
        return QWidget::focusNextPrevChild(next);
    if (!pbxMain.hasFocus())
        pbxMain.setFocus(Qt::TabFocusReason);
    FormKeyDown(next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    return true;
}

void TFormGame::RunClick(const TScene::Click& click) {
    pbxMainPaint();
    switch (click.action) {
    case TScene::Action::OpenTale:
        OpenTale(click.tale);
        break;
    case TScene::Action::OpenWords:
        OpenWordList();
        break;
    case TScene::Action::Quit:
        if (plat::ShowMessage(plat::MsgKind::Question, "Do you really want to quit?",
                              plat::MsgButtons::YesNo) == plat::MsgAnswer::Yes)
            close();
        break;
    case TScene::Action::SoundSwitched:
        soundSwitched_ = true;
        pbxMainPaint();
        TSceneAccessible::NotifyNameChanged(pbxMain, TScene::kRegionCount);
        break;
    case TScene::Action::None:
        break;
    }
}

void TFormGame::OpenShelf() {
    if (!book_ || !library_ || QApplication::activeModalWidget())
        return;
    const std::optional<TFormShelf::Choice> chosen =
        TFormShelf::Pick(book_->StoriesFolder, 0, *library_, this, ShowError, nullptr,
                         [this](TFormShelf& shelf) { ShowModal(shelf); });
    if (!chosen)
        return;
    LeaveHotRegion();
    book_->SetStory({});
    book_->TaleNumber = chosen->tale;
    book_->ReadOnShow(chosen->path);
    ShowModal(*book_);
    ShowSoundState();
    malloc_trim(0);
}

void TFormGame::OpenTale(int n) {
    if (!generator_)
        return;
    const bool made = RunHandler(
        ShowError,
        [this, n] {
            const std::vector<std::string>& lines = generator_->GenerateStory(n);
            if (book_)
                book_->SetStory(JoinStoryLines(lines));
            LeaveHotRegion();
            pbxMainPaint();
            if (book_)
                book_->TaleNumber = n;
        },
        HandlerCursor::Wait);
    if (made && book_) {
        ShowModal(*book_);
        // The book may have found an audio output that came after the start.
        ShowSoundState();
        // What a large story took is free now; the allocator keeps freed
        // memory for the next use unless told to give it back.
        malloc_trim(0);
    }
}

void TFormGame::ShowSoundState() {
    if (!scene_ || !scene_->HasAnims())
        return;
    const TPoint shown = SoundOn ? TScene::kSoundOnFrame : TScene::kSoundOffFrame;
    TPoint& frame = scene_->Anim(20).FrameSource[0];
    if (frame == shown)
        return;
    frame = shown;
    scene_->DrawAllAnims();
    pbxMainPaint();
    TSceneAccessible::NotifyNameChanged(pbxMain, TScene::kRegionCount);
}

void TFormGame::OpenWordList() {
    if (words_)
        ShowModal(*words_);
}

void TFormGame::tmrAnimTimer() {
    if (!scene_)
        return;
    lblVersion.setVisible(plat::CapsLockOn());
    const TScene::TickResult r = scene_->Tick(plat::GetTickCount(), WindowActive());
    if (r.creditChanged)
        BG.update(CreditStrip());
    if (r.repaint)
        pbxMainPaint();
}

void TFormGame::PreviousInstanceMessage() {
    QWidget* target = QApplication::activeModalWidget();
    if (!target)
        target = this;
    target->raise();
    target->activateWindow();
}
