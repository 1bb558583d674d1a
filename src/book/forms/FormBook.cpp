// TFormBook: the storybook window and its commands.
#include "book/forms/FormBook.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>
#include <stdexcept>

#include "book/BookPieces.h"
#include "book/BookSpread.h"
#include "book/PrintFont.h"
#include "book/StoryText.h"
#include "book/forms/QtBookPieces.h"
#include "data/InitGame.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/PrivateProfile.h"
#include "platform/SpeechSynth.h"
#include "platform/Tick.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtDrawTarget.h"
#include "platform/qt/QtFonts.h"
#include "story/Generate.h"
#include "ui/Cursors.h"
#include "ui/FormPalette.h"
#include "ui/QtLatin1Validator.h"
#include "ui/TileBG.h"

namespace {

const char* const kTaleNames[10] = {"Cinders",  "Goldilox", "Hansel",   "Jack",   "RR-Hood",
                                    "Rapunzel", "Rumpel",   "Sleeping", "Ginger", "Tortoise"};
const char kPageFont[] = "Times New Roman";

QFont ArialPx(int px) {
    QFont f("Arial");
    f.setPixelSize(px);
    return f;
}

void MakeRed(QLabel& label) {
    QPalette p = label.palette();
    p.setColor(QPalette::WindowText, Qt::red);
    label.setPalette(p);
}

void Place(QWidget& w, int l, int t, int width, int height) {
    w.setGeometry(l, t, width, height);
}

QRect ToQRect(const TBookBox& b) {
    return QRect(b.left, b.top, b.width, b.height);
}

// A scratch device for measuring at Dpi (QImage's default is 96).
QImage MeasureImage(int dpi) {
    QImage img(1, 1, QImage::Format_RGB32);
    const int dpm = int(dpi / 0.0254 + 0.5);
    img.setDotsPerMeterX(dpm);
    img.setDotsPerMeterY(dpm);
    return img;
}

QIcon Glyph(const char* name) {
    QPixmap both(QString(":/glyphs/%1.png").arg(name));
    if (both.isNull())
        return {};
    const int w = both.width() / 2;
    QIcon icon;
    icon.addPixmap(both.copy(0, 0, w, both.height()), QIcon::Normal);
    icon.addPixmap(both.copy(w, 0, w, both.height()), QIcon::Disabled);
    return icon;
}

} // namespace

TFormBook::TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent)
    : QDialog(parent), cmdPrevPage(this), cmdNextPage(this), cmdCloseBook(this), pbxLeftPage(this),
      pbxRightPage(this), pbxClose(this), pnlTwist(this), lblTwist(&pnlTwist), sbNone(&pnlTwist),
      sbHalf(&pnlTwist), sbFull(&pnlTwist), grpTwist(this), pnlHero(this), lblHero(&pnlHero),
      txtHero(&pnlHero), pnlHeroine(this), lblHeroine(&pnlHeroine), txtHeroine(&pnlHeroine),
      cmdNewStory(this), cmdReadSaved(this), pnlCommands(this), lblPrinting(&pnlCommands),
      lblSaved(&pnlCommands), lblCopied(&pnlCommands), cmdPrint(&pnlCommands),
      cmdSave(&pnlCommands), cmdCopy(&pnlCommands), lblPrintText(&pnlCommands),
      lblSaveText(&pnlCommands), lblCopyText(&pnlCommands), lblTurnPage(this), tmrMessage(this),
      generator_(generator), library_(&library) {
    // Before the form is built: its handlers ask the reader.
    reader_ = std::make_unique<TReadAloud>(*this, plat::CreateSystemSpeechSynth());
    plat::InstallFontSubstitutes();
    library.AddReference(&library_);
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    StoriesFolder =
        FromQString(QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath("Fablewhirl Stories")) +
        "/";
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    ExecPrintDialog = [this](QPrinter& printer, int pageCount) {
        QPrintDialog dlgPrint(&printer, this);
        dlgPrint.setObjectName("dlgPrint");
        dlgPrint.setOptions(QAbstractPrintDialog::PrintPageRange);
        dlgPrint.setMinMax(1, pageCount);
        dlgPrint.setFromTo(1, pageCount);
        return dlgPrint.exec() == QDialog::Accepted;
    };
    BuildForm();

    // FormCreate.
    geometry_.Create(kClientWidth, kClientHeight);
    cmdPrevPage.move(geometry_.prevPage.left, geometry_.prevPage.top);
    cmdNextPage.move(geometry_.nextPage.left, geometry_.nextPage.top);
    const std::string maximized =
        SettingsFileName.empty()
            ? "0"
            : plat::GetProfileString("Book", "Maximized", "0", SettingsFileName);
    if (maximized == "1")
        setWindowState(Qt::WindowMaximized);
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlCommands, library, "bktile3"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHero, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHeroine, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlTwist, library, "booktile"));
    bookImageRef_.node = library.GetImage("book");
    bookImageRef_.surface = library.GetImageData(bookImageRef_.node);
    twistLevel_ = 2;
    // Without its picture the book has no "Read to me" button.
    if (library.ImageExists("readtome")) {
        try {
            readToMeRef_.node = library.GetImage("readtome");
            readToMeRef_.surface = library.GetImageData(readToMeRef_.node);
        } catch (const std::exception&) {
            readToMeRef_.surface = nullptr;
        }
    }
}

TFormBook::~TFormBook() {
    // The voice ends while the window it calls back is whole.
    StopReading();
    reader_.reset();
    // FormDestroy.
    if (!SettingsFileName.empty())
        plat::WriteProfileString("Book", "Maximized", isMaximized() ? "1" : "0", SettingsFileName);
    tiles_.clear();
    if (library_) {
        ReleaseTalePicture();
        if (bookImageRef_.node) {
            library_->ReleaseImageData(bookImageRef_.node);
            library_->ReleaseImage(bookImageRef_.node);
        }
        if (readToMeRef_.node) {
            if (readToMeRef_.surface)
                library_->ReleaseImageData(readToMeRef_.node);
            library_->ReleaseImage(readToMeRef_.node);
        }
        library_->RemoveReference(&library_);
    }
}

void TFormBook::BuildForm() {
    setObjectName("FormBook");
    setWindowTitle("Storybook");
    setFont(ArialPx(12));
    setMinimumSize(kClientWidth, kClientHeight);
    resize(kClientWidth, kClientHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    for (QPushButton* b : {&cmdPrevPage, &cmdNextPage, &cmdCloseBook}) {
        b->resize(24, 24);
        b->hide();
        b->setFocusPolicy(Qt::NoFocus);
    }
    cmdPrevPage.setObjectName("cmdPrevPage");
    cmdNextPage.setObjectName("cmdNextPage");
    cmdCloseBook.setObjectName("cmdCloseBook");
    connect(&cmdPrevPage, &QPushButton::clicked, this, [this] { cmdPrevPageClick(); });
    connect(&cmdNextPage, &QPushButton::clicked, this, [this] { cmdNextPageClick(); });
    connect(&cmdCloseBook, &QPushButton::clicked, this, [this] { close(); });

    pbxLeftPage.setObjectName("pbxLeftPage");
    pbxRightPage.setObjectName("pbxRightPage");
    QFont pageFont(kPageFont);
    pageFont.setPixelSize(16);
    for (TPaintBox* p : {&pbxLeftPage, &pbxRightPage}) {
        p->setFont(pageFont);
        p->setMouseTracking(true);
    }
    // A page area has no background of its own: the book behind it shows,
    // and what the page draws lies over it.
    pbxLeftPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        PaintPage(c, damage, pbxLeftPage, leftImage_);
    };
    pbxRightPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        PaintPage(c, damage, pbxRightPage, rightImage_);
    };
    pbxLeftPage.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxLeftPageClick();
    };
    pbxRightPage.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxRightPageClick();
    };
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

    pbxReadToMe.setObjectName("pbxReadToMe");
    pbxReadToMe.resize(kReadToMeWidth, kReadToMeHeight);
    pbxReadToMe.setCursor(ScreenCursor(kCursorActivate));
    pbxReadToMe.setToolTip("Read to me");
    pbxReadToMe.OnPaint = [this](QPainter& c, const QRegion& damage) {
        for (const QRect& r : damage)
            c.drawImage(r, readToMeImage_, r);
    };
    pbxReadToMe.OnMouseDown = [this](QPoint, Qt::MouseButton b) {
        if (b == Qt::LeftButton)
            pbxReadToMeClick();
    };
    pbxReadToMe.hide();

    // The twist panel.
    pnlTwist.setObjectName("pnlTwist");
    pnlTwist.setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlTwist.setLineWidth(2);
    pnlTwist.resize(169, 62);
    lblTwist.setObjectName("lblTwist");
    lblTwist.setText("How much twist?");
    Place(lblTwist, 19, 6, 130, 19);
    lblTwist.setAlignment(Qt::AlignCenter);
    struct TwistButton {
        QToolButton* b;
        const char* name;
        const char* text;
        int left;
        int tag;
    };
    for (const TwistButton& t : {TwistButton{&sbNone, "sbNone", "None", 13, 0},
                                 TwistButton{&sbHalf, "sbHalf", "Half", 61, 1},
                                 TwistButton{&sbFull, "sbFull", "Full", 109, 2}}) {
        t.b->setObjectName(t.name);
        t.b->setText(t.text);
        t.b->setCheckable(true);
        t.b->setAutoRaise(false);
        Place(*t.b, t.left, 28, 45, 25);
        grpTwist.addButton(t.b, t.tag);
    }
    grpTwist.setExclusive(true);
    // The chosen level must be plain to see: the button that is down stands
    // out golden and bold, the others stay pale.
    pnlTwist.setStyleSheet(
        "QToolButton { background: #fffaf0; color: #59361d; border: 1px solid #a08a62;"
        " border-radius: 3px; }"
        "QToolButton:hover { border-color: #59361d; }"
        "QToolButton:checked { background: #f7c843; border: 2px solid #59361d; font-weight: bold; }"
        "QToolButton:focus { outline: none; border-color: #2f6fb0; }");
    sbFull.setChecked(true);
    connect(&grpTwist, &QButtonGroup::idClicked, this, [this](int tag) {
        try {
            rbTwistClick(tag);
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    });

    // Only Latin-1 characters can be stored in a name.
    auto* latin1 = new QtLatin1Validator(this); // owned by the form
    pnlHero.setObjectName("pnlHero");
    pnlHero.setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlHero.setLineWidth(2);
    pnlHero.resize(169, 73);
    lblHero.setObjectName("lblHero");
    lblHero.setText("To set the hero's name in this story, just type it here:");
    lblHero.setWordWrap(true);
    Place(lblHero, 7, 6, 154, 34);
    txtHero.setObjectName("txtHero");
    Place(txtHero, 9, 40, 152, 23);
    txtHero.setValidator(latin1);
    connect(&txtHero, &QLineEdit::textChanged, this, [this] { txtHeroChange(); });

    pnlHeroine.setObjectName("pnlHeroine");
    pnlHeroine.setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlHeroine.setLineWidth(2);
    pnlHeroine.resize(169, 73);
    lblHeroine.setObjectName("lblHeroine");
    lblHeroine.setText("To set the heroine's name in this story, just type it here:");
    lblHeroine.setWordWrap(true);
    Place(lblHeroine, 7, 6, 154, 31);
    txtHeroine.setObjectName("txtHeroine");
    Place(txtHeroine, 9, 40, 152, 23);
    txtHeroine.setValidator(latin1);
    connect(&txtHeroine, &QLineEdit::textChanged, this, [this] { txtHeroineChange(); });

    const QFont buttonFont = ArialPx(13);
    cmdNewStory.setObjectName("cmdNewStory");
    cmdNewStory.setText("Create story");
    cmdNewStory.resize(132, 29);
    cmdReadSaved.setObjectName("cmdReadSaved");
    cmdReadSaved.setText("Read saved story");
    cmdReadSaved.resize(133, 29);
    cmdPrint.setObjectName("cmdPrint");
    cmdPrint.setText("Print story");
    cmdSave.setObjectName("cmdSave");
    cmdSave.setText("Save story");
    cmdCopy.setObjectName("cmdCopy");
    cmdCopy.setText("Copy story");
    struct Cmd {
        QPushButton* b;
        const char* glyph;
    };
    for (const Cmd& c : {Cmd{&cmdNewStory, "newstory"}, Cmd{&cmdReadSaved, "readsave"},
                         Cmd{&cmdPrint, "print"}, Cmd{&cmdSave, "save"}, Cmd{&cmdCopy, "copy"}}) {
        c.b->setFont(buttonFont);
        c.b->setIcon(Glyph(c.glyph));
        c.b->setIconSize(QSize(18, 18));
    }
    connect(&cmdNewStory, &QPushButton::clicked, this, [this] { cmdNewStoryClick(); });
    connect(&cmdReadSaved, &QPushButton::clicked, this, [this] {
        try {
            cmdReadSavedClick();
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    });

    // The command panel.
    pnlCommands.setObjectName("pnlCommands");
    pnlCommands.resize(197, 313);
    struct Lbl {
        QLabel* l;
        const char* name;
        const char* text;
        int left, top, width, height;
        bool red;
    };
    for (const Lbl& l :
         {Lbl{&lblPrinting, "lblPrinting", "Now printing story...", 34, 6, 129, 15, true},
          Lbl{&lblPrintText, "lblPrintText", "Print this story.", 24, 56, 154, 19, false},
          Lbl{&lblSaved, "lblSaved", "Story saved!", 34, 85, 129, 15, true},
          Lbl{&lblSaveText, "lblSaveText",
              "Save the story to a disk file. Read it again by clicking \"Read saved story\" next "
              "time you pick the current title.",
              24, 134, 169, 64, false},
          Lbl{&lblCopied, "lblCopied", "Story copied!", 34, 209, 129, 15, true},
          Lbl{&lblCopyText, "lblCopyText",
              "Copy the story to the Windows Clipboard so that you can paste it into another "
              "program.",
              24, 259, 169, 49, false}}) {
        l.l->setObjectName(l.name);
        l.l->setText(l.text);
        l.l->setWordWrap(true);
        l.l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Place(*l.l, l.left, l.top, l.width, l.height);
        if (l.red) {
            MakeRed(*l.l);
            l.l->setAlignment(Qt::AlignCenter);
            l.l->hide();
        }
    }
    Place(cmdPrint, 24, 22, 149, 29);
    Place(cmdSave, 24, 101, 149, 29);
    Place(cmdCopy, 24, 225, 149, 29);
    connect(&cmdPrint, &QPushButton::clicked, this, [this] {
        try {
            cmdPrintClick();
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    });
    connect(&cmdSave, &QPushButton::clicked, this, [this] {
        try {
            cmdSaveClick();
        } catch (const std::exception& e) {
            ShowError(e.what());
        }
    });
    connect(&cmdCopy, &QPushButton::clicked, this, [this] { cmdCopyClick(); });

    lblTurnPage.setObjectName("lblTurnPage");
    lblTurnPage.setText(
        "To print or save this story, or copy it to the clipboard, please turn the page.");
    lblTurnPage.setWordWrap(true);
    lblTurnPage.setAlignment(Qt::AlignCenter);
    lblTurnPage.resize(218, 33);
    MakeRed(lblTurnPage);
    lblTurnPage.hide();
    lblTurnPage.setAttribute(Qt::WA_TransparentForMouseEvents);

    tmrMessage.setObjectName("tmrMessage");
    tmrMessage.setInterval(int(TMessageClock::kInterval));
    connect(&tmrMessage, &QTimer::timeout, this, [this] { tmrMessageTimer(); });

    installEventFilter(this);
    for (QPushButton* b : {&cmdNewStory, &cmdReadSaved, &cmdPrint, &cmdSave, &cmdCopy})
        b->installEventFilter(this);
}

// ---------------------------------------------------------------------------
// Operations

std::string TFormBook::TaleName(int n) {
    if (n < 1 || n > 10)
        throw std::runtime_error("Invalid book number");
    return kTaleNames[n - 1];
}

std::string TFormBook::SavedStoryFileName() const {
    return TaleName(TaleNumber) + ".txt";
}

std::string TFormBook::SavedStoryPath() const {
    return StoriesFolder + SavedStoryFileName();
}

bool TFormBook::SavedStoryExists() const {
    return TaleNumber >= 1 && TaleNumber <= 10 && plat::FileExists(SavedStoryPath());
}

void TFormBook::SetStory(const std::string& text) {
    StopReading();
    story_ = ResolveStoryLineEnds(text);
    if (story_.empty()) {
        book_.Clear();
        currentPage_ = 0;
        return;
    }
    Layout();
}

void TFormBook::Layout() {
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    if (story_.empty()) {
        book_.Clear();
        return;
    }
    QImage scratch = MeasureImage(96);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, kPageFont, kPagePoints);
    const TBookBox page = TBookGeometry::LeftPage(width(), height());
    book_.Paginate(&canvas, TRect{0, 0, page.width, page.height}, story_.c_str());
}

void TFormBook::ReleaseTalePicture() {
    if (talePicture_.node && library_) {
        library_->ReleaseImageData(talePicture_.node);
        library_->ReleaseImage(talePicture_.node);
    }
    talePicture_ = {};
    book_.Picture = nullptr;
}

void TFormBook::LoadTalePicture() {
    ReleaseTalePicture();
    if (!library_)
        return;
    const std::string name = TaleName(TaleNumber);
    talePicture_.node = library_->GetImage(name);
    talePicture_.surface = library_->GetImageData(talePicture_.node);
    book_.Picture = talePicture_.surface;
    book_.PictureRect = TRect{0, twistLevel_ * 150, 150, twistLevel_ * 150 + 150};
}

void TFormBook::PaintPage(QPainter& c, const QRegion& damage, const QWidget& area,
                          const QImage& layer) const {
    for (const QRect& r : damage) {
        if (bookImage_.isNull())
            c.fillRect(r, Qt::white);
        else
            c.drawImage(r, bookImage_, r.translated(area.pos()));
        c.drawImage(r, layer, r);
    }
}

QImage TFormBook::PagePicture(const QWidget& area, const QImage& layer) const {
    QImage picture(area.size(), QImage::Format_RGB32);
    QPainter c(&picture);
    PaintPage(c, QRegion(picture.rect()), area, layer);
    return picture;
}

void TFormBook::DrawPageInto(QImage& image, const TBookBox& box, int page) {
    // Only what the page draws: transparent where the book behind shows.
    if (image.size() != QSize(box.width, box.height))
        image = QImage(box.width, box.height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (page < 0 || (page > 0 && story_.empty()))
        return;
    QPainter painter(&image);
    plat::QtCanvas canvas(painter, kPageFont, kPagePoints);
    const plat::LogPalette* previous = nullptr;
    const plat::LogPalette* palette =
        library_ && library_->IsOpen() ? library_->GetHPal() : nullptr;
    if (palette)
        previous = canvas.Target()->SelectPalette(palette);
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    if (page > 0 && reader_)
        reader_->DrawHighlight(book_, canvas, box.width, page, story_.c_str());
    book_.DrawPage(&canvas, box.width, story_.c_str(), page, box.height);
    if (palette)
        canvas.Target()->SelectPalette(previous);
}

void TFormBook::RenderPages() {
    const TBookBox left = TBookGeometry::LeftPage(width(), height());
    const TBookBox right = TBookGeometry::RightPage(width(), height());
    DrawPageInto(leftImage_, left, currentPage_);
    ++leftDraws_;
    DrawPageInto(rightImage_, right, currentPage_ == 0 ? -1 : currentPage_ + 1);
    pbxLeftPage.update();
    pbxRightPage.update();
}

void TFormBook::ShowPages(int n) {
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    currentPage_ = n;
    // The page pictures carry the book behind them, arrows included: the
    // arrows take their new state first.
    UpdateControls();
    RenderPages();
}

void TFormBook::UpdateControls() {
    TBookSpread::Input in;
    in.currentPage = currentPage_;
    in.pageCount = book_.PageCount();
    in.hasHero = hasHero_;
    in.hasHeroine = hasHeroine_;
    in.savedStoryExists = SavedStoryExists();
    const TBookSpread::Controls c = TBookSpread::Compute(in);
    cmdPrevPage.setEnabled(c.canTurnBack);
    cmdNextPage.setEnabled(c.canTurnForward);
    DrawPageArrows(true);
    pbxLeftPage.setCursor(c.canTurnBack ? ScreenCursor(kCursorArrowLeft) : QCursor());
    pbxRightPage.setCursor(c.canTurnForward ? ScreenCursor(kCursorArrowRight) : QCursor());
    cmdReadSaved.setVisible(c.readSaved);
    pnlHero.setVisible(c.hero);
    pnlHeroine.setVisible(c.heroine);
    pnlTwist.setVisible(c.twistAndNewStory);
    cmdNewStory.setVisible(c.twistAndNewStory);
    pnlCommands.setVisible(c.commands);
    // A control that went (such as "Create story" just clicked) must not keep
    // the keyboard: Space or Enter would still press it.
    if (QWidget* focused = focusWidget(); focused && !focused->isVisibleTo(this))
        setFocus();
    UpdateTurnPageHint(currentPage_ + 1);
    UpdateReadToMe();
}

void TFormBook::UpdateTurnPageHint(int r) {
    const bool show = TBookSpread::TurnPageHint(book_, r);
    lblTurnPage.setVisible(show);
    if (show)
        lblTurnPage.raise();
}

void TFormBook::DrawPageArrows(bool realize) {
    if (!library_ || !library_->IsOpen() || !library_->GetHPal() || !bookImageRef_.surface ||
        bookImage_.isNull())
        return;
    if (realize && RealizeFormPalette(this, library_) != 0)
        return; // the whole window is repainted
    plat::QtDrawTarget target(bookImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    const int w = bookImage_.width(), h = bookImage_.height();
    for (const TBookPieces::Piece& p : {TBookPieces::BackArrow(h, cmdPrevPage.isEnabled()),
                                        TBookPieces::ForwardArrow(w, h, cmdNextPage.isEnabled())}) {
        bookImageRef_.surface->DisplayRect(target, p.dest, p.source);
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
    try {
        FormShow();
    } catch (const std::exception& e) {
        ShowError(e.what());
    }
}

void TFormBook::FormShow() {
    RealizeFormPalette(this, library_);
    LoadTalePicture();
    std::string cover = generator_.GetCoverLine(TaleNumber);
    hasHero_ = !cover.empty() && cover[0] == '$';
    if (hasHero_)
        cover.erase(0, 1);
    hasHeroine_ = !cover.empty() && cover[0] == '%';
    if (hasHeroine_)
        cover.erase(0, 1);
    book_.CoverText = cover;
    {
        const QSignalBlocker b1(txtHero), b2(txtHeroine);
        txtHero.setText(ToQString(generator_.HeroName));
        txtHeroine.setText(ToQString(generator_.HeroineName));
    }
    if (!laidOut_)
        FormResize();
    PlaceControls(0);
    ShowPages(0);
    activateWindow();
}

// The cover spread's controls, placed upward from the foot of the right page.
void TFormBook::PlaceControls(int dy) {
    (void)dy;
    const TBookBox right = TBookGeometry::RightPage(width(), height());
    int y = right.Bottom() - 10;
    pnlCommands.move(pnlCommands.x(), right.top + (right.height - pnlCommands.height()) / 2);
    if (SavedStoryExists()) {
        cmdReadSaved.move(cmdReadSaved.x(), y - cmdReadSaved.height());
        y -= cmdNewStory.height() + 24;
    }
    cmdNewStory.move(cmdNewStory.x(), y - cmdNewStory.height());
    y -= cmdNewStory.height() + 8;
    if (hasHero_) {
        pnlHero.move(pnlHero.x(), y - pnlHero.height());
        y -= pnlHero.height() + 8;
    }
    if (hasHeroine_) {
        pnlHeroine.move(pnlHeroine.x(), y - pnlHeroine.height());
        y -= pnlHeroine.height() + 8;
    }
    pnlTwist.move(pnlTwist.x(), y - pnlTwist.height());
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
    cmdCloseBook.move(cmdCloseBook.x() + s.dx, cmdCloseBook.y());
    pbxClose.move(pbxClose.x() + s.dx, pbxClose.y());
    pbxLeftPage.setGeometry(ToQRect(s.leftPage));
    pbxRightPage.setGeometry(ToQRect(s.rightPage));
    const TBookBox& rp = s.rightPage;
    for (QWidget* c : {static_cast<QWidget*>(&pnlHero), static_cast<QWidget*>(&pnlHeroine),
                       static_cast<QWidget*>(&pnlTwist), static_cast<QWidget*>(&cmdNewStory)})
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
    if (!library_ || !library_->IsOpen() || !library_->GetHPal() || !bookImageRef_.surface)
        return;
    RealizeFormPalette(this, library_);
    const int w = width(), h = height();
    if (bookImage_.size() != QSize(w, h))
        bookImage_ = QImage(w, h, QImage::Format_RGB32);
    // "book" is opaque: its pieces are copies of the one picture of it in the
    // library's colours, made once for each palette. The pieces cover the
    // whole client area.
    const plat::LogPalette* palette = library_->GetHPal();
    if (bookSheet_.isNull() || bookSheetPalette_ != palette) {
        TRL8ImageData& book = *bookImageRef_.surface;
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
        QtBookPieces::Paint(painter, bookSheet_, w, h, cmdPrevPage.isEnabled(),
                            cmdNextPage.isEnabled());
    }
    DrawReadToMe();
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
        painter.drawImage(r, bookImage_, r);
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
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        const std::vector<std::string>& lines = generator_.GenerateStory(TaleNumber);
        SetStory(JoinStoryLines(lines));
        ShowPages(1);
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        ShowError(e.what());
        return;
    }
    QApplication::restoreOverrideCursor();
}

void TFormBook::rbTwistClick(int tag) {
    twistLevel_ = tag;
    generator_.SetTwistLevel(tag * 50);
    LoadTalePicture();
    if (!book_.Picture || leftImage_.isNull() || currentPage_ != 0 || !library_)
        return;
    // Only the picture changes: the cover text and frame stay.
    plat::QtDrawTarget target(leftImage_);
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

// ---------------------------------------------------------------------------
// Saving, reading back, copying and printing

void TFormBook::ShowMessageLabel(QLabel& label) {
    label.show();
    if (messageClock_.Start(plat::GetTickCount()) || !tmrMessage.isActive())
        tmrMessage.start();
}

void TFormBook::tmrMessageTimer() {
    lblSaved.hide();
    lblCopied.hide();
    tmrMessage.stop();
    messageClock_.Stop();
}

void TFormBook::cmdSaveClick() {
    const std::string path = SavedStoryPath();
    if (!QDir().mkpath(ToQString(StoriesFolder)))
        throw std::runtime_error("Save: cannot create the folder " + StoriesFolder);
    // Written whole to a temporary file and renamed, so a failed save keeps
    // the story saved before.
    if (!plat::WriteFileAtomic(path, MakeExportText(story_)))
        throw std::runtime_error("Save: cannot write " + path);
    ShowMessageLabel(lblSaved);
}

void TFormBook::cmdReadSavedClick() {
    StopReading();
    const std::string path = SavedStoryPath();
    std::string bytes;
    if (!plat::ReadWholeFile(path, bytes))
        throw std::runtime_error("Read: cannot read " + path);
    story_ = ReadSavedStoryText(bytes);
    Layout();
    ShowPages(1);
}

void TFormBook::cmdCopyClick() {
    QApplication::clipboard()->setText(ToQString(MakeExportText(story_)));
    ShowMessageLabel(lblCopied);
}

namespace {
int PaperWidth(QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution()).width();
}
int PaperHeight(QPrinter& printer) {
    return printer.pageLayout().paintRectPixels(printer.resolution()).height();
}
} // namespace

void TFormBook::cmdPrintClick() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(ToQString(book_.CoverText));
    // The layout is made for the printer current before the dialog opens.
    TLumList pages;
    const int paperW = PaperWidth(printer), paperH = PaperHeight(printer);
    {
        QImage scratch = MeasureImage(printer.resolution());
        QPainter painter(&scratch);
        plat::QtCanvas canvas(painter, kPageFont, kPagePoints);
        const int ps = TPrintFont::Fit(
            canvas, paperW, TPrintFont::StartSize(kPagePoints, paperW, pbxLeftPage.width()));
        (void)ps;
        book_.MarginX = paperW / 8;
        book_.MarginY = paperH / 8;
        book_.PaginateInto(&pages, &canvas, story_.c_str(), TRect{0, 0, paperW, paperH});
        book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    }
    const int count = pages.Count();
    if (count < 1 || !ExecPrintDialog(printer, count))
        return;
    const int copies = std::max(1, printer.copyCount());
    int from = printer.fromPage(), to = printer.toPage();
    if (printer.printRange() != QPrinter::PageRange || from < 1 || to < 1) {
        from = 1;
        to = count;
    }
    if (!PrintStory(printer, copies, from, std::min(to, count)))
        throw std::runtime_error("Print: the story could not be printed");
}

bool TFormBook::PrintStory(QPrinter& printer, int copies, int fromPage, int toPage) {
    // The copies are printed here, one range after the other; a copy count
    // left on the printer would multiply them.
    printer.setCopyCount(1);
    const int paperW = PaperWidth(printer), paperH = PaperHeight(printer);
    printer.setDocName(ToQString(book_.CoverText));
    lblPrinting.show();
    lblPrinting.repaint();
    bool ok = true;
    QPainter painter;
    try {
        if (!painter.begin(&printer))
            throw std::runtime_error("Print: cannot start the print job");
        plat::QtCanvas canvas(painter, kPageFont, kPagePoints);
        const int ps = TPrintFont::Fit(
            canvas, paperW, TPrintFont::StartSize(kPagePoints, paperW, pbxLeftPage.width()));
        book_.MarginX = paperW / 8;
        book_.MarginY = paperH / 8;
        TLumList pages;
        book_.PaginateInto(&pages, &canvas, story_.c_str(), TRect{0, 0, paperW, paperH});
        for (int i = 1; i <= copies; ++i)
            for (int j = fromPage; j <= toPage; ++j) {
                canvas.SetBold(false);
                canvas.SetFontSize(ps);
                book_.DrawPageFrom(&pages, &canvas, paperW, paperH, j, story_.c_str());
                if (!(i == copies && j == toPage))
                    printer.newPage();
            }
    } catch (...) {
        ok = false;
    }
    if (painter.isActive())
        painter.end();
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    lblPrinting.hide();
    return ok;
}

// ---------------------------------------------------------------------------
// Reading aloud

void TFormBook::SetWaveManager(TWaveMan* manager) {
    StopReading();
    waveManager_ = manager;
    UpdateReadToMe();
}

void TFormBook::SetSpeechSynth(std::unique_ptr<plat::SpeechSynth> synth) {
    StopReading();
    reader_ = std::make_unique<TReadAloud>(*this, std::move(synth));
    UpdateReadToMe();
}

void TFormBook::StopReading() {
    if (reader_)
        reader_->Stop();
}

void TFormBook::UpdateReadToMe() {
    // Story spreads only: not the cover, not the empty spread after the story.
    const bool show = reader_ && readToMeRef_.surface && !story_.empty() && currentPage_ >= 1 &&
                      currentPage_ <= book_.PageCount() && reader_->Available(waveManager_);
    if (show && readToMeImage_.isNull())
        DrawReadToMe();
    pbxReadToMe.setVisible(show && !readToMeImage_.isNull());
}

void TFormBook::DrawReadToMe() {
    if (!readToMeRef_.surface || bookImage_.isNull() || !library_ || !library_->IsOpen() ||
        !library_->GetHPal()) {
        readToMeImage_ = QImage();
        return;
    }
    // The picture has transparent corners: the book behind it shows.
    readToMeImage_ = bookImage_.copy(pbxReadToMe.geometry());
    plat::QtDrawTarget target(readToMeImage_);
    const plat::LogPalette* previous = target.SelectPalette(library_->GetHPal());
    const int sx = reader_ && reader_->Reading() ? kReadToMeWidth : 0;
    readToMeRef_.surface->DisplayRect(target, TPoint{0, 0},
                                      TRect{sx, 0, sx + kReadToMeWidth, kReadToMeHeight});
    target.SelectPalette(previous);
    pbxReadToMe.update();
}

void TFormBook::pbxReadToMeClick() {
    if (reader_->Reading()) {
        reader_->Stop();
        return;
    }
    if (waveManager_ && !story_.empty() && currentPage_ >= 1)
        reader_->Start(*waveManager_, book_, story_.c_str(), currentPage_);
}

void TFormBook::ReadAloudShowSpread(int leftPage) {
    ShowPages(leftPage);
}

void TFormBook::ReadAloudRepaintPage(int page) {
    if (currentPage_ < 1)
        return;
    if (page == currentPage_) {
        DrawPageInto(leftImage_, TBookGeometry::LeftPage(width(), height()), page);
        ++leftDraws_;
        pbxLeftPage.update();
    } else if (page == currentPage_ + 1) {
        DrawPageInto(rightImage_, TBookGeometry::RightPage(width(), height()), page);
        pbxRightPage.update();
    }
}

void TFormBook::ReadAloudStateChanged(bool reading) {
    pbxReadToMe.setToolTip(reading ? "Stop reading" : "Read to me");
    DrawReadToMe();
}
