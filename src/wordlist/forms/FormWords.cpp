// TFormWords: the word-list editor window.
#include "wordlist/forms/FormWords.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QSignalBlocker>

#include "platform/qt/Latin1.h"
#include "vocab/Vocab.h"

namespace {
constexpr int kItemHeight = 13;
constexpr int kEnterKey = 13;

QFont SansFont(int pixels, bool bold) {
    QFont font("Liberation Sans");
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
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
}

void Place(QWidget& widget, QWidget& parent, int left, int top, int width, int height,
           const char* name) {
    widget.setParent(&parent);
    widget.setObjectName(name);
    widget.setGeometry(left, top, width, height);
}

void PlaceLabel(QLabel& label, QWidget& parent, int left, int top, int width, int height,
                const char* name, const char* text, bool wrap = false,
                Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    Place(label, parent, left, top, width, height, name);
    label.setTextFormat(Qt::PlainText);
    label.setText(text);
    label.setWordWrap(wrap);
    label.setAlignment(wrap ? Qt::AlignLeft | Qt::AlignTop : align);
}
} // namespace

TFormWords::TFormWords(TVocab& vocab, QWidget* parent)
    : QDialog(parent), editor_(vocab), lstWordListModel(editor_, kItemHeight) {
    BuildForm();
    BuildPages();
    NameControls();
    FormCreate();
}

void TFormWords::BuildForm() {
    setObjectName("FormWords");
    setWindowTitle(TWordListEditor::kCaption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kClientWidth, kClientHeight);
    setFont(SansFont(11, true));
    const QFont plain = SansFont(11, false);
    const QFont editorFont = SansFont(12, false);

    // The example sentence with its class buttons.
    Place(pnlSelect, *this, 0, 0, 562, 41, "pnlSelect");
    pnlSelect.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PlaceLabel(lblWill, pnlSelect, 40, 14, 22, 13, "lblWill", "Will", false,
               Qt::AlignRight | Qt::AlignVCenter);
    PlaceLabel(lblThe, pnlSelect, 291, 14, 19, 13, "lblThe", "the");
    PlaceLabel(lblQuestion, pnlSelect, 498, 14, 8, 13, "lblQuestion", "?");
    struct ClassButton {
        QToolButton& button;
        int tag, left, width;
        const char* name;
    };
    const ClassButton buttons[] = {
        {sbProperNoun, wcProperNoun, 67, 128, "sbProperNoun"},
        {sbVerb, wcVerb, 198, 89, "sbVerb"},
        {sbAdjective, wcAdjective, 314, 89, "sbAdjective"},
        {sbCommonNoun, wcNoun, 406, 89, "sbCommonNoun"},
        {sbPlace, wcPlace, 516, 37, "sbPlace"},
    };
    for (const auto& b : buttons) {
        Place(b.button, pnlSelect, b.left, 8, b.width, 25, b.name);
        b.button.setCheckable(true);
        b.button.setFocusPolicy(Qt::NoFocus);
        b.button.setText(ButtonText(TWordListEditor::ExampleWord(b.tag)));
        grpPartOfSpeech.addButton(&b.button, b.tag);
    }
    sbPlace.setText("Place");
    sbPlace.setFont(plain);
    sbPlace.hide();
    sbProperNoun.setChecked(true);
    grpPartOfSpeech.setExclusive(true);
    connect(&grpPartOfSpeech, &QButtonGroup::idClicked, this,
            [this](int tag) { sbPartOfSpeechClick(tag); });

    // The list with its new-word box on the left, the editor on the right.
    Place(pnlWordList, *this, 0, 41, 562, 307, "pnlWordList");
    PlaceLabel(lblNewWord, pnlWordList, 4, 12, 64, 15, "lblNewWord", "New word:", false,
               Qt::AlignRight | Qt::AlignVCenter);
    lblNewWord.setFont(editorFont);
    Place(txtWord, pnlWordList, 72, 7, 101, 23, "txtWord");
    txtWord.setFont(editorFont);
    txtWord.setValidator(&latin1_);
    txtWord.installEventFilter(this);
    connect(&txtWord, &QLineEdit::textChanged, this, [this] { txtWordChange(); });

    Place(lstWordList, pnlWordList, 6, 35, 167, 266, "lstWordList");
    lstWordList.setModel(&lstWordListModel);
    lstWordList.setUniformItemSizes(true);
    lstWordList.setSelectionMode(QAbstractItemView::SingleSelection);
    lstWordList.setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstWordList.setTextElideMode(Qt::ElideRight);
    // Only the player's own moves in the list count as clicks, not the
    // view's following the editor's changes.
    connect(lstWordList.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (changingList_ == 0)
            lstWordListClick();
    });

    Place(cmdDelWord, pnlWordList, 178, 277, 83, 25, "cmdDelWord");
    cmdDelWord.setFont(editorFont);
    cmdDelWord.setAutoDefault(false);
    connect(&cmdDelWord, &QPushButton::clicked, this, [this] { cmdDelWordClick(); });

    Place(gbxEditor, pnlWordList, 178, 0, 377, 272, "gbxEditor");
    gbxEditor.setFont(editorFont);
    PlaceLabel(lblCurrentWord, gbxEditor, 8, 12, 361, 24, "lblCurrentWord",
               "Pick a word from the list!", false, Qt::AlignCenter);
    QFont serif("Liberation Serif");
    serif.setPixelSize(16);
    serif.setBold(true);
    lblCurrentWord.setFont(serif);
    Place(nbkWords, gbxEditor, 8, 34, 361, 228, "nbkWords");

    Place(cmdClose, pnlWordList, 466, 277, 89, 25, "cmdClose");
    cmdClose.setText("Close");
    cmdClose.setFont(plain);
    cmdClose.setAutoDefault(false);
    connect(&cmdClose, &QPushButton::clicked, this, [this] { cmdCloseClick(); });

    setTabOrder(&txtWord, &lstWordList);
    setTabOrder(&lstWordList, &cmdDelWord);
    setTabOrder(&cmdDelWord, &nbkWords);
}

void TFormWords::BuildPages() {
    const QFont text = SansFont(12, false);
    const QFont caption = SansFont(12, true);
    const QFont hint = SansFont(11, false);
    static const char* const pageNames[] = {"pgNames", "pgNouns", "pgVerbs", "pgAdjectives",
                                            "pgPlaces"};
    for (int i = 0; i < 5; ++i) {
        pgWords[i].setObjectName(pageNames[i]);
        nbkWords.addWidget(&pgWords[i]);
    }
    auto group = [&](QGroupBox& box, QWidget& page, int top, int height, const char* name,
                     const char* title) {
        Place(box, page, 0, top, 361, height, name);
        box.setTitle(title);
        box.setFont(caption);
    };
    auto label = [&](QLabel& l, QWidget& parent, int left, int top, int width, int height,
                     const char* name, const char* s, bool wrap = false) {
        PlaceLabel(l, parent, left, top, width, height, name, s, wrap);
        l.setFont(text);
    };
    auto box = [&](QLineEdit& edit, QWidget& parent, int left, int top, int width, const char* name,
                   void (TFormWords::*handler)()) {
        Place(edit, parent, left, top, width, 23, name);
        edit.setFont(text);
        edit.setValidator(&latin1_);
        connect(&edit, &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
    };
    auto hintLabel = [&](QLabel& l, QWidget& parent, int left, int top, int width, const char* name,
                         const char* s) {
        PlaceLabel(l, parent, left, top, width, 17, name, s);
        l.setFont(hint);
        l.setForegroundRole(QPalette::HighlightedText);
        l.setBackgroundRole(QPalette::Highlight);
        l.setAutoFillBackground(true);
        l.setIndent(4);
        l.adjustSize();
        l.setFixedHeight(17);
    };

    // Page 0: names.
    QWidget& names = pgWords[0];
    label(lblNamesText, names, 0, 0, 361, 46, "lblNamesText",
          "This is a list of people's names. We pick one of these whenever a name is needed in "
          "the stories. Try using the names of friends, family members, or celebrities.",
          true);
    group(gbxSex, names, 50, 80, "gbxSex", " Male or female? ");
    label(lblSexText, gbxSex, 8, 18, 345, 32, "lblSexText",
          "Use these buttons to say whether this name is for male or for female characters.", true);
    Place(rbSexF, gbxSex, 16, 52, 90, 20, "rbSexF");
    rbSexF.setText("Female");
    Place(rbSexM, gbxSex, 130, 52, 90, 20, "rbSexM");
    rbSexM.setText("Male");
    for (QRadioButton* rb : {&rbSexF, &rbSexM})
        rb->setFont(text);
    grpSex.addButton(&rbSexF, 0);
    grpSex.addButton(&rbSexM, 1);
    connect(&grpSex, &QButtonGroup::idClicked, this, [this](int tag) { rbSexClick(tag); });
    group(gbxShortForm, names, 136, 88, "gbxShortForm", " Short form ");
    label(lblShortFormText, gbxShortForm, 8, 18, 345, 32, "lblShortFormText",
          "Use this space for a short form of the person's name. First names and nicknames "
          "make good short forms.",
          true);
    box(txtNickname, gbxShortForm, 8, 56, 200, "txtNickname", &TFormWords::txtNicknameChange);

    // Page 1: things.
    QWidget& nouns = pgWords[1];
    label(lblNounsText, nouns, 0, 0, 361, 46, "lblNounsText",
          "This is a list of the things that might appear in the stories. Add words of your "
          "own to make the stories even funnier!",
          true);
    group(gbxPlural, nouns, 50, 90, "gbxPlural", " What if there's more than one? ");
    label(lblPluralPhrase, gbxPlural, 8, 28, 118, 16, "lblPluralPhrase", "Goldilocks saw two");
    box(txtPlural, gbxPlural, 128, 24, 170, "txtPlural", &TFormWords::txtPluralChange);
    hintLabel(lblFixPlural, gbxPlural, 8, 60, 345, "lblFixPlural",
              "Fix the sentence if it looks wrong");

    // Page 2: actions.
    QWidget& verbs = pgWords[2];
    label(lblVerbsText, verbs, 0, 0, 361, 32, "lblVerbsText",
          "This is a list of action words. These are tricky to work with because they can "
          "have so many different forms.",
          true);
    group(gbxTenses, verbs, 36, 188, "gbxTenses", " Check these out ");
    struct Tense {
        const char* phrase;
        QLineEdit& edit;
        const char* name;
        void (TFormWords::*handler)();
    };
    const Tense tenses[] = {
        {"Yesterday, Goldilocks", txtPastTense, "txtPastTense", &TFormWords::txtPastTenseChange},
        {"Today, Goldilocks is", txtContinuous, "txtContinuous", &TFormWords::txtContinuousChange},
        {"Sometimes, Goldilocks", txtPresentTense, "txtPresentTense",
         &TFormWords::txtPresentTenseChange},
        {"Goldilocks has just", txtParticiple, "txtParticiple", &TFormWords::txtParticipleChange},
    };
    static const char* const phraseNames[] = {"lblPastPhrase", "lblContinuousPhrase",
                                              "lblPresentPhrase", "lblParticiplePhrase"};
    static const char* const dotNames[] = {"lblPastDots", "lblContinuousDots", "lblPresentDots",
                                           "lblParticipleDots"};
    for (int i = 0; i < 4; ++i) {
        const int top = 24 + 32 * i;
        label(lblTensePhrase[i], gbxTenses, 8, top + 4, 138, 16, phraseNames[i], tenses[i].phrase);
        box(tenses[i].edit, gbxTenses, 148, top, 170, tenses[i].name, tenses[i].handler);
        label(lblTenseDots[i], gbxTenses, 321, top + 4, 20, 16, dotNames[i], "...");
    }
    hintLabel(lblFixTenses, gbxTenses, 8, 158, 345, "lblFixTenses",
              "Fix any phrases that look wrong");

    // Page 3: descriptions.
    QWidget& adjectives = pgWords[3];
    label(lblAdjectivesText, adjectives, 0, 0, 361, 46, "lblAdjectivesText",
          "This is a list of descriptive words. Think of more descriptive words to put your "
          "own special twist in the \"fablewhirl\".",
          true);
    group(gbxBigger, adjectives, 50, 122, "gbxBigger", " Bigger, biggest ");
    label(lblBiggerPhrase[0], gbxBigger, 8, 28, 150, 16, "lblBiggerPhrase",
          "The next one was even");
    box(txtBigger, gbxBigger, 160, 24, 170, "txtBigger", &TFormWords::txtBiggerChange);
    label(lblBiggerPhrase[1], gbxBigger, 8, 60, 150, 16, "lblBiggestPhrase",
          "But the last one was the");
    box(txtBiggest, gbxBigger, 160, 56, 170, "txtBiggest", &TFormWords::txtBiggestChange);
    hintLabel(lblFixBigger, gbxBigger, 8, 94, 345, "lblFixBigger",
              "Fix any sentences that look wrong");
    Place(chkAdverb, adjectives, 0, 184, 206, 20, "chkAdverb");
    chkAdverb.setText("This word can describe an action:");
    chkAdverb.setFont(text);
    connect(&chkAdverb, &QCheckBox::clicked, this, [this] { chkAdverbClick(); });
    box(txtAdverb, adjectives, 210, 182, 151, "txtAdverb", &TFormWords::txtAdverbChange);

    // Page 4: places.
    label(lblPlacesText, pgWords[4], 0, 0, 361, 20, "lblPlacesText", "Places");
}

QLineEdit& TFormWords::FieldBox(TEditorField field) {
    switch (field) {
    case TEditorField::Nickname:
        return txtNickname;
    case TEditorField::Plural:
        return txtPlural;
    case TEditorField::PastTense:
        return txtPastTense;
    case TEditorField::Continuous:
        return txtContinuous;
    case TEditorField::PresentTense:
        return txtPresentTense;
    case TEditorField::Participle:
        return txtParticiple;
    case TEditorField::Bigger:
        return txtBigger;
    case TEditorField::Biggest:
        return txtBiggest;
    case TEditorField::Adverb:
        break;
    }
    return txtAdverb;
}

TPartOfSpeech* TFormWords::SelectedWord() {
    TPartOfSpeech* word = editor_.SelectedWord();
    setWindowTitle(ToQString(editor_.Caption()));
    return word;
}

void TFormWords::SelectWordClass(int n) {
    const ListChange change(*this);
    editor_.SelectWordClass(n, FromQString(txtWord.text()));
    if (QAbstractButton* button = grpPartOfSpeech.button(editor_.ShownClass()))
        button->setChecked(true);
    ShowWord();
    nbkWords.setCurrentIndex(editor_.ShownClass());
    EnableEditors();
    EmptyWordBox();
    lblNewWord.setText(TWordListEditor::NewWordCaption(editor_.ShownClass()));
    cmdDelWord.setText(TWordListEditor::DeleteCaption(editor_.ShownClass()));
}

void TFormWords::ShowWord() {
    // Filling a box must not set its form again: the box shows the form, and
    // the word stays as it is.
    if (TPartOfSpeech* word = SelectedWord(); word && word->WordClass() == editor_.ShownClass()) {
        for (int f = 0; f < kEditorFieldCount; ++f) {
            const auto field = static_cast<TEditorField>(f);
            if (TWordListEditor::FieldClass(field) != word->WordClass())
                continue;
            QLineEdit& edit = FieldBox(field);
            const QSignalBlocker block(edit);
            edit.setText(ToQString(editor_.FieldText(field)));
            edit.setCursorPosition(0);
        }
        if (word->WordClass() == wcProperNoun) {
            (editor_.Male() ? rbSexM : rbSexF).setChecked(true);
        } else if (word->WordClass() == wcAdjective) {
            const QSignalBlocker block(chkAdverb);
            chkAdverb.setChecked(editor_.AdverbAllowed());
        }
    }
    lblCurrentWord.setText(lblCurrentWord.fontMetrics().elidedText(
        ToQString(editor_.CurrentWordText()), Qt::ElideMiddle, lblCurrentWord.width()));
    ShowSentenceWord(sbProperNoun, editor_.SentenceWord(wcProperNoun));
    ShowSentenceWord(sbCommonNoun, editor_.SentenceWord(wcNoun));
    ShowSentenceWord(sbVerb, editor_.SentenceWord(wcVerb));
    ShowSentenceWord(sbAdjective, editor_.SentenceWord(wcAdjective));
    ShowSelection();
}

void TFormWords::ShowSelection() {
    const ListChange change(*this);
    const int row = editor_.Selection();
    QItemSelectionModel* selection = lstWordList.selectionModel();
    if (row < 0) {
        selection->clearCurrentIndex();
        selection->clearSelection();
    } else {
        const QModelIndex index = lstWordListModel.index(row);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        lstWordList.scrollTo(index);
    }
}

void TFormWords::EnableEditors() {
    const bool on = editor_.Selection() >= 0;
    cmdDelWord.setEnabled(on);
    const int shown = editor_.ShownClass();
    for (QWidget* w : {static_cast<QWidget*>(&rbSexF), static_cast<QWidget*>(&rbSexM),
                       static_cast<QWidget*>(&txtNickname)})
        w->setEnabled(on && shown == wcProperNoun);
    txtPlural.setEnabled(on && shown == wcNoun);
    for (QLineEdit* e : {&txtPastTense, &txtContinuous, &txtPresentTense, &txtParticiple})
        e->setEnabled(on && shown == wcVerb);
    for (QWidget* w : {static_cast<QWidget*>(&txtBigger), static_cast<QWidget*>(&txtBiggest),
                       static_cast<QWidget*>(&chkAdverb), static_cast<QWidget*>(&txtAdverb)})
        w->setEnabled(on && shown == wcAdjective);
    if (!on) {
        // No word is selected, so emptying the boxes reaches no word. The
        // short form goes too: it belonged to a word no longer shown.
        for (QLineEdit* e :
             {&txtNickname, &txtPlural, &txtPastTense, &txtContinuous, &txtPresentTense,
              &txtParticiple, &txtBigger, &txtBiggest, &txtAdverb}) {
            const QSignalBlocker block(e);
            e->clear();
        }
        const QSignalBlocker block(chkAdverb);
        chkAdverb.setChecked(false);
    }
}

TFormWords::~TFormWords() {
    txtWord.removeEventFilter(this);
}

void TFormWords::EmptyWordBox() {
    txtWord.clear();
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
    txtWord.setFocus();
}

void TFormWords::FormHide() {
    const ListChange change(*this);
    // A word still in the box stays as an ordinary entry; the edits reach
    // the store and, so that none is lost if the program ends badly later,
    // the words file.
    editor_.CommitWord(FromQString(txtWord.text()));
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
    if (watched == &txtWord) {
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
    editor_.WordTyped(FromQString(txtWord.text()));
    if (editor_.PlaceShown())
        sbPlace.show();
    ShowWord();
    EnableEditors();
}

void TFormWords::txtWordKeyDown(int key) {
    if (key == kEnterKey)
        txtWordExit();
}

void TFormWords::txtWordExit() {
    const ListChange change(*this);
    editor_.CommitWord(FromQString(txtWord.text()));
    EmptyWordBox();
}

void TFormWords::lstWordListClick() {
    const QModelIndex current = lstWordList.selectionModel()->currentIndex();
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

void TFormWords::FieldChanged(TEditorField field) {
    editor_.SetField(field, FromQString(FieldBox(field).text()));
}

void TFormWords::txtNicknameChange() {
    FieldChanged(TEditorField::Nickname);
}
void TFormWords::txtPluralChange() {
    FieldChanged(TEditorField::Plural);
}
void TFormWords::txtPastTenseChange() {
    FieldChanged(TEditorField::PastTense);
}
void TFormWords::txtContinuousChange() {
    FieldChanged(TEditorField::Continuous);
}
void TFormWords::txtPresentTenseChange() {
    FieldChanged(TEditorField::PresentTense);
}
void TFormWords::txtParticipleChange() {
    FieldChanged(TEditorField::Participle);
}
void TFormWords::txtBiggerChange() {
    FieldChanged(TEditorField::Bigger);
}
void TFormWords::txtBiggestChange() {
    FieldChanged(TEditorField::Biggest);
}
void TFormWords::txtAdverbChange() {
    FieldChanged(TEditorField::Adverb);
}

void TFormWords::chkAdverbClick() {
    editor_.SetAdverbAllowed(chkAdverb.isChecked());
}
