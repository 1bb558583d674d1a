// TFormWords: the word-list editor window, created once at start and shown
// modally from the scene's word book. It wires the widgets to the Qt-free
// TWordListEditor, which holds the list, the word being typed and the rules.
//
// Ownership: the words belong to Vocab (shared with this window while it
// edits them); every component is a member, parented to the form.
#pragma once
#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>
#include <array>
#include <memory>

#include "ui/QtLatin1Validator.h"
#include "wordlist/WordListEditor.h"
#include "wordlist/forms/QtWordListModel.h"

class TVocab;

class TFormWords : public QDialog {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 562;
    static constexpr int kClientHeight = 348;

    // Vocab belongs to the story generator and outlives this window.
    explicit TFormWords(TVocab& vocab, QWidget* parent = nullptr);
    // Stops watching the word box first: a focused box that is destroyed
    // sends its focus-out, which must not reach a half-destroyed form.
    ~TFormWords() override;

    TWordListEditor& Editor() { return editor_; }

    // The operations of the window.
    TPartOfSpeech* SelectedWord();
    void SelectWordClass(int n);
    void ShowWord();
    void EnableEditors();

    // The event handlers.
    void FormCreate();
    void FormShow();
    void FormHide();
    void sbPartOfSpeechClick(int tag);
    void txtWordChange();
    void txtWordKeyDown(int key);
    void txtWordExit();
    void lstWordListClick();
    void cmdDelWordClick();
    void cmdCloseClick();
    void rbSexClick(int tag);
    void txtNicknameChange();
    void txtPluralChange();
    void txtPastTenseChange();
    void txtContinuousChange();
    void txtPresentTenseChange();
    void txtParticipleChange();
    void txtBiggerChange();
    void txtBiggestChange();
    void chkAdverbClick();
    void txtAdverbChange();

    // Closed, the window gives its window-system window back, so that it is
    // no longer among the application's windows (nor in screen readers' tree)
    // until it shows again.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildForm();
    void BuildPages();
    // Ties the edit boxes to their labels and names the controls for screen
    // readers.
    void NameControls();
    // The box of Field and its form.
    QLineEdit& FieldBox(TEditorField field);
    void FieldChanged(TEditorField field);
    // Empties txtWord (its change handler runs as for any change).
    void EmptyWordBox();
    // The list view's selection follows the editor's.
    void ShowSelection();

    TWordListEditor editor_;
    QtLatin1Validator latin1_;
    // Above 0 while the editor changes the list or the view follows it.
    int changingList_ = 0;
    struct ListChange {
        explicit ListChange(TFormWords& form) : form_(form) { ++form_.changingList_; }
        ~ListChange() { --form_.changingList_; }
        TFormWords& form_;
    };

    // The components, each with its own name as objectName. Parents come before their
    // children so that children go first when the form is destroyed.
    QFrame pnlSelect;
    QLabel lblWill, lblThe, lblQuestion;
    QToolButton sbProperNoun, sbVerb, sbAdjective, sbCommonNoun, sbPlace;
    QButtonGroup grpPartOfSpeech;
    QWidget pnlWordList;
    QLabel lblNewWord;
    QLineEdit txtWord;
    QListView lstWordList;
    QtWordListModel lstWordListModel;
    QPushButton cmdDelWord;
    QGroupBox gbxEditor;
    QLabel lblCurrentWord;
    QStackedWidget nbkWords;
    std::array<QWidget, 5> pgWords;
    // Page 0: names.
    QLabel lblNamesText;
    QGroupBox gbxSex;
    QLabel lblSexText;
    QRadioButton rbSexF, rbSexM;
    QButtonGroup grpSex;
    QGroupBox gbxShortForm;
    QLabel lblShortFormText;
    QLineEdit txtNickname;
    // Page 1: things.
    QLabel lblNounsText;
    QGroupBox gbxPlural;
    QLabel lblPluralPhrase;
    QLineEdit txtPlural;
    QLabel lblFixPlural;
    // Page 2: actions.
    QLabel lblVerbsText;
    QGroupBox gbxTenses;
    std::array<QLabel, 4> lblTensePhrase;
    QLineEdit txtPastTense, txtContinuous, txtPresentTense, txtParticiple;
    std::array<QLabel, 4> lblTenseDots;
    QLabel lblFixTenses;
    // Page 3: descriptions.
    QLabel lblAdjectivesText;
    QGroupBox gbxBigger;
    std::array<QLabel, 2> lblBiggerPhrase;
    QLineEdit txtBigger, txtBiggest;
    QLabel lblFixBigger;
    QCheckBox chkAdverb;
    QLineEdit txtAdverb;
    // Page 4: places.
    QLabel lblPlacesText;
    QPushButton cmdClose;
};
