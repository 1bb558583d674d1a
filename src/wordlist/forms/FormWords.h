// TFormWords: the word-list editor window, created once at start and shown
// modally from the scene's word book. It wires the widgets to the Qt-free
// TWordListEditor, which holds the list, the word being typed and the rules.
//
// The window is built from a table (kRows in FormWords.cpp): one row per
// component, with its kind, name, parent, place, letters, text, the word or
// form it edits and its handler.
//
// The word types' buttons in the example sentence are a tab bar: one Tab
// stop on the type shown, the arrows move between the types, Ctrl+Tab and
// Ctrl+Page Down go to the next (Ctrl+Shift+Tab, Ctrl+Page Up the one
// before), round the sentence; screen readers find a tab list ("Word
// types") of page tabs named after what the words are ("Names", ...), the
// one shown selected. Tab then goes through the new-word box, the list,
// the delete button, the page's own boxes and Close.
//
// Ownership: the words belong to Vocab (shared with this window while it
// edits them); every component is owned by the window (parts_) and parented
// to its component in the table.
#pragma once
#include <QButtonGroup>
#include <QDialog>
#include <QShortcut>
#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "ui/QtLatin1Validator.h"
#include "wordlist/WordListEditor.h"
#include "wordlist/forms/QtWordListModel.h"

class QLineEdit;
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
    // The box of Field changed: the selected word takes its text as that form.
    void FieldChange(TEditorField field);
    void chkAdverbClick();

    // Closed, the window gives its window-system window back, so that it is
    // no longer among the application's windows (nor in screen readers' tree)
    // until it shows again.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The number of components, one per row of the window's table
    // (FormWords.cpp), where each is named.
    static constexpr std::size_t kPartCount = 61;

    // Builds the component of the table's row Part into parts_ under its
    // parent (built before it) and ties it to its handler.
    void Build(std::size_t part);
    // Makes the component of row Part a W, names it, places it under its
    // parent and gives it its letters.
    template <class W> W& Place(std::size_t part);
    // Ties the edit boxes to their labels and names the controls for screen
    // readers.
    void NameControls();
    // The component of row Part, which the row makes a W.
    template <class W> W& Part(std::size_t part) const { return static_cast<W&>(*parts_[part]); }
    // The box of Field.
    QLineEdit& FieldBox(TEditorField field) const;
    // Empties txtWord (its change handler runs as for any change).
    void EmptyWordBox();
    // The list view's selection follows the editor's.
    void ShowSelection();
    // Makes the word types a tab bar: its Tab stop, the keys that switch
    // the type, its interfaces for screen readers; orders the Tab key.
    void MakeTabBar();
    // Shows the word type Step (1 or -1) along the sentence from the one
    // shown, round its end.
    void StepClass(int step);

    TWordListEditor editor_;
    QtLatin1Validator latin1_;
    // Above 0 while the editor changes the list or the view follows it.
    int changingList_ = 0;
    struct ListChange {
        explicit ListChange(TFormWords& form) : form_(form) { ++form_.changingList_; }
        ~ListChange() { --form_.changingList_; }
        TFormWords& form_;
    };
    QtWordListModel lstWordListModel;
    QButtonGroup grpPartOfSpeech;
    QButtonGroup grpSex;
    std::vector<std::unique_ptr<QShortcut>> classKeys_; // children of the window
    // Destroyed from the last to the first, so children go before their
    // parents.
    std::array<std::unique_ptr<QWidget>, kPartCount> parts_;
};
