// TFormBook: the storybook window's wiring and painting. Its rules live in
// Qt-free classes: the layout (TBook), the spreads (TBookSpread), the places
// of the controls (TBookGeometry), the print plan (TPrintPlan), the tales
// (TTaleTable), the cover line (TCoverLine) and the story text rules
// (StoryText.h). The form's construction is in FormBookBuild.cpp.
#include "book/forms/FormBook.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <stdexcept>

#include "book/BookPieces.h"
#include "book/BookSpread.h"
#include "book/StoryText.h"
#include "book/qt/QtBookPieces.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/Files.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtDrawTarget.h"
#include "story/CoverLine.h"
#include "story/Generate.h"
#include "story/TaleTable.h"
#include "ui/Cursors.h"
#include "ui/DrawOpaque.h"
#include "ui/FormPalette.h"
#include "ui/ImageStore.h"
#include "ui/RunHandler.h"
#include "ui/TileBG.h"

namespace {

QRect ToQRect(const TBookBox& b) {
    return QRect(b.left, b.top, b.width, b.height);
}

} // namespace

// ---------------------------------------------------------------------------
// Operations

std::string TFormBook::TaleName(int n) {
    return TTaleTable::ShortName(n);
}

std::string TFormBook::SavedStoryFileName() const {
    return TTaleTable::SavedStoryFileName(TaleNumber);
}

std::string TFormBook::SavedStoryPath() const {
    return StoriesFolder + SavedStoryFileName();
}

bool TFormBook::SavedStoryExists() const {
    return TTaleTable::IsTale(TaleNumber) && plat::FileExists(SavedStoryPath());
}

void TFormBook::SetStory(const std::string& text) {
    StopReading();
    story_ = ResolveStoryLineEnds(text);
    twists_.Take(generator_, text);
    storyTwistLevel_ = twistLevel_;
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
    plat::QtCanvas canvas(painter, letters_.Family(), letters_.Points());
    const TBookBox page = TBookGeometry::LeftPage(width(), height());
    pagePoints_ = letters_.FitPoints(canvas, page.width - 2 * book_.MarginX);
    if (story_.empty()) {
        book_.Clear();
        return;
    }
    book_.Paginate(&canvas, TRect{0, 0, page.width, page.height}, story_.c_str());
}

void TFormBook::ReleaseTalePicture() {
    talePicture_.Reset();
    book_.Picture = nullptr;
}

void TFormBook::LoadTalePicture() {
    ReleaseTalePicture();
    if (!library_)
        return;
    const std::string name = TTaleTable::ShortName(TaleNumber);
    talePicture_ = TLibraryImage(*library_, name, TLibraryImage::SurfaceNeed::Optional);
    book_.Picture = talePicture_.Surface();
    book_.PictureRect = TRect{0, twistLevel_ * 150, 150, twistLevel_ * 150 + 150};
}

void TFormBook::PaintPage(QPainter& c, const QRegion& damage, const QImage& layer) const {
    // The page's picture may hold more pixels than the page has (its text
    // drawn at the screen's pixel ratio).
    const qreal ratio = layer.devicePixelRatio();
    for (const QRect& r : damage) {
        if (layer.isNull())
            c.fillRect(r, Qt::white);
        else
            DrawOpaque(c, QRectF(r), layer,
                       QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
    }
}

QImage TFormBook::PagePicture(const QWidget& area, const QImage& layer) const {
    QImage picture(area.size(), QImage::Format_RGB32);
    QPainter c(&picture);
    PaintPage(c, QRegion(picture.rect()), layer);
    return picture;
}

void TFormBook::DrawPageInto(QImage& image, TImageStore& store, const TBookBox& box, int page) {
    // The page's picture: the book behind the page as it is now (arrows
    // included), then what the page draws over it, in the format Qt blends
    // fastest and in memory kept across resize steps. The text is drawn at
    // the screen's pixel ratio, the pictures in whole pixels scaled to it,
    // both from the layout in page pixels.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels(qRound(box.width * ratio), qRound(box.height * ratio));
    if (image.size() != pixels || image.devicePixelRatio() != ratio)
        image = store.Image(pixels, QImage::Format_ARGB32_Premultiplied, ratio);
    QPainter painter(&image);
    PaintBookBehind(painter, QRect(box.left, box.top, box.width, box.height));
    if (page < 0 || (page > 0 && story_.empty()))
        return;
    plat::QtCanvas canvas(painter, PageFamily(page), PageSize(page));
    const plat::LogPalette* previous = nullptr;
    const plat::LogPalette* palette =
        library_ && library_->IsOpen() ? library_->GetHPal() : nullptr;
    if (palette)
        previous = canvas.Target()->SelectPalette(palette);
    if (page > 0)
        DrawTwists(canvas, &image == &leftImage_, box.width, page);
    if (page > 0 && reader_)
        reader_->DrawHighlight(book_, canvas, box.width, page, story_.c_str());
    book_.DrawPage(&canvas, box.width, story_.c_str(), page, box.height);
    if (palette)
        canvas.Target()->SelectPalette(previous);
}

QRegion TFormBook::PageInteriors() const {
    QRegion interiors;
    for (const TBookBox& b :
         {TBookGeometry::LeftPage(width(), height()), TBookGeometry::RightPage(width(), height())})
        interiors += QRect(b.left, b.top, b.width,
                           std::max(0, TBookPieces::BackArrowPos(height()).Y - b.top));
    return interiors;
}

void TFormBook::PaintBookBehind(QPainter& painter, const QRect& area) const {
    const QRect local(QPoint(0, 0), area.size());
    if (bookSheet_.isNull()) {
        painter.fillRect(local, Qt::white);
        return;
    }
    painter.save();
    painter.translate(-area.topLeft());
    painter.setCompositionMode(QPainter::CompositionMode_Source); // the book is opaque
    QtBookPieces::Paint(painter, bookSheet_, width(), height(), cmdPrevPage.isEnabled(),
                        cmdNextPage.isEnabled(), area);
    painter.restore();
}

QImage TFormBook::BookPicture() const {
    QImage picture = bookImage_.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    QPainter painter(&picture);
    for (const QRect& r : PageInteriors()) {
        painter.save();
        painter.translate(r.topLeft());
        PaintBookBehind(painter, r);
        painter.restore();
    }
    return picture;
}

void TFormBook::RenderPages() {
    const TBookBox left = TBookGeometry::LeftPage(width(), height());
    const TBookBox right = TBookGeometry::RightPage(width(), height());
    DrawPageInto(leftImage_, leftStore_, left, currentPage_);
    ++leftDraws_;
    DrawPageInto(rightImage_, rightStore_, right, currentPage_ == 0 ? -1 : currentPage_ + 1);
    pbxLeftPage.update();
    pbxRightPage.update();
    AnnouncePages();
}

void TFormBook::ShowPages(int n) {
    currentPage_ = n;
    // The page pictures carry the book behind them, arrows included: the
    // arrows take their new state first.
    UpdateControls();
    RenderPages();
}

TBookSpread::Controls TFormBook::SpreadControls() const {
    TBookSpread::Input in;
    in.currentPage = currentPage_;
    in.pageCount = book_.PageCount();
    in.hasHero = hasHero_;
    in.hasHeroine = hasHeroine_;
    in.savedStoryExists = SavedStoryExists();
    in.canReadAloud = reader_ && readToMePicture_.Surface() && reader_->Available(waveManager_);
    return TBookSpread::Compute(in);
}

void TFormBook::UpdateControls() {
    const TBookSpread::Controls c = SpreadControls();
    cmdPrevPage.setEnabled(c.canTurnBack);
    cmdNextPage.setEnabled(c.canTurnForward);
    DrawPageArrows(true);
    pbxLeftPage.setCursor(c.canTurnBack ? ScreenCursor(kCursorArrowLeft) : QCursor());
    pbxRightPage.setCursor(c.canTurnForward ? ScreenCursor(kCursorArrowRight) : QCursor());
    cmdReadSaved.setVisible(c.readSaved);
    pnlHero.setVisible(c.hero);
    pnlHeroine.setVisible(c.heroine);
    pnlTwist.setVisible(c.twistAndNewStory);
    pnlLetters.setVisible(c.twistAndNewStory);
    cmdNewStory.setVisible(c.twistAndNewStory);
    pnlCommands.setVisible(c.commands);
    // A control that went (such as "Create story" just clicked) must not keep
    // the keyboard: Space or Enter would still press it.
    if (QWidget* focused = focusWidget(); focused && !focused->isVisibleTo(this))
        setFocus();
    UpdateTurnPageHint(currentPage_ + 1);
    UpdateReadToMe();
    UpdateShowTwists();
}

void TFormBook::UpdateTurnPageHint(int r) {
    const bool show = TBookSpread::TurnPageHint(book_, r);
    lblTurnPage.setVisible(show);
    if (show)
        lblTurnPage.raise();
}

void TFormBook::DrawPageArrows(bool realize) {
    if (!library_ || !library_->IsOpen() || !library_->GetHPal() || !bookPicture_.Surface() ||
        bookImage_.isNull())
        return;
    if (realize && RealizeFormPalette(this, library_.Get()) != 0)
        return; // the whole window is repainted
    plat::QtDrawTarget target(bookImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    const int w = bookImage_.width(), h = bookImage_.height();
    for (const TBookPieces::Piece& p : {TBookPieces::BackArrow(h, cmdPrevPage.isEnabled()),
                                        TBookPieces::ForwardArrow(w, h, cmdNextPage.isEnabled())}) {
        bookPicture_.Surface()->DisplayRect(target, p.dest, p.source);
        const QRect r(p.dest.X, p.dest.Y, 40, 25);
        update(r);
        // The page areas show the book behind them, the arrows' corners too.
        for (TPaintBox* page : {&pbxLeftPage, &pbxRightPage})
            if (const QRect part = r & page->geometry(); !part.isEmpty())
                page->update(part.translated(-page->pos()));
    }
    target.SelectPalette(previous);
}

// ---------------------------------------------------------------------------
// Showing, resizing and painting

void TFormBook::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    RunHandler(ShowError, [this] { FormShow(); });
}

void TFormBook::FormShow() {
    RealizeFormPalette(this, library_.Get());
    LoadTalePicture();
    TCoverLine cover = TCoverLine::Parse(generator_.GetCoverLine(TaleNumber));
    hasHero_ = cover.hasHero;
    hasHeroine_ = cover.hasHeroine;
    book_.CoverText = std::move(cover.text);
    {
        const QSignalBlocker b1(txtHero), b2(txtHeroine);
        txtHero.setText(ToQString(generator_.HeroName));
        txtHeroine.setText(ToQString(generator_.HeroineName));
    }
    if (!laidOut_)
        FormResize();
    PlaceControls();
    ShowPages(0);
    activateWindow();
}

// The cover spread's controls, placed upward from the foot of the right page;
// the command panel centred on it.
void TFormBook::PlaceControls() {
    const TBookBox right = TBookGeometry::RightPage(width(), height());
    pnlCommands.move(pnlCommands.x(), right.top + (right.height - pnlCommands.height()) / 2);
    const bool readSaved = SavedStoryExists();
    TBookGeometry::CoverControls top;
    const int lettersTop = TBookGeometry::StackCoverWithLetters(
        right,
        {cmdReadSaved.height(), cmdNewStory.height(), pnlHero.height(), pnlHeroine.height(),
         pnlTwist.height()},
        pnlLetters.height(), readSaved, hasHero_, hasHeroine_, top);
    pnlLetters.move(pnlLetters.x(), lettersTop);
    if (readSaved)
        cmdReadSaved.move(cmdReadSaved.x(), top.readSaved);
    cmdNewStory.move(cmdNewStory.x(), top.newStory);
    if (hasHero_)
        pnlHero.move(pnlHero.x(), top.hero);
    if (hasHeroine_)
        pnlHeroine.move(pnlHeroine.x(), top.heroine);
    pnlTwist.move(pnlTwist.x(), top.twist);
}

void TFormBook::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void TFormBook::FormResize() {
    laidOut_ = true;
    const int w = width(), h = height();
    const TBookGeometry::Step s = geometry_.Resize(w, h);
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    const TPoint readToMe = TBookPieces::ReadToMePos(w, h);
    pbxReadToMe.move(readToMe.X, readToMe.Y);
    pbxShowTwists.move(readToMe.X - kShowTwistsGap - kShowTwistsWidth,
                       readToMe.Y + kReadToMeHeight - kShowTwistsHeight);
    const TPoint readPace = TReadingPace::ControlPos(w, h);
    pbxReadPace.move(readPace.X, readPace.Y);
    cmdCloseBook.move(cmdCloseBook.x() + s.dx, cmdCloseBook.y());
    pbxClose.move(pbxClose.x() + s.dx, pbxClose.y());
    pbxLeftPage.setGeometry(ToQRect(s.leftPage));
    pbxRightPage.setGeometry(ToQRect(s.rightPage));
    const TBookBox& rp = s.rightPage;
    for (QWidget* c : {static_cast<QWidget*>(&pnlHero), static_cast<QWidget*>(&pnlHeroine),
                       static_cast<QWidget*>(&pnlTwist), static_cast<QWidget*>(&cmdNewStory),
                       static_cast<QWidget*>(&pnlLetters)})
        c->move(TBookGeometry::CentredLeft(rp, c->width()), c->y() + s.dy);
    cmdReadSaved.move(cmdNewStory.x(), cmdReadSaved.y() + s.dy);
    pnlCommands.move(TBookGeometry::CentredLeft(rp, pnlCommands.width()) - 15,
                     rp.top + (rp.height - pnlCommands.height()) / 2);
    // The panel's tiles would hide the corner of the forward arrow it reaches
    // down to: that corner is left out of the panel and of its opaque tiles.
    const TPoint arrow = TBookPieces::ForwardArrowPos(w, h);
    const QRegion panelArea =
        QRegion(pnlCommands.rect()) -
        QRegion(QRect(arrow.X, arrow.Y, 40, 25).translated(-pnlCommands.pos()));
    pnlCommands.setMask(panelArea);
    if (!tiles_.empty())
        tiles_.front()->setMask(panelArea);
    const TBookBox hint =
        TBookGeometry::TurnPageHint(rp, height(), lblTurnPage.width(), lblTurnPage.height());
    lblTurnPage.move(hint.left, hint.top);
    Layout();
    reader_->Relayout(book_); // may show the spread of the sentence being read
    FormPaint();
    if (book_.PageCount() + 1 < currentPage_)
        ShowPages(TBookSpread::CommandsSpread(book_.PageCount()));
    else {
        UpdateControls();
        RenderPages();
    }
    update();
}

void TFormBook::FormPaint() {
    if (!library_ || !library_->IsOpen() || !library_->GetHPal() || !bookPicture_.Surface())
        return;
    RealizeFormPalette(this, library_.Get());
    const int w = width(), h = height();
    if (bookImage_.size() != QSize(w, h))
        bookImage_ = bookStore_.Image(QSize(w, h), QImage::Format_ARGB32_Premultiplied);
    // "book" is opaque: its pieces are copies of the one picture of it in the
    // library's colours, made once for each palette. The pieces cover the
    // whole client area.
    const plat::LogPalette* palette = library_->GetHPal();
    if (bookSheet_.isNull() || bookSheetPalette_ != palette) {
        TRL8ImageData& book = *bookPicture_.Surface();
        bookSheet_ = QImage(book.Width, book.Height, QImage::Format_RGB32);
        plat::QtDrawTarget target(bookSheet_);
        const plat::LogPalette* previous = target.SelectPalette(palette);
        book.DisplayRect(target, TPoint{0, 0}, book.GetBounds());
        target.SelectPalette(previous);
        bookSheetPalette_ = palette;
    }
    {
        QPainter painter(&bookImage_);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : QRegion(0, 0, w, h) - PageInteriors())
            QtBookPieces::Paint(painter, bookSheet_, w, h, cmdPrevPage.isEnabled(),
                                cmdNextPage.isEnabled(), r);
    }
    DrawReadToMe();
    DrawShowTwists();
}

void TFormBook::paintEvent(QPaintEvent* event) {
    if (bookImage_.isNull())
        FormPaint();
    QPainter painter(this);
    if (bookImage_.isNull()) {
        painter.fillRect(event->rect(), Qt::white);
        return;
    }
    // Rectangle by rectangle: the page areas paint themselves.
    for (const QRect& r : event->region())
        DrawOpaque(painter, r, bookImage_, r);
}

void TFormBook::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        RealizeFormPalette(this, StartLibrary);
}

// ---------------------------------------------------------------------------
// Turning pages and the mouse

void TFormBook::cmdNextPageClick() {
    StopReading();
    if (!story_.empty())
        ShowPages(currentPage_ + 2);
}

void TFormBook::cmdPrevPageClick() {
    StopReading();
    if (!story_.empty())
        ShowPages(currentPage_ - 2);
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

void TFormBook::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    StopReading(); // closing the book
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
    const bool editing = txtHero.hasFocus() || txtHeroine.hasFocus();
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
    StopReading();
    RunHandler(
        ShowError,
        [this] {
            SetStory(JoinStoryLines(generator_.GenerateStory(TaleNumber)));
            ShowPages(1);
        },
        HandlerCursor::Wait);
}

void TFormBook::rbTwistClick(int tag) {
    twistLevel_ = tag;
    generator_.SetTwistLevel(tag * 50);
    LoadTalePicture();
    if (!book_.Picture || leftImage_.isNull() || currentPage_ != 0 || !library_)
        return;
    // Only the picture changes: the cover text and frame stay.
    QPainter painter(&leftImage_);
    plat::QtDrawTarget target(painter);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    book_.Picture->DisplayRect(target, book_.PicturePos, book_.PictureRect);
    target.SelectPalette(previous);
    pbxLeftPage.update(book_.PicturePos.X, book_.PicturePos.Y, 150, 150);
}

void TFormBook::txtHeroChange() {
    generator_.HeroName = FromQString(txtHero.text());
}

void TFormBook::txtHeroineChange() {
    generator_.HeroineName = FromQString(txtHeroine.text());
}
