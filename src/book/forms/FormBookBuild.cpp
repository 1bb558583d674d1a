// TFormBook's construction: the book's own components and the cover's, with
// their texts, fonts and fixed places, their wiring to the handlers, the
// parts, the window's settings; and its destruction.
#include "book/forms/FormBook.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include "book/BookPieces.h"
#include "book/forms/BookAccess.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/CoverPart.h"
#include "book/forms/FocusFrame.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "data/InitGame.h"
#include "platform/MessageBox.h"
#include "platform/PrivateProfile.h"
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
    : QDialog(parent), cmdPrevPage(this), cmdNextPage(this), pbxLeftPage(this), pbxRightPage(this),
      pbxClose(this), lblTurnPage(this), generator_(generator) {
    TBookAccess::InstallInterfaces();
    // The book's own painted controls for screen readers, before anything
    // could look them up; the parts register theirs as they are made.
    access_ = std::make_unique<TBookAccess>(*this, pbxLeftPage, pbxRightPage);
    TBookAccess::Register(
        cmdPrevPage, TBookAccess::Button([this] { cmdPrevPage.click(); },
                                         [this] {
                                             const TPoint p = TBookPieces::BackArrowPos(height());
                                             return QRect(p.X, p.Y, TBookPieces::kArrowWidth,
                                                          TBookPieces::kArrowHeight);
                                         }));
    TBookAccess::Register(
        cmdNextPage, TBookAccess::Button([this] { cmdNextPage.click(); },
                                         [this] {
                                             const TPoint p =
                                                 TBookPieces::ForwardArrowPos(width(), height());
                                             return QRect(p.X, p.Y, TBookPieces::kArrowWidth,
                                                          TBookPieces::kArrowHeight);
                                         }));
    TBookAccess::Register(pbxClose, TBookAccess::Button([this] { close(); }));
    // Before the parts: the cover's controls are scaled from the fonts they
    // take from the window.
    setFont(ArialPx(12));
    plat::InstallFontSubstitutes();
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    StoriesFolder =
        PathFromQString(
            QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath("Fablewhirl Stories")) +
        "/";
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    // The parts; the painter draws the twists' tint, then the read-aloud
    // highlight, under the text.
    painter_ =
        std::make_unique<TPagePainter>(*this, pbxLeftPage, pbxRightPage, book_, library_, library);
    letters_ = std::make_unique<TLettersPart>(*this, *this);
    cover_ = std::make_unique<TCoverPart>(*this, *this, generator_, library, letters_->pnlLetters);
    commands_ = std::make_unique<TCommandsPart>(*this, *this, library);
    twists_ = std::make_unique<TTwistsPart>(*this, *this, generator_, pbxLeftPage, pbxRightPage);
    reading_ = std::make_unique<TReadToMePart>(*this, *this, library);
    access_->FocusWordPlace = [this](bool left) { return twists_->FocusWordPlace(left); };
    painter_->SetLayer(TPagePainter::Layer::TwistTint, twists_.get());
    painter_->SetLayer(TPagePainter::Layer::ReadHighlight, reading_.get());
    twists_->FocusWordMoved = [this](bool left) {
        access_->TellFocusWord(left ? pbxLeftPage : pbxRightPage);
    };
    BuildForm();
    ScreenArea = [this] {
        const QScreen* s = screen();
        return s ? s->availableGeometry() : QRect();
    };
    pbxLeftPage.setAccessibleName("Left page");
    pbxRightPage.setAccessibleName("Right page");
    cmdPrevPage.setAccessibleName("Previous page");
    cmdNextPage.setAccessibleName("Next page");
    pbxClose.setAccessibleName("Close the book");
    lblTurnPage.setAccessibleName(lblTurnPage.text());
    focusFrame_ = std::make_unique<TFocusFrame>(*this);
    std::vector<QWidget*> ringed = cover_->TabStops();
    for (QWidget* c : std::initializer_list<QWidget*>{
             &letters_->sbClassicLetters, &letters_->sbEasyLetters, &letters_->sbBigLetters,
             &commands_->cmdPrint, &commands_->cmdSave, &commands_->cmdCopy,
             &commands_->cmdPictureBook, &commands_->cmdTalkingBook})
        ringed.push_back(c);
    for (QWidget* c : ringed)
        focusFrame_->Ring(*c);
    OrderTabs();
    installEventFilter(this);
    ExecShelf = [](TFormShelf& shelf) { shelf.exec(); };
    for (QPushButton* b : {&cover_->cmdNewStory, &cover_->cmdReadSaved, &cover_->cmdMyStories,
                           &commands_->cmdPrint, &commands_->cmdSave, &commands_->cmdCopy,
                           &commands_->cmdPictureBook, &commands_->cmdTalkingBook})
        b->installEventFilter(this);

    // The arrows' places and the window state kept.
    geometry_.Create(kClientWidth, kClientHeight);
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    const std::string maximized =
        SettingsFileName.empty()
            ? "0"
            : plat::GetProfileString("Book", "Maximized", "0", SettingsFileName);
    if (maximized == "1")
        setWindowState(Qt::WindowMaximized);
    Layout(); // the page areas take the letters kept
    // Last: nothing after this can fail, so the library never keeps the
    // address of a window that was not made.
    library_.Reset(&library);
}

TFormBook::~TFormBook() {
    // The voice ends while the window it calls back is whole.
    reading_.reset();
    if (!SettingsFileName.empty())
        plat::WriteProfileString("Book", "Maximized", isMaximized() ? "1" : "0", SettingsFileName);
    // The tiles and the library images give themselves back as they go.
}

void TFormBook::BuildForm() {
    setObjectName("FormBook");
    setWindowTitle("Storybook");
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    for (QPushButton* b : {&cmdPrevPage, &cmdNextPage}) {
        b->resize(24, 24);
        b->hide();
        b->setFocusPolicy(Qt::NoFocus);
    }
    cmdPrevPage.setObjectName("cmdPrevPage");
    cmdNextPage.setObjectName("cmdNextPage");
    connect(&cmdPrevPage, &QPushButton::clicked, this, [this] { cmdPrevPageClick(); });
    connect(&cmdNextPage, &QPushButton::clicked, this, [this] { cmdNextPageClick(); });

    pbxLeftPage.setObjectName("pbxLeftPage");
    pbxRightPage.setObjectName("pbxRightPage");
    QFont pageFont(TPagePainter::kCoverFont);
    pageFont.setPixelSize(16);
    // A page area's picture holds the book behind it and the page over it,
    // and covers every damaged pixel: the window does not paint beneath it.
    for (TPaintBox* p : {&pbxLeftPage, &pbxRightPage}) {
        p->setFont(pageFont);
        p->setMouseTracking(true);
        p->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    pbxLeftPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        painter_->PaintPage(TPagePainter::Side::Left, c, damage);
    };
    pbxRightPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        painter_->PaintPage(TPagePainter::Side::Right, c, damage);
    };
    pbxLeftPage.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton && !twists_->TwistClick(true, pos))
            pbxLeftPageClick();
    };
    pbxRightPage.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton && !twists_->TwistClick(false, pos))
            pbxRightPageClick();
    };
    // The twist words' Tab stop; a page area may also have the focus given
    // to it, its ring then along its edge.
    for (const bool left : {true, false}) {
        TPaintBox& page = left ? pbxLeftPage : pbxRightPage;
        page.setFocusPolicy(Qt::NoFocus);
        page.OnKeyDown = [this, left](int key) { return twists_->PageKeyDown(left, key); };
        page.OnFocusChange = [this, left](bool in) { twists_->PageFocusChanged(left, in); };
    }
    pbxClose.setObjectName("pbxClose");
    pbxClose.setAttribute(Qt::WA_OpaquePaintEvent, false);
    pbxClose.setAttribute(Qt::WA_NoSystemBackground);
    pbxClose.OnPaint = [](QPainter&, const QRegion&) {};
    pbxClose.setGeometry(569, 36, 19, 65);
    pbxClose.setCursor(ScreenCursor(kCursorActivate));
    pbxClose.setToolTip("Close the book");
    pbxClose.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            close();
    };

    // The cover: its controls are the part's, its commands this window's.
    cover_->TwistChanged = [this] {
        LoadTalePicture();
        if (!book_.Picture || currentPage_ != 0)
            return;
        // Only the picture changes: the cover text and frame stay.
        painter_->RedrawPart(TPagePainter::Side::Left, 0, story_.c_str(),
                             QRect(book_.PicturePos.X, book_.PicturePos.Y,
                                   TTaleTable::kPictureSide * book_.PictureScale,
                                   TTaleTable::kPictureSide * book_.PictureScale));
    };
    connect(&cover_->cmdNewStory, &QPushButton::clicked, this, [this] { cmdNewStoryClick(); });
    connect(&cover_->cmdReadSaved, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdReadSavedClick(); }); });
    connect(&cover_->cmdMyStories, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdMyStoriesClick(); }); });

    lblTurnPage.setObjectName("lblTurnPage");
    lblTurnPage.setText(
        "To print or save this story, or copy it to the clipboard, please turn the page.");
    lblTurnPage.setWordWrap(true);
    lblTurnPage.setAlignment(Qt::AlignCenter);
    lblTurnPage.resize(218, 33);
    QPalette red = lblTurnPage.palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblTurnPage.setPalette(red);
    lblTurnPage.hide();
    lblTurnPage.setAttribute(Qt::WA_TransparentForMouseEvents);
}
