// TCoverPart: the cover's controls, built, shown for the tale, scaled and
// stacked on the right page.
#include "book/forms/CoverPart.h"

#include "book/forms/BookAccess.h"
#include "book/forms/BookGroupAccessible.h"
#include "book/forms/BookRadioAccessible.h"

#include "book/forms/BookHost.h"
#include "platform/qt/Latin1.h"
#include "story/Generate.h"
#include "ui/ButtonGroupTab.h"
#include "ui/CommandGlyph.h"
#include "ui/QtLatin1Validator.h"
#include "ui/RunHandler.h"
#include "ui/TileBG.h"

TCoverPart::TCoverPart(TBookHost& host, QWidget& window, TStoryGenerator& generator,
                       TRL8Library& library, QWidget& letters)
    : QObject(&window), pnlTwist(&window), lblTwist(&pnlTwist), sbNone(&pnlTwist),
      sbHalf(&pnlTwist), sbFull(&pnlTwist), grpTwist(this), pnlHero(&window), lblHero(&pnlHero),
      txtHero(&pnlHero), lblHeroNote(&pnlHero), pnlHeroine(&window), lblHeroine(&pnlHeroine),
      txtHeroine(&pnlHeroine), lblHeroineNote(&pnlHeroine), cmdNewStory(&window),
      cmdReadSaved(&window), cmdMyStories(&window), host_(host), generator_(generator),
      letters_(letters) {
    setObjectName("CoverPart");
    // For screen readers the twist level is one choice of radio buttons in a
    // group.
    TBookAccess::Register(
        pnlTwist, [](QWidget* w) { return std::make_unique<TBookGroupAccessible>(w).release(); });
    for (QToolButton* b : {&sbNone, &sbHalf, &sbFull})
        TBookAccess::Register(*b, [](QWidget* w) {
            return std::make_unique<TBookRadioAccessible>(qobject_cast<QAbstractButton*>(w))
                .release();
        });
    // The twist panel.
    pnlTwist.setObjectName("pnlTwist");
    pnlTwist.setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlTwist.setLineWidth(2);
    pnlTwist.resize(169, 62);
    lblTwist.setObjectName("lblTwist");
    lblTwist.setText("How much twist?");
    lblTwist.setGeometry(19, 6, 130, 19);
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
        t.b->setGeometry(t.left, 28, 45, 25);
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
            [this](int tag) { RunHandler(host_.Errors(), [this, tag] { rbTwistClick(tag); }); });

    // Only Latin-1 characters can be stored in a name.
    struct NamePanel {
        QFrame& panel;
        QLabel& label;
        QLineEdit& box;
        QLabel& note;
        NameBox& name;
        const char* objectName; // "Hero" or "Heroine"
        const char* text;
        int labelHeight;
        void (TCoverPart::*changed)();
    };
    for (const NamePanel& n :
         {NamePanel{pnlHero, lblHero, txtHero, lblHeroNote, hero_, "Hero",
                    "To set the hero's name in this story, just type it here:", 34,
                    &TCoverPart::txtHeroChange},
          NamePanel{pnlHeroine, lblHeroine, txtHeroine, lblHeroineNote, heroine_, "Heroine",
                    "To set the heroine's name in this story, just type it here:", 31,
                    &TCoverPart::txtHeroineChange}}) {
        const char* const kind = n.objectName;
        n.panel.setObjectName(QString("pnl") + kind);
        n.panel.setFrameStyle(QFrame::Panel | QFrame::Raised);
        n.panel.setLineWidth(2);
        n.panel.resize(169, 73);
        n.label.setObjectName(QString("lbl") + kind);
        n.label.setText(n.text);
        n.label.setWordWrap(true);
        n.label.setGeometry(7, 6, 154, n.labelHeight);
        n.box.setObjectName(QString("txt") + kind);
        n.box.setGeometry(9, 40, 152, 23);
        n.note.setObjectName(QString("lbl") + kind + "Note");
        n.note.setWordWrap(true);
        n.note.setGeometry(n.label.geometry());
        n.note.setStyleSheet("color: #8b1a1a;");
        n.note.hide();
        n.name.label = &n.label;
        n.name.box = &n.box;
        n.name.note = &n.note;
        n.name.latin1 = std::make_unique<QtLatin1Validator>();
        n.name.latin1->Refused = [&name = n.name](const QString& letters) {
            ShowNote(name, QtLatin1Validator::CannotWrite(letters));
        };
        n.box.setValidator(n.name.latin1.get());
        connect(&n.box, &QLineEdit::textChanged, this, [this, changed = n.changed, &name = n.name] {
            TookText(name);
            (this->*changed)();
        });
    }

    cmdNewStory.setObjectName("cmdNewStory");
    cmdNewStory.setText("Create story");
    cmdNewStory.resize(132, 29);
    StyleCommand(cmdNewStory, "newstory");
    cmdReadSaved.setObjectName("cmdReadSaved");
    cmdReadSaved.setText("Read saved story");
    cmdReadSaved.resize(133, 29);
    StyleCommand(cmdReadSaved, "readsave");
    cmdMyStories.setObjectName("cmdMyStories");
    cmdMyStories.setText("My stories");
    cmdMyStories.resize(96, 29);
    StyleCommand(cmdMyStories, "picbook");

    for (QWidget* c :
         {static_cast<QWidget*>(&pnlTwist), static_cast<QWidget*>(&pnlHero),
          static_cast<QWidget*>(&pnlHeroine), static_cast<QWidget*>(&cmdNewStory),
          static_cast<QWidget*>(&cmdReadSaved), static_cast<QWidget*>(&cmdMyStories), &letters_})
        scaled_.Add(*c);
    for (QWidget* panel : {static_cast<QWidget*>(&pnlHero), static_cast<QWidget*>(&pnlHeroine),
                           static_cast<QWidget*>(&pnlTwist), &letters_})
        tiles_.push_back(std::make_unique<TileBG::TTileBG>(panel, library, "booktile"));

    // The names screen readers say.
    pnlTwist.setAccessibleName("How much twist?");
    sbNone.setAccessibleName("No twist");
    sbHalf.setAccessibleName("Half twist");
    sbFull.setAccessibleName("Full twist");
    pnlHero.setAccessibleName("Hero");
    pnlHeroine.setAccessibleName("Heroine");
    txtHero.setAccessibleName("Hero's name");
    txtHeroine.setAccessibleName("Heroine's name");
    lblHero.setBuddy(&txtHero);
    lblHeroine.setBuddy(&txtHeroine);

    const ErrorSink& errors = host_.Errors();
    for (const auto& [button, handler] :
         {std::pair{&cmdNewStory, &OnNewStory}, std::pair{&cmdReadSaved, &OnReadSaved},
          std::pair{&cmdMyStories, &OnMyStories}})
        connect(button, &QPushButton::clicked, this, [&errors, handler = handler] {
            if (*handler)
                RunHandler(errors, [handler] { (*handler)(); });
        });
    for (QWidget* w : TabStops())
        host_.RingControl(*w);
}

void TCoverPart::Show(const TBookSpread::Controls& c) {
    cmdReadSaved.setVisible(c.readSaved);
    cmdMyStories.setVisible(c.myStories);
    pnlHero.setVisible(c.hero);
    pnlHeroine.setVisible(c.heroine);
    pnlTwist.setVisible(c.twistAndNewStory);
    cmdNewStory.setVisible(c.twistAndNewStory);
}

TCoverPart::~TCoverPart() {
    // The validators go before the boxes that hold them.
    txtHero.setValidator(nullptr);
    txtHeroine.setValidator(nullptr);
}

void TCoverPart::ShowNote(NameBox& name, const QString& note) {
    name.note->setText(note);
    name.label->hide();
    name.note->show();
    name.box->setAccessibleDescription(note);
}

void TCoverPart::EndNote(NameBox& name) {
    if (name.note->isHidden())
        return;
    name.note->hide();
    name.label->show();
    name.box->setAccessibleDescription({});
}

void TCoverPart::TookText(NameBox& name) {
    // A refused edit is undone, and the box may report its unchanged text.
    if (name.box->text() == name.text)
        return;
    name.text = name.box->text();
    EndNote(name);
}

void TCoverPart::rbTwistClick(int tag) {
    twistLevel_ = tag;
    generator_.SetTwistLevel(tag * 50);
    if (TwistChanged)
        TwistChanged();
}

void TCoverPart::txtHeroChange() {
    generator_.HeroName = FromQString(txtHero.text());
}

void TCoverPart::txtHeroineChange() {
    generator_.HeroineName = FromQString(txtHeroine.text());
}

void TCoverPart::TakeTale(bool hasHero, bool hasHeroine) {
    hasHero_ = hasHero;
    hasHeroine_ = hasHeroine;
    const QSignalBlocker b1(txtHero), b2(txtHeroine);
    txtHero.setText(ToQString(generator_.HeroName));
    txtHeroine.setText(ToQString(generator_.HeroineName));
    for (NameBox* name : {&hero_, &heroine_}) {
        name->text = name->box->text();
        EndNote(*name);
    }
}

void TCoverPart::Place(const TBookBox& right, const TBookSpread::Controls& controls) {
    const bool readSaved = controls.readSaved, myStories = controls.myStories;
    TBookGeometry::CoverControls top;
    const int lettersTop = TBookGeometry::StackCoverWithLetters(
        right,
        {cmdReadSaved.height(), cmdNewStory.height(), pnlHero.height(), pnlHeroine.height(),
         pnlTwist.height()},
        letters_.height(), readSaved || myStories, hasHero_, hasHeroine_, top, scaled_.Scale());
    for (QWidget* c :
         {static_cast<QWidget*>(&pnlHero), static_cast<QWidget*>(&pnlHeroine),
          static_cast<QWidget*>(&pnlTwist), static_cast<QWidget*>(&cmdNewStory), &letters_})
        c->move(TBookGeometry::CentredLeft(right, c->width()), c->y());
    letters_.move(letters_.x(), lettersTop);
    const TBookGeometry::SavedRow row = TBookGeometry::PlaceSavedRow(
        right, cmdReadSaved.width(), cmdMyStories.width(), readSaved, myStories);
    if (readSaved)
        cmdReadSaved.move(row.readSaved, top.readSaved);
    if (myStories)
        cmdMyStories.move(row.myStories, top.readSaved);
    cmdNewStory.move(cmdNewStory.x(), top.newStory);
    if (hasHero_)
        pnlHero.move(pnlHero.x(), top.hero);
    if (hasHeroine_)
        pnlHeroine.move(pnlHeroine.x(), top.heroine);
    pnlTwist.move(pnlTwist.x(), top.twist);
}

std::vector<QWidget*> TCoverPart::TabStops() {
    return {&sbNone,     &sbHalf,      &sbFull,       &txtHero,
            &txtHeroine, &cmdNewStory, &cmdReadSaved, &cmdMyStories};
}
