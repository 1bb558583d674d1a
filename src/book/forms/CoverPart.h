// TCoverPart: the cover spread's controls. It owns the twist panel (the
// level as one choice of three), the hero's and heroine's name panels, and
// "Create story", "Read saved story" and "My stories"; which of them the
// tale shows, where they stand stacked up from the foot of the right page,
// and the whole-number scale they are shown at (the scene's at the window's
// size). The window wires the three commands to its handlers.
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

    QFrame pnlTwist;
    QLabel lblTwist;
    QToolButton sbNone, sbHalf, sbFull;
    QButtonGroup grpTwist;
    QFrame pnlHero;
    QLabel lblHero;
    QLineEdit txtHero;
    QFrame pnlHeroine;
    QLabel lblHeroine;
    QLineEdit txtHeroine;
    QPushButton cmdNewStory, cmdReadSaved, cmdMyStories;

    // The level changed (0 none, 1 half, 2 full): the window shows the
    // cover's picture for it.
    std::function<void()> TwistChanged;

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
    // Stacks the controls shown, the letters panel among them, on RightPage;
    // the saved-story row holds the commands ReadSaved and MyStories say.
    void Place(const TBookBox& rightPage, bool readSaved, bool myStories);
    // The controls, in the order of the cover's Tab stops before sorting.
    std::vector<QWidget*> TabStops();

private:
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
