// TFormBook's construction: the components with their texts, fonts and fixed
// places, their wiring to the handlers, the window's settings and the library
// images it holds; and its destruction.
#include "book/forms/FormBook.h"

#include <QDir>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStandardPaths>

#include "data/InitGame.h"
#include "image/RL8ImageData.h"
#include "image/RL8Library.h"
#include "platform/MessageBox.h"
#include "platform/PrivateProfile.h"
#include "platform/SpeechSynth.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtFonts.h"
#include "ui/Cursors.h"
#include "ui/QtLatin1Validator.h"
#include "ui/RunHandler.h"
#include "ui/TileBG.h"

namespace {

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
      generator_(generator) {
    InstallReaderInterfaces();
    // Before the form is built: its handlers ask the reader.
    reader_ = std::make_unique<TReadAloud>(*this, plat::CreateSystemSpeechSynth());
    plat::InstallFontSubstitutes();
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    StoriesFolder =
        FromQString(QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath("Fablewhirl Stories")) +
        "/";
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    ExecPrintDialog = [this](QPrinter& printer, int pageCount) {
        QPrintDialog dlgPrint(&printer, this);
        PreparePrintDialog(dlgPrint, pageCount);
        OfferBookletChoices(dlgPrint);
        const bool confirmed = dlgPrint.exec() == QDialog::Accepted;
        TakeBackBookletChoices();
        return confirmed;
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
    BuildLetters();
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlCommands, library, "bktile3"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHero, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHeroine, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlTwist, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlLetters, library, "booktile"));
    bookPicture_ = TLibraryImage(library, "book", TLibraryImage::SurfaceNeed::Optional);
    twistLevel_ = 2;
    // Without its picture the book has no "Read to me" button.
    if (library.ImageExists("readtome")) {
        try {
            readToMePicture_ =
                TLibraryImage(library, "readtome", TLibraryImage::SurfaceNeed::Required);
        } catch (const std::exception&) {
            readToMePicture_.Reset();
        }
    }
    BuildReadAlong(library);
    // Last: nothing after this can fail, so the library never keeps the
    // address of a window that was not made.
    library_.Reset(&library);
}

TFormBook::~TFormBook() {
    // The voice ends while the window it calls back is whole.
    StopReading();
    reader_.reset();
    // FormDestroy.
    if (!SettingsFileName.empty())
        plat::WriteProfileString("Book", "Maximized", isMaximized() ? "1" : "0", SettingsFileName);
    // The tiles and the library images give themselves back as they go.
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
    // A page area's picture holds the book behind it and the page over it,
    // and covers every damaged pixel: the window does not paint beneath it.
    for (TPaintBox* p : {&pbxLeftPage, &pbxRightPage}) {
        p->setFont(pageFont);
        p->setMouseTracking(true);
        p->setAttribute(Qt::WA_OpaquePaintEvent);
    }
    pbxLeftPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        if (leftImage_.devicePixelRatio() != devicePixelRatioF())
            RenderPages(); // moved to a screen of another pixel ratio
        PaintPage(c, damage, leftImage_);
    };
    pbxRightPage.OnPaint = [this](QPainter& c, const QRegion& damage) {
        PaintPage(c, damage, rightImage_);
    };
    pbxLeftPage.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton && !TwistClick(true, pos))
            pbxLeftPageClick();
    };
    pbxRightPage.OnMouseDown = [this](QPoint pos, Qt::MouseButton b) {
        if (b == Qt::LeftButton && !TwistClick(false, pos))
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
    BuildShowTwists();

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
    connect(&grpTwist, &QButtonGroup::idClicked, this,
            [this](int tag) { RunHandler(ShowError, [this, tag] { rbTwistClick(tag); }); });

    // Only Latin-1 characters can be stored in a name.
    auto* latin1 = new QtLatin1Validator(this); // owned by the form
    struct NamePanel {
        QFrame& panel;
        QLabel& label;
        QLineEdit& box;
        const char* name; // "Hero" or "Heroine"
        const char* text;
        int labelHeight;
        void (TFormBook::*changed)();
    };
    for (const NamePanel& n :
         {NamePanel{pnlHero, lblHero, txtHero, "Hero",
                    "To set the hero's name in this story, just type it here:", 34,
                    &TFormBook::txtHeroChange},
          NamePanel{pnlHeroine, lblHeroine, txtHeroine, "Heroine",
                    "To set the heroine's name in this story, just type it here:", 31,
                    &TFormBook::txtHeroineChange}}) {
        n.panel.setObjectName(QString("pnl") + n.name);
        n.panel.setFrameStyle(QFrame::Panel | QFrame::Raised);
        n.panel.setLineWidth(2);
        n.panel.resize(169, 73);
        n.label.setObjectName(QString("lbl") + n.name);
        n.label.setText(n.text);
        n.label.setWordWrap(true);
        Place(n.label, 7, 6, 154, n.labelHeight);
        n.box.setObjectName(QString("txt") + n.name);
        Place(n.box, 9, 40, 152, 23);
        n.box.setValidator(latin1);
        connect(&n.box, &QLineEdit::textChanged, this,
                [this, changed = n.changed] { (this->*changed)(); });
    }

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
    for (const Cmd& c :
         {Cmd{&cmdNewStory, "newstory"}, Cmd{&cmdReadSaved, "readsave"}, Cmd{&cmdPrint, "print"},
          Cmd{&cmdSave, "save"}, Cmd{&cmdCopy, "copy"}, Cmd{&cmdPictureBook, "picbook"}}) {
        c.b->setFont(buttonFont);
        c.b->setIcon(Glyph(c.glyph));
        c.b->setIconSize(QSize(18, 18));
    }
    connect(&cmdNewStory, &QPushButton::clicked, this, [this] { cmdNewStoryClick(); });
    connect(&cmdReadSaved, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdReadSavedClick(); }); });

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
              "Save the story as a text file. Read it again by clicking \"Read saved story\" next "
              "time you pick the current title.",
              24, 134, 169, 64, false},
          Lbl{&lblCopied, "lblCopied", "Story copied!", 34, 209, 129, 15, true},
          Lbl{&lblCopyText, "lblCopyText",
              "Copy the story to the clipboard so that you can paste it into another program.", 24,
              259, 169, 49, false}}) {
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
    connect(&cmdPrint, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdPrintClick(); }); });
    connect(&cmdSave, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdSaveClick(); }); });
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

    BuildKeepsake();

    NameControls();
    installEventFilter(this);
    for (QPushButton* b :
         {&cmdNewStory, &cmdReadSaved, &cmdPrint, &cmdSave, &cmdCopy, &cmdPictureBook})
        b->installEventFilter(this);
}
