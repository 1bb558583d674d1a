// TFormBook: the storybook window's story, spreads, cover and wiring. Its
// rules live in Qt-free classes: the layout (TBook), the spreads
// (TBookSpread), the places of the controls (TBookGeometry), the tales
// (TTaleTable), the cover line (TCoverLine) and the story text rules
// (StoryText.h). The form's construction is in FormBookBuild.cpp.
#include "book/forms/FormBook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "book/BookPieces.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "book/qt/QtBookBox.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
#include "scene/SceneLayout.h"
#include "shelf/StoryShelf.h"
#include "shelf/forms/FormShelf.h"
#include "story/CoverLine.h"
#include "story/Generate.h"
#include "story/StoryText.h"
#include "story/TaleTable.h"
#include "ui/Cursors.h"
#include "ui/FormPalette.h"
#include "ui/RunHandler.h"

// The cover's words stand at their normal size on the first size's page.
static_assert(TBookGeometry::LeftPage(TFormBook::kClientWidth, TFormBook::kClientHeight).width ==
              TBook::kCoverWidth);

namespace {

constexpr const char* kLettersNotShown =
    "Some letters of this story cannot be shown in the book, so they stand as \"?\"; saving "
    "it keeps the file as it was beside it.";

} // namespace

// ---------------------------------------------------------------------------
// The story and the spreads

std::string TFormBook::SavedStoryFileName() const {
    return TTaleTable::SavedStoryFileName(TaleNumber);
}

std::string TFormBook::SavedStoryPath() const {
    return StoriesFolder + SavedStoryFileName();
}

bool TFormBook::SavedStoryExists() const {
    return TTaleTable::IsTale(TaleNumber) &&
           plat::FileExists(SavedStoryPath(), plat::Lookup::Exact);
}

TReadAloud& TFormBook::Reader() {
    return reading_->Reader();
}

void TFormBook::SetWaveManager(TWaveMan* manager) {
    reading_->SetWaveManager(manager);
    reading_->Show(SpreadControls(currentPage_).readToMe);
}

void TFormBook::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    reading_->SetSpeechSynth(std::move(synth));
    reading_->Show(SpreadControls(currentPage_).readToMe);
}

void TFormBook::SetStory(const std::string& text) {
    SetStory(text, TStoryOrigin::Told(cover_->TwistLevel()));
}

void TFormBook::SetStory(const std::string& text, const TStoryOrigin& origin) {
    reading_->Stop();
    story_ = ResolveStoryLineEnds(text);
    origin_ = origin;
    if (origin.kind == TStoryOrigin::Kind::Told)
        twists_->Take(text);
    else
        twists_->TakeReadBack();
    if (story_.empty()) {
        book_.Clear();
        currentPage_ = 0;
        return;
    }
    Layout();
}

void TFormBook::Layout() {
    QImage scratch = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&scratch);
    const TBookLetters& letters = letters_->Letters();
    plat::QtCanvas canvas(painter, letters.Family(), letters.Points());
    const TBookBox page = TBookGeometry::LeftPage(width(), height());
    letters_->Fit(canvas, page.width - 2 * book_.MarginX);
    painter_->SetStoryLetters(letters.Family(), letters_->PagePoints());
    QFont font(letters.Family());
    font.setPixelSize(letters.Points() * 4 / 3);
    pbxLeftPage.setFont(font);
    pbxRightPage.setFont(font);
    if (story_.empty()) {
        book_.Clear();
        return;
    }
    book_.Paginate(&canvas, TRect{0, 0, page.width, page.height}, story_.c_str());
}

void TFormBook::GrowForLetters() {
    const TBookLetters& letters = letters_->Letters();
    if (!letters.big || isMaximized() || isFullScreen() || !ScreenArea)
        return;
    QRect area = ScreenArea();
    if (area.isEmpty())
        return;
    QImage scratch = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, letters.Family(), letters.Points());
    const TBookBox need =
        TBookGeometry::ClientForLine(letters.LineNeeded(canvas), kClientWidth, kClientHeight);
    // The area the client may take: the screen's less the window's frame.
    const QRect frame = frameGeometry(), client = geometry();
    area.adjust(client.left() - frame.left(), client.top() - frame.top(),
                -(frame.right() - client.right()), -(frame.bottom() - client.bottom()));
    const TBookBox now{client.x(), client.y(), client.width(), client.height()};
    const TBookBox grown = TBookGeometry::GrowWithin(
        now, need.width, need.height, {area.x(), area.y(), area.width(), area.height()});
    if (!(grown == now))
        setGeometry(ToQRect(grown));
}

void TFormBook::Relayout() {
    reading_->Stop();
    GrowForLetters();
    Layout();
    if (currentPage_ > 0 && book_.PageCount() + 1 < currentPage_)
        ShowPages(TBookSpread::CommandsSpread(book_.PageCount()));
    else
        ShowPages(currentPage_);
}

void TFormBook::LoadTalePicture() {
    painter_->LoadTalePicture(TTaleTable::ShortName(TaleNumber), cover_->TwistLevel());
}

void TFormBook::ShowPages(int n) {
    currentPage_ = n;
    // The page pictures carry the book behind them, arrows included: the
    // arrows take their new state first.
    UpdateControls();
    painter_->Render(currentPage_, story_.c_str());
    access_->Announce();
}

TBookSpread::Controls TFormBook::SpreadControls(int page) const {
    TBookSpread::Input in;
    in.currentPage = page;
    in.pageCount = book_.PageCount();
    in.hasHero = cover_->HasHero();
    in.hasHeroine = cover_->HasHeroine();
    in.savedStoryExists = SavedStoryExists();
    // Only the cover asks the folder.
    in.shelfHasAny = page == 0 && TStoryShelf::HasAny(StoriesFolder);
    in.canReadAloud = reading_->CanRead();
    return TBookSpread::Compute(in);
}

void TFormBook::UpdateControls() {
    const TBookSpread::Controls c = SpreadControls(currentPage_);
    cmdPrevPage.setEnabled(c.canTurnBack);
    cmdNextPage.setEnabled(c.canTurnForward);
    DrawPageArrows(true);
    pbxLeftPage.setCursor(c.canTurnBack ? ScreenCursor(kCursorArrowLeft) : QCursor());
    pbxRightPage.setCursor(c.canTurnForward ? ScreenCursor(kCursorArrowRight) : QCursor());
    cover_->cmdReadSaved.setVisible(c.readSaved);
    cover_->cmdMyStories.setVisible(c.myStories);
    cover_->pnlHero.setVisible(c.hero);
    cover_->pnlHeroine.setVisible(c.heroine);
    cover_->pnlTwist.setVisible(c.twistAndNewStory);
    letters_->pnlLetters.setVisible(c.twistAndNewStory);
    cover_->cmdNewStory.setVisible(c.twistAndNewStory);
    commands_->pnlCommands.setVisible(c.commands);
    // A control that went (such as "Create story" just clicked) must not keep
    // the keyboard: Space or Enter would still press it.
    if (QWidget* focused = focusWidget(); focused && !focused->isVisibleTo(this))
        setFocus();
    const bool hint = TBookSpread::TurnPageHint(book_, currentPage_ + 1);
    lblTurnPage.setVisible(hint);
    if (hint)
        lblTurnPage.raise();
    reading_->Show(c.readToMe);
    twists_->Show(currentPage_ >= 1 && currentPage_ <= book_.PageCount());
}

void TFormBook::DrawPageArrows(bool realize) {
    painter_->DrawArrows(cmdPrevPage.isEnabled(), cmdNextPage.isEnabled(), realize);
}

// ---------------------------------------------------------------------------
// Showing, resizing and painting

void TFormBook::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Moved to a screen of another pixel ratio, the pages are drawn again
    // for it (the window-system window is new at each showing).
    if (QWindow* window = windowHandle()) {
        disconnect(window, &QWindow::screenChanged, this, nullptr);
        connect(window, &QWindow::screenChanged, this, [this] {
            if (painter_->Picture(TPagePainter::Side::Left).devicePixelRatio() !=
                devicePixelRatioF())
                ShowPages(currentPage_);
        });
    }
    RunHandler(ShowError, [this] { FormShow(); });
}

void TFormBook::FormShow() {
    RealizeFormPalette(this, library_.Get());
    ShowCover();
    activateWindow();
    if (!readOnShow_.empty()) {
        const std::string path = std::exchange(readOnShow_, {});
        ReadStoryFile(TaleNumber, path);
    }
}

void TFormBook::ShowCover() {
    LoadTalePicture();
    TCoverLine cover = TCoverLine::Parse(generator_.GetCoverLine(TaleNumber));
    cover_->TakeTale(cover.hasHero, cover.hasHeroine);
    book_.CoverText = std::move(cover.text);
    GrowForLetters();
    if (!laidOut_)
        FormResize();
    PlaceControls();
    ShowPages(0);
    // The pages take no focus on the cover.
    if (QWidget* focused = focusWidget(); focused == &pbxLeftPage || focused == &pbxRightPage)
        setFocus();
    activateWindow();
}

void TFormBook::PlaceControls() {
    cover_->Place(TBookGeometry::RightPage(width(), height()), SavedStoryExists(),
                  SpreadControls(0).myStories);
    OrderTabs();
}

void TFormBook::OrderTabs() {
    std::vector<QWidget*> cover = {&letters_->sbClassicLetters, &letters_->sbEasyLetters,
                                   &letters_->sbBigLetters};
    for (QWidget* w : cover_->TabStops())
        cover.push_back(w);
    const auto at = [this](const QWidget* w) {
        const QPoint p = w->mapTo(this, QPoint(0, 0));
        return std::pair(p.y(), p.x());
    };
    std::stable_sort(cover.begin(), cover.end(),
                     [&](const QWidget* a, const QWidget* b) { return at(a) < at(b); });
    // A story spread: its pages (the twist words), the commands on the right
    // page, then the controls at the foot, left to right.
    std::vector<QWidget*> chain = cover;
    for (QWidget* w : std::initializer_list<QWidget*>{
             &pbxLeftPage, &pbxRightPage, &commands_->cmdPrint, &commands_->cmdSave,
             &commands_->cmdCopy, &commands_->cmdPictureBook, &commands_->cmdTalkingBook,
             &twists_->pbxShowTwists, &reading_->pbxReadToMe, &reading_->pbxReadPace})
        chain.push_back(w);
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TFormBook::FocusStory() {
    if (reading_->pbxReadToMe.isVisibleTo(this) && reading_->pbxReadToMe.isEnabled())
        reading_->pbxReadToMe.setFocus(Qt::OtherFocusReason);
    else
        pbxRightPage.setFocus(Qt::OtherFocusReason);
}

void TFormBook::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormBook::FormResize() {
    laidOut_ = true;
    const int w = width(), h = height();
    const TBookGeometry::Step s = geometry_.Resize(w, h);
    cover_->SetScale(TSceneLayout::WindowScale(w, h));
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    reading_->Place(w, h);
    twists_->Place(w, h);
    pbxClose.move(pbxClose.x() + s.dx, pbxClose.y());
    pbxLeftPage.setGeometry(ToQRect(s.leftPage));
    pbxRightPage.setGeometry(ToQRect(s.rightPage));
    const TBookBox& rp = s.rightPage;
    PlaceControls();
    commands_->Place(rp, w, h);
    const TBookBox hint =
        TBookGeometry::TurnPageHint(rp, height(), lblTurnPage.width(), lblTurnPage.height());
    lblTurnPage.move(hint.left, hint.top);
    Layout();
    reading_->Relayout(); // may show the spread of the sentence being read
    painter_->ComposeBook();
    reading_->Draw();
    twists_->Draw();
    if (book_.PageCount() + 1 < currentPage_)
        ShowPages(TBookSpread::CommandsSpread(book_.PageCount()));
    else
        ShowPages(currentPage_);
    update();
}

void TFormBook::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter_->PaintWindow(painter, event->region());
}

void TFormBook::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RealizeFormPalette(this, StartLibrary);
}

// ---------------------------------------------------------------------------
// Turning pages, the mouse and the keys

void TFormBook::cmdNextPageClick() {
    if (story_.empty())
        reading_->Stop();
    else
        reading_->Turn(currentPage_ + 2);
}

void TFormBook::cmdPrevPageClick() {
    if (story_.empty())
        reading_->Stop();
    else
        reading_->Turn(currentPage_ - 2);
}

void TFormBook::pbxLeftPageClick() {
    if (cmdPrevPage.isEnabled())
        cmdPrevPageClick();
}

void TFormBook::pbxRightPageClick() {
    if (cmdNextPage.isEnabled())
        cmdNextPageClick();
}

void TFormBook::FormMouseMove(QPoint pos) {
    switch (TBookSpread::SurfaceSide(pos.x(), pos.y(), width(), height())) {
    case TBookSpread::Side::Left:
        surfaceCursor_ = pbxLeftPage.cursor();
        break;
    case TBookSpread::Side::Right:
        surfaceCursor_ = pbxRightPage.cursor();
        break;
    case TBookSpread::Side::None:
        surfaceCursor_ = QCursor();
        break;
    }
    setCursor(surfaceCursor_);
}

void TFormBook::FormClick() {
    const auto same = [](const QCursor& a, const QCursor& b) {
        return a.shape() == b.shape() &&
               (a.shape() != Qt::BitmapCursor || a.pixmap().cacheKey() == b.pixmap().cacheKey());
    };
    // The default cursor turns nothing.
    if (surfaceCursor_.shape() == Qt::ArrowCursor)
        return;
    if (same(surfaceCursor_, pbxLeftPage.cursor()) && cmdPrevPage.isEnabled())
        pbxLeftPageClick();
    else if (same(surfaceCursor_, pbxRightPage.cursor()))
        pbxRightPageClick();
}

void TFormBook::mouseMoveEvent(QMouseEvent* event) {
    FormMouseMove(event->position().toPoint());
}

void TFormBook::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        FormMouseMove(event->position().toPoint());
        FormClick();
    }
}

void TFormBook::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible && isWindow() && testAttribute(Qt::WA_WState_Created))
        destroy();
}

void TFormBook::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    reading_->Stop(); // closing the book
}

bool TFormBook::eventFilter(QObject* watched, QEvent* event) {
    // A focused push button would take the arrow keys to move the focus; where
    // the book can turn that way, the keys turn the page instead.
    if (event->type() == QEvent::KeyPress && watched != this &&
        qobject_cast<QPushButton*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Left && cmdPrevPage.isEnabled()) ||
            (key == Qt::Key_Right && cmdNextPage.isEnabled()))
            return TurnByKey(key);
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormBook::TurnByKey(int key) {
    // Typing in a name box keeps its own arrow keys.
    const bool editing = cover_->txtHero.hasFocus() || cover_->txtHeroine.hasFocus();
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        if (editing && key == Qt::Key_Left)
            return false;
        pbxLeftPageClick();
        return true;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        if (editing && key == Qt::Key_Right)
            return false;
        pbxRightPageClick();
        return true;
    default:
        return false;
    }
}

void TFormBook::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (!TurnByKey(event->key()))
        QDialog::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// The cover's controls

void TFormBook::cmdNewStoryClick() {
    reading_->Stop();
    RunHandler(
        ShowError,
        [this] {
            SetStory(JoinStoryLines(generator_.GenerateStory(TaleNumber)));
            ShowPages(1);
            FocusStory();
        },
        HandlerCursor::Wait);
}

void TFormBook::cmdReadSavedClick() {
    ReadStoryFile(TaleNumber, SavedStoryPath());
}

TReadingPace::Pace TFormBook::ReadingPace() const {
    return reading_->ReadingPace();
}

void TFormBook::StorySaved(const std::string& path, const std::string& bytes) {
    origin_.file = {path, bytes, true};
}

void TFormBook::ReadStoryFile(int tale, const std::string& path) {
    reading_->Stop();
    std::string bytes;
    if (!plat::ReadWholeFile(path, bytes, plat::Lookup::Exact))
        throw std::runtime_error("Read: cannot read " + plat::PathText(path));
    if (tale != TaleNumber && TTaleTable::IsTale(tale)) {
        TaleNumber = tale;
        ShowCover();
    }
    bool whole = true;
    const std::string text = ReadSavedStoryText(bytes, &whole);
    SetStory(text, TStoryOrigin::FromFile(path, std::move(bytes), whole));
    ShowPages(1);
    FocusStory();
    if (!whole)
        plat::ShowMessage(plat::MsgKind::Information, kLettersNotShown);
}

void TFormBook::cmdMyStoriesClick() {
    reading_->Stop();
    if (!library_)
        throw std::runtime_error("My stories: the game's pictures have gone");
    const std::optional<TFormShelf::Choice> chosen = TFormShelf::Pick(
        StoriesFolder, TaleNumber, *library_, this, ShowError, commands_->OpenDocument, ExecShelf);
    if (chosen)
        ReadStoryFile(chosen->tale, chosen->path);
    else if (currentPage_ == 0) // stories may have gone to the bin
        ShowCover();
}
