// TFormBook's construction: the book's own components and the cover's, with
// their texts, fonts and fixed places, their wiring to the handlers, the
// parts, the window's settings; and its destruction.
#include "book/forms/FormBook.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>

#include "book/forms/BookAccess.h"
#include "book/forms/CommandGlyph.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/FocusFrame.h"
#include "book/forms/FormShelf.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "book/forms/ReadToMePart.h"
#include "book/forms/TwistsPart.h"
#include "data/InitGame.h"
#include "platform/MessageBox.h"
#include "platform/PrivateProfile.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/QtFonts.h"
#include "ui/ButtonGroupTab.h"
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

void Place(QWidget& w, int l, int t, int width, int height) {
    w.setGeometry(l, t, width, height);
}

} // namespace

TFormBook::TFormBook(TStoryGenerator& generator, TRL8Library& library, QWidget* parent)
    : QDialog(parent), cmdPrevPage(this), cmdNextPage(this), cmdCloseBook(this), pbxLeftPage(this),
      pbxRightPage(this), pbxClose(this), pnlTwist(this), lblTwist(&pnlTwist), sbNone(&pnlTwist),
      sbHalf(&pnlTwist), sbFull(&pnlTwist), grpTwist(this), pnlHero(this), lblHero(&pnlHero),
      txtHero(&pnlHero), pnlHeroine(this), lblHeroine(&pnlHeroine), txtHeroine(&pnlHeroine),
      cmdNewStory(this), cmdReadSaved(this), cmdMyStories(this), lblTurnPage(this),
      generator_(generator), gameLibrary_(library) {
    TBookAccess::InstallInterfaces();
    plat::InstallFontSubstitutes();
    book_.MarginX = book_.MarginY = TBookGeometry::kMargin;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    StoriesFolder =
        FromQString(QDir(docs.isEmpty() ? QDir::homePath() : docs).filePath("Fablewhirl Stories")) +
        "/";
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    // The parts; the painter draws the twists' tint, then the read-aloud
    // highlight, under the text.
    painter_ =
        std::make_unique<TPagePainter>(*this, pbxLeftPage, pbxRightPage, book_, library_, library);
    letters_ = std::make_unique<TLettersPart>(*this, *this);
    commands_ = std::make_unique<TCommandsPart>(*this, library);
    twists_ = std::make_unique<TTwistsPart>(*this, *this, generator_, pbxLeftPage, pbxRightPage);
    reading_ = std::make_unique<TReadToMePart>(*this, *this, library);
    access_ = std::make_unique<TBookAccess>(*this);
    painter_->SetLayer(TPagePainter::Layer::TwistTint, twists_.get());
    painter_->SetLayer(TPagePainter::Layer::ReadHighlight, reading_.get());
    twists_->FocusWordMoved = [this](bool left) {
        access_->TellFocusWord(left ? pbxLeftPage : pbxRightPage);
    };
    BuildForm();
    for (QWidget* c : {static_cast<QWidget*>(&pnlTwist), static_cast<QWidget*>(&pnlHero),
                       static_cast<QWidget*>(&pnlHeroine), static_cast<QWidget*>(&cmdNewStory),
                       static_cast<QWidget*>(&cmdReadSaved), static_cast<QWidget*>(&cmdMyStories),
                       static_cast<QWidget*>(&letters_->pnlLetters)})
        coverControls_.Add(*c);
    ScreenArea = [this] {
        const QScreen* s = screen();
        return s ? s->availableGeometry() : QRect();
    };
    access_->NameControls();
    focusFrame_ = std::make_unique<TFocusFrame>(*this);
    for (QWidget* c : std::initializer_list<QWidget*>{
             &letters_->sbClassicLetters, &letters_->sbEasyLetters, &letters_->sbBigLetters,
             &sbNone, &sbHalf, &sbFull, &txtHero, &txtHeroine, &cmdNewStory, &cmdReadSaved,
             &cmdMyStories, &commands_->cmdPrint, &commands_->cmdSave, &commands_->cmdCopy,
             &commands_->cmdPictureBook, &commands_->cmdTalkingBook})
        focusFrame_->Ring(*c);
    OrderTabs();
    installEventFilter(this);
    ExecShelf = [](TFormShelf& shelf) { shelf.exec(); };
    for (QPushButton* b :
         {&cmdNewStory, &cmdReadSaved, &cmdMyStories, &commands_->cmdPrint, &commands_->cmdSave,
          &commands_->cmdCopy, &commands_->cmdPictureBook, &commands_->cmdTalkingBook})
        b->installEventFilter(this);

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
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHero, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlHeroine, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&pnlTwist, library, "booktile"));
    tiles_.push_back(std::make_unique<TileBG::TTileBG>(&letters_->pnlLetters, library, "booktile"));
    twistLevel_ = 2;
    Layout(); // the page areas take the letters kept
    // Last: nothing after this can fail, so the library never keeps the
    // address of a window that was not made.
    library_.Reset(&library);
}

TFormBook::~TFormBook() {
    // The voice ends while the window it calls back is whole.
    reading_.reset();
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
        if (painter_->Picture(TPagePainter::Side::Left).devicePixelRatio() != devicePixelRatioF())
            ShowPages(currentPage_); // moved to a screen of another pixel ratio
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

    BuildCover();
}

void TFormBook::BuildCover() {
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
        "QToolButton:focus { outline: none; }");
    sbFull.setChecked(true);
    TabStopOnChecked(grpTwist);
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

    cmdNewStory.setObjectName("cmdNewStory");
    cmdNewStory.setText("Create story");
    cmdNewStory.resize(132, 29);
    StyleCommand(cmdNewStory, "newstory");
    cmdReadSaved.setObjectName("cmdReadSaved");
    cmdReadSaved.setText("Read saved story");
    cmdReadSaved.resize(133, 29);
    StyleCommand(cmdReadSaved, "readsave");
    connect(&cmdNewStory, &QPushButton::clicked, this, [this] { cmdNewStoryClick(); });
    connect(&cmdReadSaved, &QPushButton::clicked, this,
            [this] { RunHandler(ShowError, [this] { cmdReadSavedClick(); }); });
    cmdMyStories.setObjectName("cmdMyStories");
    cmdMyStories.setText("My stories");
    cmdMyStories.resize(96, 29);
    StyleCommand(cmdMyStories, "picbook");
    connect(&cmdMyStories, &QPushButton::clicked, this,
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
