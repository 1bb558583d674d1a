// TCoverPart: the cover spread's controls. It owns the twist panel (the
// level as one choice of three), the hero's and heroine's name panels, and
// "Create story", "Read saved story" and "My stories"; which of them the
// tale shows, where they stand stacked up from the foot of the right page,
// and the whole-number scale they are shown at (the scene's at the window's
// size). The three commands call the window back (OnNewStory, OnReadSaved,
// OnMyStories).
//
// A name box takes only what a Latin-1 story can hold. When letters outside
// it are typed or pasted, the box keeps its text and its note (lblHeroNote,
// lblHeroineNote, standing in place of the panel's instructions) names them,
// "The book cannot write ..."; the note is also the box's accessible
// description, so that screen readers hear it. The next edit the box takes,
// or the next tale, ends it.
#pragma once
#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QToolButton>
#include <functional>
#include <memory>
#include <vector>

#include "book/BookGeometry.h"
#include "book/BookSpread.h"
#include "ui/QtLatin1Validator.h"
#include "ui/ScaledControls.h"

class TBookHost;
class TRL8Library;
class TStoryGenerator;
namespace TileBG {
class TTileBG;
}

class TCoverPart : public QObject {
public:
    // Host, Window, Generator, Library and Letters (the letters panel, shown
    // on the cover with these) outlive the part; the controls are Window's
    // children.
    TCoverPart(TBookHost& host, QWidget& window, TStoryGenerator& generator, TRL8Library& library,
               QWidget& letters);
    ~TCoverPart() override;

    // The level changed (0 none, 1 half, 2 full): the window shows the
    // cover's picture for it.
    std::function<void()> TwistChanged;
    // The commands' presses.
    std::function<void()> OnNewStory, OnReadSaved, OnMyStories;

    // Handlers.
    void rbTwistClick(int tag);
    void txtHeroChange();
    void txtHeroineChange();

    // The tale's cover: whether it names a hero and a heroine, and the
    // generator's names in the boxes (no change is reported).
    void TakeTale(bool hasHero, bool hasHeroine);
    bool HasHero() const { return hasHero_; }
    bool HasHeroine() const { return hasHeroine_; }
    int TwistLevel() const { return twistLevel_; }
    // The controls, the letters panel among them, shown at Scale.
    void SetScale(int scale) { scaled_.Apply(scale); }
    int Scale() const { return scaled_.Scale(); }
    // Stacks the controls a cover spread shows (Controls), the letters
    // panel among them, on RightPage.
    void Place(const TBookBox& rightPage, const TBookSpread::Controls& controls);
    // Shows the controls a spread shows.
    void Show(const TBookSpread::Controls& controls);
    // The controls, in the order of the cover's Tab stops before sorting.
    std::vector<QWidget*> TabStops();

private:
    // A name box with its instructions, its note, the validator that tells
    // it what was refused, and the text it held last.
    struct NameBox {
        QLabel* label = nullptr;
        QLineEdit* box = nullptr;
        QLabel* note = nullptr;
        std::unique_ptr<QtLatin1Validator> latin1;
        QString text;
    };
    static void ShowNote(NameBox& name, const QString& note);
    static void EndNote(NameBox& name);
    // The box's text changed: an edit it took ends the note.
    static void TookText(NameBox& name);

    QFrame pnlTwist;
    QLabel lblTwist;
    QToolButton sbNone, sbHalf, sbFull;
    QButtonGroup grpTwist;
    QFrame pnlHero;
    QLabel lblHero;
    QLineEdit txtHero;
    QLabel lblHeroNote;
    QFrame pnlHeroine;
    QLabel lblHeroine;
    QLineEdit txtHeroine;
    QLabel lblHeroineNote;
    QPushButton cmdNewStory, cmdReadSaved, cmdMyStories;
    NameBox hero_, heroine_;
    TBookHost& host_;
    TStoryGenerator& generator_;
    QWidget& letters_;
    TScaledControls scaled_;
    bool hasHero_ = false, hasHeroine_ = false;
    int twistLevel_ = 2;
    // The panels' tiles, the letters panel's among them: they go before
    // their panels.
    std::vector<std::unique_ptr<TileBG::TTileBG>> tiles_;
};
