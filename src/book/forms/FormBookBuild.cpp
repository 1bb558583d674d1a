// TFormBook's construction: the window itself, its parts and how they meet,
// the window's setting; and its destruction.
#include "book/forms/FormBook.h"

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include "book/BookPieces.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FocusFrame.h"
#include "book/forms/KeepsakesPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/PageTurnPart.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/RecordVoicePart.h"
#include "book/forms/TwistsPart.h"
#include "data/InitGame.h"
#include "platform/MessageBox.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/LocalPath.h"
#include "platform/qt/QtFonts.h"
#include "shelf/forms/FormShelf.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/Cursors.h"
#include "ui/RunHandler.h"

namespace {

QFont ArialPx(int px) {
    QFont f("Arial");
    f.setPixelSize(px);
    return f;
}

} // namespace

TFormBook::TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent)
    : QDialog(parent), generator_(generator), settings_(SettingsFileName, "Book") {
    TBookAccess::InstallInterfaces();
    // Before the parts: the cover's controls are scaled from the fonts they
    // take from the window.
    setFont(ArialPx(12));
    plat::InstallFontSubstitutes();
    BuildForm();
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    StoriesFolder =
        PathFromQString(
            QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath("Fablewhirl Stories")) +
        "/";
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    ExecShelf = [](TFormShelf& shelf) { shelf.exec(); };

    // The parts, in the order their widgets stack; each registers its
    // painted controls for screen readers as it makes them.
    focusFrame_ = std::make_unique<TFocusFrame>(*this);
    painter_ = std::make_unique<TPagePainter>(*this, book_, library_, library);
    access_ = std::make_unique<TBookAccess>(*this, painter_->Area(TPagePainter::Side::Left),
                                            painter_->Area(TPagePainter::Side::Right));
    turner_ = std::make_unique<TPageTurnPart>(*this, *this, [this](int leftPage) {
        if (story_.empty())
            reading_->Stop();
        else
            reading_->Turn(leftPage);
    });
    letters_ = std::make_unique<TLettersPart>(*this, *this);
    cover_ = std::make_unique<TCoverPart>(*this, *this, generator_, library, letters_->Panel());
    commands_ = std::make_unique<TCommandsPart>(*this, *this, library);
    keepsakes_ = std::make_unique<TKeepsakesPart>(*this, *commands_);
    twists_ = std::make_unique<TTwistsPart>(*this, *this, generator_);
    reading_ = std::make_unique<TReadToMePart>(*this, *this, library);
    recordVoice_ = std::make_unique<TRecordVoicePart>(*this, *this, *reading_);

    // How the parts meet: the painter draws the twists' tint, then the
    // read-aloud highlight, under the text; a click on a twist word swaps it
    // rather than turning the page; screen readers follow the twist word
    // with the focus.
    painter_->SetLayer(TPagePainter::Layer::TwistTint, twists_.get());
    painter_->SetLayer(TPagePainter::Layer::ReadHighlight, reading_.get());
    painter_->SetLayer(TPagePainter::Layer::RecordSentence, recordVoice_.get());
    turner_->PageClicked = [this](TPagePainter::Side side, QPoint pos) {
        return twists_->TwistClick(side == TPagePainter::Side::Left, pos);
    };
    access_->FocusWordPlace = [this](bool left) { return twists_->FocusWordPlace(left); };
    twists_->FocusWordMoved = [this](bool left) {
        access_->TellFocusWord(
            painter_->Area(left ? TPagePainter::Side::Left : TPagePainter::Side::Right));
    };
    cover_->TwistChanged = [this] {
        painter_->LoadTalePicture(TTaleTable::ShortName(TaleNumber), cover_->TwistLevel());
        if (!book_.Picture || currentPage_ != 0)
            return;
        // Only the picture changes: the cover text and frame stay.
        painter_->RedrawPart(TPagePainter::Side::Left, 0, story_.c_str(),
                             QRect(book_.PicturePos.X, book_.PicturePos.Y,
                                   TTaleTable::kPictureSide * book_.PictureScale,
                                   TTaleTable::kPictureSide * book_.PictureScale));
    };
    cover_->OnNewStory = [this] { cmdNewStoryClick(); };
    cover_->OnReadSaved = [this] { cmdReadSavedClick(); };
    cover_->OnMyStories = [this] { cmdMyStoriesClick(); };
    OrderTabs();

    if (settings_.Get("Maximized", "0") == "1")
        setWindowState(Qt::WindowMaximized);
    Layout(); // the page areas take the letters kept
    // Last: nothing after this can fail, so the library never keeps the
    // address of a window that was not made.
    library_.Reset(&library);
}

TFormBook::~TFormBook() {
    // The voice ends while the window it calls back is whole.
    reading_.reset();
    recordVoice_.reset();
    settings_.Set("Maximized", isMaximized() ? "1" : "0");
    // The tiles and the library images give themselves back as they go.
}

void TFormBook::BuildForm() {
    setObjectName("FormBook");
    setWindowTitle("Storybook");
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFormBook::RingControl(QWidget& control) {
    focusFrame_->Ring(control);
    if (qobject_cast<QPushButton*>(&control))
        turner_->TakeKeysFrom(control);
}
