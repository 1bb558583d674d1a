// TFormWords: the word-list editor window.
#include "wordlist/forms/FormWords.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <algorithm>
#include <optional>

#include "platform/qt/Latin1.h"
#include "ui/ButtonGroupTab.h"
#include "ui/ScreenPixelsAccessible.h"
#include "vocab/Vocab.h"

namespace {
constexpr int kItemHeight = 13;
constexpr int kEnterKey = 13;

// The components in the order of the table: the order they are built in,
// a parent before its children, which is also the order of the Tab key.
enum TPart : uint8_t {
    pnlSelect,
    lblWill,
    lblThe,
    lblQuestion,
    sbProperNoun,
    sbVerb,
    sbAdjective,
    sbCommonNoun,
    sbPlace,
    pnlWordList,
    lblNewWord,
    txtWord,
    lstWordList,
    cmdDelWord,
    gbxEditor,
    lblCurrentWord,
    nbkWords,
    cmdClose,
    pgNames,
    pgNouns,
    pgVerbs,
    pgAdjectives,
    pgPlaces,
    lblNamesText,
    gbxSex,
    lblSexText,
    rbSexF,
    rbSexM,
    gbxShortForm,
    lblShortFormText,
    txtNickname,
    lblNounsText,
    gbxPlural,
    lblPluralPhrase,
    txtPlural,
    lblFixPlural,
    lblVerbsText,
    gbxTenses,
    lblPastPhrase,
    txtPastTense,
    lblPastDots,
    lblContinuousPhrase,
    txtContinuous,
    lblContinuousDots,
    lblPresentPhrase,
    txtPresentTense,
    lblPresentDots,
    lblParticiplePhrase,
    txtParticiple,
    lblParticipleDots,
    lblFixTenses,
    lblAdjectivesText,
    gbxBigger,
    lblBiggerPhrase,
    txtBigger,
    lblBiggestPhrase,
    txtBiggest,
    lblFixBigger,
    chkAdverb,
    txtAdverb,
    lblPlacesText,
    kParts,
    kForm = kParts // the window itself, as a parent
};

// What a row of the table builds.
enum TKind : uint8_t {
    Frame,       // QFrame, sunken
    Panel,       // QWidget
    Page,        // QWidget, a page of its parent notebook, which places it
    Group,       // QGroupBox, titled by its text
    Notebook,    // QStackedWidget
    Label,       // QLabel, one line of plain text in its alignment
    Wrapped,     // QLabel, plain text wrapped from the top left
    Hint,        // QLabel, one line in the selection's colours, as wide as its text
    Edit,        // QLineEdit taking Latin-1; a change runs its handler or sets its form
    List,        // QListView of the editor's list; the player's moves run its handler
    ClassButton, // QToolButton of a word class in the example sentence
    Radio,       // QRadioButton of male or female
    Check,       // QCheckBox; a click runs its handler
    Button,      // QPushButton; a click runs its handler
};

// The letters of a component; Inherited sets none, so it has its parent's
// (the window's are Form).
enum class TLetters : uint8_t { Inherited, Form, Plain, Text, Caption, Title };

QFont SansFont(int pixels, bool bold) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QFont Font(TLetters letters) {
    switch (letters) {
    case TLetters::Plain:
        return SansFont(11, false);
    case TLetters::Text:
        return SansFont(12, false);
    case TLetters::Caption:
        return SansFont(12, true);
    case TLetters::Title: {
        QFont serif("Liberation Serif");
        serif.setPixelSize(16);
        serif.setBold(true);
        return serif;
    }
    case TLetters::Inherited:
    case TLetters::Form:
        break;
    }
    return SansFont(11, true);
}

// A button caption shows "&" as itself.
QString ButtonText(const std::string& s) {
    return ToQString(s).replace('&', "&&");
}

// A word of the example sentence on its button: cut short with an ellipsis
// when it does not fit, the whole word then in the button's tip.
void ShowSentenceWord(QToolButton& button, const std::string& word) {
    constexpr int kMargins = 10;
    const QString whole = ToQString(word);
    const QString shown =
        button.fontMetrics().elidedText(whole, Qt::ElideRight, button.width() - kMargins);
    button.setText(QString(shown).replace('&', "&&"));
    button.setToolTip(shown == whole ? QString() : whole);
    // Screen readers hear the word with the type's name.
    button.setAccessibleDescription(whole);
}

constexpr Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

// A word type's button as screen readers find it: a page tab, selected while
// its type is shown, pressed as a click presses it.
class TWordTabAccessible : public QAccessibleWidget {
public:
    explicit TWordTabAccessible(QWidget* button)
        : QAccessibleWidget(button, QAccessible::PageTab) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = Button().isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction())
            Button().click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QAbstractButton& Button() const { return static_cast<QAbstractButton&>(*widget()); }
};

// The example sentence, which holds the word types' tabs, as a tab list.
class TWordTabListAccessible : public QAccessibleWidget {
public:
    explicit TWordTabListAccessible(QWidget* panel)
        : QAccessibleWidget(panel, QAccessible::PageTabList) {}
};

// The widgets of the word types' tab bar: the sentence's panel (the tab
// list) and its buttons (the tabs).
std::vector<const QObject*>& TabBarParts() {
    static std::vector<const QObject*> parts;
    return parts;
}

QAccessibleInterface* TabBarAccessible(const QString&, QObject* object) {
    if (std::ranges::find(TabBarParts(), object) == TabBarParts().end())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (qobject_cast<QAbstractButton*>(widget))
        return std::make_unique<TWordTabAccessible>(widget).release();
    return std::make_unique<TWordTabListAccessible>(widget).release();
}

// One row of the window's table: a component and how it is built. A column
// a row leaves out is not used by its kind.
struct TRow {
    TPart part = kForm; // its place in parts_, which is its place in the table
    const char* name = nullptr;
    TKind kind = Panel;
    TPart parent = kForm;
    QRect bounds = {}; // in its parent; a Hint's width follows its text
    TLetters letters = TLetters::Inherited;
    // A label's text, a button's caption, a group's title; a class button
    // without one shows its class's example word.
    const char* text = nullptr;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter; // a Label's
    // A class button's word class; a sex button's id in grpSex (1: male).
    int tag = -1;
    // The form an edit box shows and sets, enabled only while a word of the
    // form's class is selected.
    std::optional<TEditorField> field = std::nullopt;
    // The class of the word a sex button or the check box edits, enabled
    // only while a word of that class is selected.
    int wordClass = -1;
    // Run when a box changes (txtWord), the list's current row or a button
    // is clicked.
    void (TFormWords::*handler)() = nullptr;
    // The box a label names for screen readers.
    std::optional<TPart> buddy = std::nullopt;
    // A box's or view's name for screen readers where no label gives one.
    const char* accessibleName = nullptr;
};

#define PART(p) .part = p, .name = #p
constexpr TRow kRows[kParts] = {
    // The example sentence with its class buttons.
    {PART(pnlSelect), .kind = Frame, .bounds = {0, 0, 562, 41}},
    {PART(lblWill), .kind = Label, .parent = pnlSelect, .bounds = {40, 14, 22, 13}, .text = "Will",
     .align = kRight},
    {PART(lblThe), .kind = Label, .parent = pnlSelect, .bounds = {291, 14, 19, 13}, .text = "the"},
    {PART(lblQuestion), .kind = Label, .parent = pnlSelect, .bounds = {498, 14, 8, 13},
     .text = "?"},
    {PART(sbProperNoun), .kind = ClassButton, .parent = pnlSelect, .bounds = {67, 8, 128, 25},
     .tag = wcProperNoun},
    {PART(sbVerb), .kind = ClassButton, .parent = pnlSelect, .bounds = {198, 8, 89, 25},
     .tag = wcVerb},
    {PART(sbAdjective), .kind = ClassButton, .parent = pnlSelect, .bounds = {314, 8, 89, 25},
     .tag = wcAdjective},
    {PART(sbCommonNoun), .kind = ClassButton, .parent = pnlSelect, .bounds = {406, 8, 89, 25},
     .tag = wcNoun},
    {PART(sbPlace), .kind = ClassButton, .parent = pnlSelect, .bounds = {516, 8, 37, 25},
     .letters = TLetters::Plain, .text = "Place", .tag = wcPlace},

    // The list with its new-word box on the left, the editor on the right.
    {PART(pnlWordList), .kind = Panel, .bounds = {0, 41, 562, 307}},
    {PART(lblNewWord), .kind = Label, .parent = pnlWordList, .bounds = {4, 12, 64, 15},
     .letters = TLetters::Text, .text = "New word:", .align = kRight, .buddy = txtWord},
    {PART(txtWord), .kind = Edit, .parent = pnlWordList, .bounds = {72, 7, 101, 23},
     .letters = TLetters::Text, .handler = &TFormWords::txtWordChange},
    {PART(lstWordList), .kind = List, .parent = pnlWordList, .bounds = {6, 35, 167, 266},
     .handler = &TFormWords::lstWordListClick, .accessibleName = "Word list"},
    {PART(cmdDelWord), .kind = Button, .parent = pnlWordList, .bounds = {178, 277, 83, 25},
     .letters = TLetters::Text, .handler = &TFormWords::cmdDelWordClick},
    {PART(gbxEditor), .kind = Group, .parent = pnlWordList, .bounds = {178, 0, 377, 272},
     .letters = TLetters::Text},
    {PART(lblCurrentWord), .kind = Label, .parent = gbxEditor, .bounds = {8, 12, 361, 24},
     .letters = TLetters::Title, .text = "Pick a word from the list!", .align = Qt::AlignCenter},
    {PART(nbkWords), .kind = Notebook, .parent = gbxEditor, .bounds = {8, 34, 361, 228},
     .accessibleName = "About the word"},
    {PART(cmdClose), .kind = Button, .parent = pnlWordList, .bounds = {466, 277, 89, 25},
     .letters = TLetters::Plain, .text = "Close", .handler = &TFormWords::cmdCloseClick},

    // The notebook's pages, one per word class.
    {PART(pgNames), .kind = Page, .parent = nbkWords},
    {PART(pgNouns), .kind = Page, .parent = nbkWords},
    {PART(pgVerbs), .kind = Page, .parent = nbkWords},
    {PART(pgAdjectives), .kind = Page, .parent = nbkWords},
    {PART(pgPlaces), .kind = Page, .parent = nbkWords},

    // Page 0: names.
    {PART(lblNamesText), .kind = Wrapped, .parent = pgNames, .bounds = {0, 0, 361, 46},
     .letters = TLetters::Text,
     .text = "This is a list of people's names. We pick one of these whenever a name is needed "
             "in the stories. Try using the names of friends, family members, or celebrities."},
    {PART(gbxSex), .kind = Group, .parent = pgNames, .bounds = {0, 50, 361, 80},
     .letters = TLetters::Caption, .text = " Male or female? "},
    {PART(lblSexText), .kind = Wrapped, .parent = gbxSex, .bounds = {8, 18, 345, 32},
     .letters = TLetters::Text,
     .text = "Use these buttons to say whether this name is for male or for female characters."},
    {PART(rbSexF), .kind = Radio, .parent = gbxSex, .bounds = {16, 52, 90, 20},
     .letters = TLetters::Text, .text = "Female", .tag = 0, .wordClass = wcProperNoun},
    {PART(rbSexM), .kind = Radio, .parent = gbxSex, .bounds = {130, 52, 90, 20},
     .letters = TLetters::Text, .text = "Male", .tag = 1, .wordClass = wcProperNoun},
    {PART(gbxShortForm), .kind = Group, .parent = pgNames, .bounds = {0, 136, 361, 88},
     .letters = TLetters::Caption, .text = " Short form "},
    {PART(lblShortFormText), .kind = Wrapped, .parent = gbxShortForm, .bounds = {8, 18, 345, 32},
     .letters = TLetters::Text,
     .text = "Use this space for a short form of the person's name. First names and nicknames "
             "make good short forms.",
     .buddy = txtNickname},
    {PART(txtNickname), .kind = Edit, .parent = gbxShortForm, .bounds = {8, 56, 200, 23},
     .letters = TLetters::Text, .field = TEditorField::Nickname, .accessibleName = "Short form"},

    // Page 1: things.
    {PART(lblNounsText), .kind = Wrapped, .parent = pgNouns, .bounds = {0, 0, 361, 46},
     .letters = TLetters::Text,
     .text = "This is a list of the things that might appear in the stories. Add words of your "
             "own to make the stories even funnier!"},
    {PART(gbxPlural), .kind = Group, .parent = pgNouns, .bounds = {0, 50, 361, 90},
     .letters = TLetters::Caption, .text = " What if there's more than one? "},
    {PART(lblPluralPhrase), .kind = Label, .parent = gbxPlural, .bounds = {8, 28, 118, 16},
     .letters = TLetters::Text, .text = "Goldilocks saw two", .buddy = txtPlural},
    {PART(txtPlural), .kind = Edit, .parent = gbxPlural, .bounds = {128, 24, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::Plural},
    {PART(lblFixPlural), .kind = Hint, .parent = gbxPlural, .bounds = {8, 60, 345, 17},
     .letters = TLetters::Plain, .text = "Fix the sentence if it looks wrong"},

    // Page 2: actions.
    {PART(lblVerbsText), .kind = Wrapped, .parent = pgVerbs, .bounds = {0, 0, 361, 32},
     .letters = TLetters::Text,
     .text = "This is a list of action words. These are tricky to work with because they can "
             "have so many different forms."},
    {PART(gbxTenses), .kind = Group, .parent = pgVerbs, .bounds = {0, 36, 361, 188},
     .letters = TLetters::Caption, .text = " Check these out "},
    {PART(lblPastPhrase), .kind = Label, .parent = gbxTenses, .bounds = {8, 28, 138, 16},
     .letters = TLetters::Text, .text = "Yesterday, Goldilocks", .buddy = txtPastTense},
    {PART(txtPastTense), .kind = Edit, .parent = gbxTenses, .bounds = {148, 24, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::PastTense},
    {PART(lblPastDots), .kind = Label, .parent = gbxTenses, .bounds = {321, 28, 20, 16},
     .letters = TLetters::Text, .text = "..."},
    {PART(lblContinuousPhrase), .kind = Label, .parent = gbxTenses, .bounds = {8, 60, 138, 16},
     .letters = TLetters::Text, .text = "Today, Goldilocks is", .buddy = txtContinuous},
    {PART(txtContinuous), .kind = Edit, .parent = gbxTenses, .bounds = {148, 56, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::Continuous},
    {PART(lblContinuousDots), .kind = Label, .parent = gbxTenses, .bounds = {321, 60, 20, 16},
     .letters = TLetters::Text, .text = "..."},
    {PART(lblPresentPhrase), .kind = Label, .parent = gbxTenses, .bounds = {8, 92, 138, 16},
     .letters = TLetters::Text, .text = "Sometimes, Goldilocks", .buddy = txtPresentTense},
    {PART(txtPresentTense), .kind = Edit, .parent = gbxTenses, .bounds = {148, 88, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::PresentTense},
    {PART(lblPresentDots), .kind = Label, .parent = gbxTenses, .bounds = {321, 92, 20, 16},
     .letters = TLetters::Text, .text = "..."},
    {PART(lblParticiplePhrase), .kind = Label, .parent = gbxTenses, .bounds = {8, 124, 138, 16},
     .letters = TLetters::Text, .text = "Goldilocks has just", .buddy = txtParticiple},
    {PART(txtParticiple), .kind = Edit, .parent = gbxTenses, .bounds = {148, 120, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::Participle},
    {PART(lblParticipleDots), .kind = Label, .parent = gbxTenses, .bounds = {321, 124, 20, 16},
     .letters = TLetters::Text, .text = "..."},
    {PART(lblFixTenses), .kind = Hint, .parent = gbxTenses, .bounds = {8, 158, 345, 17},
     .letters = TLetters::Plain, .text = "Fix any phrases that look wrong"},

    // Page 3: descriptions.
    {PART(lblAdjectivesText), .kind = Wrapped, .parent = pgAdjectives, .bounds = {0, 0, 361, 46},
     .letters = TLetters::Text,
     .text = "This is a list of descriptive words. Think of more descriptive words to put your "
             "own special twist in the \"fablewhirl\"."},
    {PART(gbxBigger), .kind = Group, .parent = pgAdjectives, .bounds = {0, 50, 361, 122},
     .letters = TLetters::Caption, .text = " Bigger, biggest "},
    {PART(lblBiggerPhrase), .kind = Label, .parent = gbxBigger, .bounds = {8, 28, 150, 16},
     .letters = TLetters::Text, .text = "The next one was even", .buddy = txtBigger},
    {PART(txtBigger), .kind = Edit, .parent = gbxBigger, .bounds = {160, 24, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::Bigger},
    {PART(lblBiggestPhrase), .kind = Label, .parent = gbxBigger, .bounds = {8, 60, 150, 16},
     .letters = TLetters::Text, .text = "But the last one was the", .buddy = txtBiggest},
    {PART(txtBiggest), .kind = Edit, .parent = gbxBigger, .bounds = {160, 56, 170, 23},
     .letters = TLetters::Text, .field = TEditorField::Biggest},
    {PART(lblFixBigger), .kind = Hint, .parent = gbxBigger, .bounds = {8, 94, 345, 17},
     .letters = TLetters::Plain, .text = "Fix any sentences that look wrong"},
    {PART(chkAdverb), .kind = Check, .parent = pgAdjectives, .bounds = {0, 184, 206, 20},
     .letters = TLetters::Text, .text = "This word can describe an action:",
     .wordClass = wcAdjective, .handler = &TFormWords::chkAdverbClick},
    {PART(txtAdverb), .kind = Edit, .parent = pgAdjectives, .bounds = {210, 182, 151, 23},
     .letters = TLetters::Text, .field = TEditorField::Adverb,
     .accessibleName = "Describing an action"},

    // Page 4: places.
    {PART(lblPlacesText), .kind = Label, .parent = pgPlaces, .bounds = {0, 0, 361, 20},
     .letters = TLetters::Text, .text = "Places"},
};
#undef PART

// The box of each form.
constexpr auto kFieldBoxes = [] {
    std::array<TPart, kEditorFieldCount> boxes{};
    boxes.fill(kForm);
    for (const TRow& row : kRows)
        if (row.field)
            boxes[static_cast<std::size_t>(*row.field)] = row.part;
    return boxes;
}();
static_assert(std::ranges::find(kFieldBoxes, kForm) == kFieldBoxes.end(), "every form has its box");
static_assert(
    [] {
        for (int p = 0; p < kParts; ++p)
            if (kRows[p].part != p || (kRows[p].parent != kForm && kRows[p].parent >= p))
                return false;
        return true;
    }(),
    "each row stands at its part's place, after its parent");
} // namespace

TFormWords::TFormWords(TVocab& vocab, QWidget* parent)
    : QDialog(parent), editor_(vocab), lstWordListModel(editor_, kItemHeight) {
    static_assert(kParts == kPartCount);
    setObjectName("FormWords");
    setWindowTitle(TWordListEditor::kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(Font(TLetters::Form));
    for (std::size_t part = 0; part < kPartCount; ++part)
        Build(part);
    // The places come out when their secret word is typed.
    Part<QToolButton>(sbPlace).hide();
    connect(&grpPartOfSpeech, &QButtonGroup::idClicked, this,
            [this](int tag) { sbPartOfSpeechClick(tag); });
    connect(&grpSex, &QButtonGroup::idClicked, this, [this](int tag) { rbSexClick(tag); });
    // Tab reaches the sex of the word shown, whichever was last focused.
    TabStopOnChecked(grpSex);
    Part<QLineEdit>(txtWord).installEventFilter(this);
    MakeTabBar();
    NameControls();
    FormCreate();
}

void TFormWords::MakeTabBar() {
    for (const TPart p : {pnlSelect, sbProperNoun, sbVerb, sbAdjective, sbCommonNoun, sbPlace})
        parts_[p]->setAccessibleName(p == pnlSelect ? "Word types"
                                                    : TWordListEditor::ClassName(kRows[p].tag));
    // One Tab stop, on the type shown; as a tab bar's, a click takes no focus
    // from where the player types.
    const auto follow = [this] {
        for (QAbstractButton* b : grpPartOfSpeech.buttons())
            b->setFocusPolicy(b->isChecked() ? Qt::TabFocus : Qt::NoFocus);
    };
    follow();
    for (QAbstractButton* button : grpPartOfSpeech.buttons()) {
        button->installEventFilter(this);
        connect(button, &QAbstractButton::toggled, this, [button, follow] {
            follow();
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent event(button, changed);
            QAccessible::updateAccessibility(&event);
        });
    }

    for (const auto& [keys, step] :
         {std::pair{QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
          std::pair{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1},
          std::pair{QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1}}) {
        auto& shortcut = *classKeys_.emplace_back(std::make_unique<QShortcut>(keys, this));
        connect(&shortcut, &QShortcut::activated, this, [this, step] { StepClass(step); });
    }

    // Tab goes through the controls in the table's order (the tab bar, the
    // new-word box, the list, the delete button, the pages' boxes), Close
    // last.
    QWidget* previous = nullptr;
    const auto next = [&](QWidget* w) {
        if (previous)
            setTabOrder(previous, w);
        previous = w;
    };
    for (const TRow& row : kRows)
        if (row.part != cmdClose &&
            (row.kind == ClassButton || row.kind == Edit || row.kind == List ||
             row.kind == Button || row.kind == Radio || row.kind == Check))
            next(parts_[row.part].get());
    next(parts_[cmdClose].get());
}

void TFormWords::StepClass(int step) {
    std::vector<int> tags; // the types shown, along the sentence
    for (const TRow& row : kRows)
        if (row.kind == ClassButton && !parts_[row.part]->isHidden())
            tags.push_back(row.tag);
    const auto at = std::ranges::find(tags, editor_.ShownClass());
    if (at == tags.end())
        return;
    const int n = static_cast<int>(tags.size());
    const int from = static_cast<int>(at - tags.begin());
    // A box on the page that goes leaves the focus to the type's tab.
    QWidget* focus = focusWidget();
    const bool onPage = focus && Part<QWidget>(nbkWords).isAncestorOf(focus);
    const bool onTab =
        focus && grpPartOfSpeech.buttons().contains(qobject_cast<QAbstractButton*>(focus));
    sbPartOfSpeechClick(tags[static_cast<std::size_t>((from + step + n) % n)]);
    if (onPage || onTab || !focus || !focus->isVisible())
        if (QAbstractButton* tab = grpPartOfSpeech.checkedButton())
            tab->setFocus(Qt::TabFocusReason);
}

template <class W> W& TFormWords::Place(std::size_t part) {
    const TRow& row = kRows[part];
    auto made = std::make_unique<W>();
    W& widget = *made;
    // The tab bar's interfaces are ours from the start: anything done to a
    // widget may make Qt's own for it.
    if (row.kind == ClassButton || row.part == pnlSelect) {
        static const bool installed = [] {
            QAccessible::installFactory(TabBarAccessible);
            TScreenPixelsAccessible::Install(); // asked first still
            return true;
        }();
        (void)installed;
        TabBarParts().push_back(&widget);
        connect(&widget, &QObject::destroyed,
                [part = static_cast<const QObject*>(&widget)] { std::erase(TabBarParts(), part); });
    }
    parts_[row.part] = std::move(made);
    widget.setObjectName(row.name);
    if (row.kind == Page) {
        Part<QStackedWidget>(row.parent).addWidget(&widget);
    } else {
        widget.setParent(row.parent == kForm ? this : parts_[row.parent].get());
        widget.setGeometry(row.bounds);
    }
    if (row.letters != TLetters::Inherited)
        widget.setFont(Font(row.letters));
    return widget;
}

void TFormWords::Build(std::size_t part) {
    const TRow& row = kRows[part];
    const auto handler = row.handler;
    switch (row.kind) {
    case Frame:
        Place<QFrame>(part).setFrameStyle(QFrame::Panel | QFrame::Sunken);
        break;
    case Panel:
    case Page:
        Place<QWidget>(part);
        break;
    case Group:
        if (auto& box = Place<QGroupBox>(part); row.text)
            box.setTitle(row.text);
        break;
    case Notebook:
        Place<QStackedWidget>(part);
        break;
    case Label:
    case Wrapped:
    case Hint: {
        auto& label = Place<QLabel>(part);
        label.setTextFormat(Qt::PlainText);
        label.setText(row.text);
        label.setWordWrap(row.kind == Wrapped);
        label.setAlignment(row.kind == Wrapped ? Qt::AlignLeft | Qt::AlignTop : row.align);
        if (row.kind == Hint) {
            label.setForegroundRole(QPalette::HighlightedText);
            label.setBackgroundRole(QPalette::Highlight);
            label.setAutoFillBackground(true);
            label.setIndent(4);
            label.adjustSize();
            label.setFixedHeight(row.bounds.height());
        }
        break;
    }
    case Edit: {
        auto& edit = Place<QLineEdit>(part);
        edit.setValidator(&latin1_);
        if (row.field)
            connect(&edit, &QLineEdit::textChanged, this,
                    [this, field = *row.field] { FieldChange(field); });
        else
            connect(&edit, &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
        break;
    }
    case List: {
        auto& list = Place<QListView>(part);
        list.setModel(&lstWordListModel);
        list.setUniformItemSizes(true);
        list.setSelectionMode(QAbstractItemView::SingleSelection);
        list.setEditTriggers(QAbstractItemView::NoEditTriggers);
        list.setTextElideMode(Qt::ElideRight);
        // Only the player's own moves in the list count as clicks, not the
        // view's following the editor's changes.
        connect(list.selectionModel(), &QItemSelectionModel::currentChanged, this, [this, handler] {
            if (changingList_ == 0)
                (this->*handler)();
        });
        break;
    }
    case ClassButton: {
        auto& button = Place<QToolButton>(part);
        button.setCheckable(true);
        button.setFocusPolicy(Qt::NoFocus);
        button.setText(ButtonText(row.text ? row.text : TWordListEditor::ExampleWord(row.tag)));
        grpPartOfSpeech.addButton(&button, row.tag);
        break;
    }
    case Radio: {
        auto& button = Place<QRadioButton>(part);
        button.setText(row.text);
        grpSex.addButton(&button, row.tag);
        break;
    }
    case Check: {
        auto& check = Place<QCheckBox>(part);
        check.setText(row.text);
        connect(&check, &QCheckBox::clicked, this, [this, handler] { (this->*handler)(); });
        break;
    }
    case Button: {
        auto& button = Place<QPushButton>(part);
        if (row.text)
            button.setText(row.text);
        button.setAutoDefault(false);
        connect(&button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        break;
    }
    }
}

void TFormWords::NameControls() {
    for (const TRow& row : kRows) {
        if (row.buddy)
            Part<QLabel>(row.part).setBuddy(parts_[*row.buddy].get());
        if (row.accessibleName)
            parts_[row.part]->setAccessibleName(row.accessibleName);
    }
}

QLineEdit& TFormWords::FieldBox(TEditorField field) const {
    return Part<QLineEdit>(kFieldBoxes[static_cast<std::size_t>(field)]);
}

TPartOfSpeech* TFormWords::SelectedWord() {
    TPartOfSpeech* word = editor_.SelectedWord();
    setWindowTitle(ToQString(editor_.Caption()));
    return word;
}

void TFormWords::SelectWordClass(int n) {
    const ListChange change(*this);
    editor_.SelectWordClass(n, FromQString(Part<QLineEdit>(txtWord).text()));
    if (QAbstractButton* button = grpPartOfSpeech.button(editor_.ShownClass()))
        button->setChecked(true);
    ShowWord();
    Part<QStackedWidget>(nbkWords).setCurrentIndex(editor_.ShownClass());
    EnableEditors();
    EmptyWordBox();
    Part<QLabel>(lblNewWord).setText(TWordListEditor::NewWordCaption(editor_.ShownClass()));
    Part<QPushButton>(cmdDelWord).setText(TWordListEditor::DeleteCaption(editor_.ShownClass()));
}

void TFormWords::ShowWord() {
    // Filling a box must not set its form again: the box shows the form, and
    // the word stays as it is.
    if (TPartOfSpeech* word = SelectedWord(); word && word->WordClass() == editor_.ShownClass()) {
        for (const TRow& row : kRows) {
            if (!row.field || TWordListEditor::FieldClass(*row.field) != word->WordClass())
                continue;
            auto& edit = Part<QLineEdit>(row.part);
            const QSignalBlocker block(edit);
            edit.setText(ToQString(editor_.FieldText(*row.field)));
            edit.setCursorPosition(0);
        }
        if (word->WordClass() == wcProperNoun) {
            Part<QRadioButton>(editor_.Male() ? rbSexM : rbSexF).setChecked(true);
        } else if (word->WordClass() == wcAdjective) {
            auto& check = Part<QCheckBox>(chkAdverb);
            const QSignalBlocker block(check);
            check.setChecked(editor_.AdverbAllowed());
        }
    }
    auto& current = Part<QLabel>(lblCurrentWord);
    current.setText(current.fontMetrics().elidedText(ToQString(editor_.CurrentWordText()),
                                                     Qt::ElideMiddle, current.width()));
    for (const TPart p : {sbProperNoun, sbCommonNoun, sbVerb, sbAdjective})
        ShowSentenceWord(Part<QToolButton>(p), editor_.SentenceWord(kRows[p].tag));
    ShowSelection();
}

void TFormWords::ShowSelection() {
    const ListChange change(*this);
    const int row = editor_.Selection();
    auto& list = Part<QListView>(lstWordList);
    QItemSelectionModel* selection = list.selectionModel();
    if (row < 0) {
        selection->clearCurrentIndex();
        selection->clearSelection();
    } else {
        const QModelIndex index = lstWordListModel.index(row);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        list.scrollTo(index);
    }
}

void TFormWords::EnableEditors() {
    const bool on = editor_.Selection() >= 0;
    Part<QPushButton>(cmdDelWord).setEnabled(on);
    const int shown = editor_.ShownClass();
    for (const TRow& row : kRows) {
        const int edited = row.field ? TWordListEditor::FieldClass(*row.field) : row.wordClass;
        if (edited >= 0)
            parts_[row.part]->setEnabled(on && shown == edited);
    }
    if (!on) {
        // No word is selected, so emptying the boxes reaches no word. The
        // short form goes too: it belonged to a word no longer shown.
        for (const TRow& row : kRows) {
            if (!row.field)
                continue;
            auto& edit = Part<QLineEdit>(row.part);
            const QSignalBlocker block(edit);
            edit.clear();
        }
        auto& check = Part<QCheckBox>(chkAdverb);
        const QSignalBlocker block(check);
        check.setChecked(false);
    }
}

TFormWords::~TFormWords() {
    Part<QLineEdit>(txtWord).removeEventFilter(this);
}

void TFormWords::EmptyWordBox() {
    Part<QLineEdit>(txtWord).clear();
}

void TFormWords::FormCreate() {
    SelectWordClass(wcProperNoun);
}

void TFormWords::FormShow() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Part<QLineEdit>(txtWord).setFocus();
}

void TFormWords::FormHide() {
    const ListChange change(*this);
    // A word still in the box stays as an ordinary entry; the edits reach
    // the store and, so that none is lost if the program ends badly later,
    // the words file.
    editor_.CommitWord(FromQString(Part<QLineEdit>(txtWord).text()));
    EmptyWordBox();
    editor_.SaveWords();
}

void TFormWords::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFormWords::setVisible(bool visible) {
    QDialog::setVisible(visible);
    if (!visible && isWindow() && testAttribute(Qt::WA_WState_Created))
        destroy();
}

void TFormWords::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

bool TFormWords::eventFilter(QObject* watched, QEvent* event) {
    // The arrows on the tab bar choose the type before or after.
    if (event->type() == QEvent::KeyPress &&
        grpPartOfSpeech.buttons().contains(qobject_cast<QAbstractButton*>(watched))) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            switch (key->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                StepClass(-1);
                return true;
            case Qt::Key_Right:
            case Qt::Key_Down:
                StepClass(1);
                return true;
            default:
                break;
            }
    }
    if (watched == parts_[txtWord].get()) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                txtWordKeyDown(kEnterKey);
                return true;
            }
        } else if (event->type() == QEvent::FocusOut) {
            // Focus moving to another window or a popup is no leaving the box.
            const auto reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                txtWordExit();
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormWords::sbPartOfSpeechClick(int tag) {
    if (tag == editor_.ShownClass())
        return;
    SelectWordClass(tag);
}

void TFormWords::txtWordChange() {
    const ListChange change(*this);
    editor_.WordTyped(FromQString(Part<QLineEdit>(txtWord).text()));
    if (editor_.PlaceShown())
        Part<QToolButton>(sbPlace).show();
    ShowWord();
    EnableEditors();
}

void TFormWords::txtWordKeyDown(int key) {
    if (key == kEnterKey)
        txtWordExit();
}

void TFormWords::txtWordExit() {
    const ListChange change(*this);
    editor_.CommitWord(FromQString(Part<QLineEdit>(txtWord).text()));
    EmptyWordBox();
}

void TFormWords::lstWordListClick() {
    const QModelIndex current = Part<QListView>(lstWordList).selectionModel()->currentIndex();
    editor_.Select(current.isValid() ? current.row() : -1);
    ShowWord();
    EnableEditors();
}

void TFormWords::cmdDelWordClick() {
    const ListChange change(*this);
    editor_.DeleteSelected();
    ShowWord();
    EnableEditors();
}

void TFormWords::cmdCloseClick() {
    close();
}

void TFormWords::rbSexClick(int tag) {
    editor_.SetMale(tag == 1);
}

void TFormWords::FieldChange(TEditorField field) {
    editor_.SetField(field, FromQString(FieldBox(field).text()));
}

void TFormWords::chkAdverbClick() {
    editor_.SetAdverbAllowed(Part<QCheckBox>(chkAdverb).isChecked());
}
