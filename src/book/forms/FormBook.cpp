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
#include "book/forms/KeepsakesPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/PageTurnPart.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/RecordVoicePart.h"
#include "book/forms/TwistsPart.h"
#include "book/qt/QtBookBox.h"
#include "keepsake/TalkingBookReader.h"
#include "platform/AudioInput.h"
#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Mp3Decoder.h"
#include "platform/TextCodec.h"
#include "platform/ZipReader.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
#include "reading/BookVoice.h"
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

// The shelf's name for a talking book: "<Tale> <date>.epub".
bool IsTalkingBookFile(const std::string& path) {
    const std::optional<TStoryShelf::Shelved> shelved =
        TStoryShelf::Classify(path.substr(plat::ExtractFilePath(path).size()));
    return shelved && shelved->kind == TStoryShelf::Kind::TalkingBook;
}

} // namespace

// ---------------------------------------------------------------------------
// The story and the spreads

std::string TFormBook::SavedStoryPath() const {
    return StoriesFolder + TTaleTable::SavedStoryFileName(TaleNumber);
}

TReadAloud& TFormBook::Reader() {
    return reading_->Reader();
}

void TFormBook::SetWaveManager(TWaveMan* manager) {
    recordVoice_->SetWaveManager(manager);
    reading_->SetWaveManager(manager);
    reading_->Show(SpreadControls(currentPage_));
}

void TFormBook::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    recordVoice_->SetSpeechSynth(std::move(synth)); // lends it to the reader
    reading_->Show(SpreadControls(currentPage_));
    recordVoice_->Show(SpreadControls(currentPage_));
}

void TFormBook::SetMicrophone(std::unique_ptr<plat::AudioInput> microphone) {
    recordVoice_->SetMicrophone(std::move(microphone));
    recordVoice_->Show(SpreadControls(currentPage_));
}

void TFormBook::SetStory(const std::string& text) {
    // The typed names go with the generator's own story only.
    const bool generators = text == JoinStoryLines(generator_.StoryLines());
    SetStory(text, TStoryOrigin::Told(cover_->TwistLevel(),
                                      generators ? generator_.StoryHero() : std::string(),
                                      generators ? generator_.StoryHeroine() : std::string()));
}

void TFormBook::SetStory(const std::string& text, const TStoryOrigin& origin) {
    reading_->Stop();
    if (origin.kind != TStoryOrigin::Kind::TalkingBook)
        reading_->UseBookVoice(nullptr); // the game's own voice again
    story_ = ResolveStoryLineEnds(text);
    origin_ = origin;
    recordVoice_->StoryChanged(); // the recorded voice of a saved story
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
    const int scale = painter_->Foot().Scale();
    const TBookBox page = TBookGeometry::LeftPage(width(), height(), scale);
    book_.LineInset = letters_->Fit(canvas, page.width - 2 * book_.MarginX, scale).inset;
    painter_->SetStoryLetters(letters.Family(), letters_->PagePoints());
    QFont font(letters.Family());
    font.setPixelSize(letters.Points() * 4 / 3);
    for (const TPagePainter::Side side : {TPagePainter::Side::Left, TPagePainter::Side::Right})
        painter_->Area(side).setFont(font);
    if (story_.empty()) {
        book_.Clear();
        return;
    }
    book_.Paginate(&canvas, TRect{0, 0, page.width, page.height}, story_.c_str());
}

void TFormBook::Relayout() {
    reading_->Stop();
    letters_->GrowWindow();
    Layout();
    if (currentPage_ > 0 && book_.PageCount() + 1 < currentPage_)
        ShowPages(TBookSpread::CommandsSpread(book_.PageCount()));
    else
        ShowPages(currentPage_);
}

void TFormBook::ShowPages(int n) {
    ShowSpread(n, false);
}

void TFormBook::ShowSpread(int n, bool focusStory) {
    currentPage_ = n;
    // The page pictures carry the book behind them, arrows included: the
    // arrows take their new state first.
    const TBookSpread::Controls c = SpreadControls(currentPage_);
    const TPagePainter::Batch batch(*painter_); // the focus may move: drawn once below
    turner_->Show(c, TBookSpread::TurnPageHint(book_, currentPage_ + 1));
    cover_->Show(c);
    letters_->Show(c);
    commands_->Show(c);
    // A control that went (such as "Create story" just clicked) must not keep
    // the keyboard: Space or Enter would still press it.
    if (QWidget* focused = focusWidget(); focused && !focused->isVisibleTo(this))
        setFocus();
    reading_->Show(c);
    twists_->Show(c);
    recordVoice_->Show(c);
    // Nor a page that is no stop now (the commands spread's blank page):
    // its ring would frame nothing.
    if (QWidget* focused = focusWidget(); focused && focused->focusPolicy() == Qt::NoFocus &&
                                          (focused == &painter_->Area(TPagePainter::Side::Left) ||
                                           focused == &painter_->Area(TPagePainter::Side::Right)))
        setFocus();
    // The focus to a story just shown, before its pages are drawn with its
    // ring: "Read to me" where it can be pressed, else the right page.
    if (focusStory && !reading_->TakeFocus())
        painter_->Area(TPagePainter::Side::Right).setFocus(Qt::OtherFocusReason);
    painter_->Render(currentPage_, story_.c_str());
    access_->Announce();
}

TBookSpread::Controls TFormBook::SpreadControls(int page) const {
    TBookSpread::Input in;
    in.currentPage = page;
    in.pageCount = book_.PageCount();
    in.hasHero = cover_->HasHero();
    in.hasHeroine = cover_->HasHeroine();
    in.savedStoryExists =
        TTaleTable::IsTale(TaleNumber) && plat::FileExists(SavedStoryPath(), plat::Lookup::Exact);
    // Only the cover asks the folder.
    in.shelfHasAny = page == 0 && TStoryShelf::HasAny(StoriesFolder);
    in.canReadAloud = reading_->CanRead();
    return TBookSpread::Compute(in);
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
    painter_->LoadTalePicture(TTaleTable::ShortName(TaleNumber), cover_->TwistLevel());
    TCoverLine cover = TCoverLine::Parse(generator_.GetCoverLine(TaleNumber));
    cover_->TakeTale(cover.hasHero, cover.hasHeroine);
    book_.CoverText = std::move(cover.text);
    letters_->GrowWindow();
    if (!laidOut_)
        FormResize();
    cover_->Place(TBookGeometry::RightPage(width(), height(), painter_->Foot().Scale()),
                  SpreadControls(0));
    OrderTabs();
    ShowPages(0);
    // The pages take no focus on the cover.
    if (QWidget* focused = focusWidget();
        focused && (focused == &painter_->Area(TPagePainter::Side::Left) ||
                    focused == &painter_->Area(TPagePainter::Side::Right)))
        setFocus();
    activateWindow();
}

void TFormBook::OrderTabs() {
    std::vector<QWidget*> cover = letters_->TabStops();
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
    const std::vector<QWidget*> twists = twists_->TabStops(); // the pages, then the button
    chain.insert(chain.end(), twists.begin(), twists.end() - 1);
    const std::vector<QWidget*> record = recordVoice_->TabStops(); // the button, then record mode
    for (const std::vector<QWidget*>& stops :
         {commands_->TabStops(), keepsakes_->TabStops(), std::vector<QWidget*>{record.front()},
          std::vector<QWidget*>{twists.back()}, reading_->TabStops(),
          std::vector<QWidget*>(record.begin() + 1, record.end())})
        chain.insert(chain.end(), stops.begin(), stops.end());
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void TFormBook::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormBook::FormResize() {
    laidOut_ = true;
    const int w = width(), h = height();
    const int scale = TSceneLayout::WindowScale(w, h);
    painter_->SetScale(scale);
    const TBookGeometry::Step s = turner_->Place(w, h);
    cover_->SetScale(scale);
    commands_->SetScale(scale);
    reading_->Place();
    twists_->Place();
    recordVoice_->Place();
    painter_->Area(TPagePainter::Side::Left).setGeometry(ToQRect(s.leftPage));
    painter_->Area(TPagePainter::Side::Right).setGeometry(ToQRect(s.rightPage));
    cover_->Place(s.rightPage, SpreadControls(0));
    OrderTabs();
    commands_->Place(s.rightPage, w, h);
    Layout();
    reading_->Relayout();     // may show the spread of the sentence being read
    recordVoice_->Relayout(); // and so may record mode's
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

void TFormBook::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible && isWindow() && testAttribute(Qt::WA_WState_Created))
        destroy();
}

void TFormBook::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    reading_->Stop();          // closing the book
    if (!event->spontaneous()) // closed, not minimized
        keepsakes_->CancelTalkingBook();
}

// ---------------------------------------------------------------------------
// The cover's controls

void TFormBook::cmdNewStoryClick() {
    reading_->Stop();
    RunHandler(
        ShowError,
        [this] {
            SetStory(JoinStoryLines(generator_.GenerateStory(TaleNumber)));
            ShowSpread(1, true);
        },
        HandlerCursor::Wait);
}

void TFormBook::cmdReadSavedClick() {
    ReadStoryFile(TaleNumber, SavedStoryPath());
}

TReadingPace::Pace TFormBook::ReadingPace() const {
    return reading_->ReadingPace();
}

int TFormBook::PageWidth() const {
    return painter_->Area(TPagePainter::Side::Left).width();
}

void TFormBook::StorySaved(const std::string& path, const std::string& bytes) {
    origin_.file = {path, bytes, true};
    recordVoice_->StoryChanged();
    recordVoice_->Show(SpreadControls(currentPage_));
}

void TFormBook::ReadTalkingBook(int tale, const std::string& path) {
    reading_->Stop();
    const std::string name = plat::PathText(path.substr(plat::ExtractFilePath(path).size()));
    const std::unique_ptr<plat::FileStream> file =
        plat::FileStream::Open(path, plat::Lookup::Exact);
    if (!file)
        throw std::runtime_error("Read: cannot read " + plat::PathText(path));
    TTalkingBookReader::Book book;
    try {
        std::string why;
        const std::unique_ptr<plat::ZipReader> archive = plat::OpenZipReader(*file, why);
        if (!archive)
            throw TTalkingBookReader::Refused(why);
        book = TTalkingBookReader::Read(*archive, plat::CreateMp3Decoder().get());
    } catch (const std::exception& e) {
        throw std::runtime_error("Read: \"" + name +
                                 "\" is not a talking book the game can play: " + e.what());
    }
    if (tale != TaleNumber && TTaleTable::IsTale(tale)) {
        TaleNumber = tale;
        ShowCover();
    }
    SetStory(book.Story, TStoryOrigin::FromTalkingBook());
    reading_->UseBookVoice(
        std::make_unique<TBookVoice>(std::move(book.Sentences), std::move(book.Track)));
    ShowSpread(1, true);
}

void TFormBook::ReadStoryFile(int tale, const std::string& path) {
    if (IsTalkingBookFile(path)) {
        ReadTalkingBook(tale, path);
        return;
    }
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
    ShowSpread(1, true);
    if (!whole)
        plat::ShowMessage(plat::MsgKind::Information, kLettersNotShown);
}

void TFormBook::cmdMyStoriesClick() {
    reading_->Stop();
    if (!library_)
        throw std::runtime_error("My stories: the game's pictures have gone");
    const std::optional<TFormShelf::Choice> chosen = TFormShelf::Pick(
        StoriesFolder, TaleNumber, *library_, this, ShowError, keepsakes_->OpenDocument, ExecShelf);
    if (chosen)
        ReadStoryFile(chosen->tale, chosen->path);
    else if (currentPage_ == 0) // stories may have gone to the bin
        ShowCover();
}
