// TFormShelf: "My stories", the shelf where a child finds every story saved
// and every picture book made, as cards on the book's tiles: the tale's
// picture, the story's title, the tale's title and the date, newest first,
// for one tale or all (cboTale, "Which stories"). The list (lstStories) is a
// Qt list view in icon mode over TShelfModel, so the arrows move between the
// cards, Page Up and Page Down a screen of them, Enter opens one (or presses
// the button that has the focus), Delete asks before it puts one in the bin,
// and screen readers hear each card's title, tale and date.
//
// A line (lblNote) says what the list cannot: an empty shelf says how to
// fill it; opened on a tale with no stories of its own, the shelf shows all
// tales and says so; a tale chosen that has none says that.
//
// Opening a story or a talking book hands it to OpenStory (the storybook
// reads it back for its tale, a talking book to be read aloud in its own
// voice) and closes the shelf; opening a picture book hands it to the
// desktop's viewer (OpenDocument) and keeps the shelf, and where no program
// opens it the player is told where it is and may show its folder (Folders).
// The bin is the desktop's trash (MoveToTrash), after a question; "Undo"
// (cmdUndo, Ctrl+Z) takes the last file binned back out of the trash while
// the shelf is open. A story's recorded voice (TStoryVoice) goes to the bin
// with it and comes back with it. Where the bin takes nothing the shelf asks before it
// removes the file for good (a link that leads nowhere goes without asking:
// nothing is lost with it). A file that cannot be read says so when opened.
//
// The tales' pictures come from the game library once each, however many
// cards show them (ThumbnailLoads counts the loads); once the library has
// gone no more are loaded, and the tiles show their hatch.
#pragma once
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "image/LibraryRef.h"
#include "shelf/forms/ShelfModel.h"
#include "ui/RunHandler.h"
#include "ui/ShowInFolder.h"

class TRL8Library;
class TShelfCard;
namespace TileBG {
class TTileBG;
}

class TFormShelf : public QDialog {
public:
    // Folder: the stories folder (ending with a separator). Tale: the tale
    // chosen at first (1..10), or 0 for all tales. Library gives the tiles
    // and the tales' pictures.
    TFormShelf(const std::string& folder, int tale, TRL8Library& library,
               QWidget* parent = nullptr);
    ~TFormShelf() override;

    // The one way the windows open the shelf: of Folder on Tale (0 all)
    // over Parent, shown by Exec (modally), errors to Errors, picture books
    // to OpenDocument (the desktop's viewer when empty). Returns the story
    // or talking book the player opened, if any.
    struct Choice {
        int tale = 0; // 1..10
        std::string path;
    };
    static std::optional<Choice> Pick(const std::string& folder, int tale, TRL8Library& library,
                                      QWidget* parent, const ErrorSink& errors,
                                      const std::function<bool(const std::string&)>& openDocument,
                                      const std::function<void(TFormShelf&)>& exec);

    QLabel lblTitle;
    QComboBox cboTale; // "All tales", then the tales by title
    QLabel lblNote;    // hidden when there is nothing to say
    QListView lstStories;
    QPushButton cmdOpen, cmdBin, cmdUndo, cmdClose; // cmdUndo shown after a bin

    TShelfModel& Model() { return *model_; }
    // The card chosen (its row); -1 for none.
    int CurrentRow() const;
    int ThumbnailLoads() const { return thumbnailLoads_; }

    // Reads the story or talking book at Path back into the book for Tale
    // (1..10).
    std::function<void(int tale, const std::string& path)> OpenStory;
    // Opens a file with the desktop's viewer; false when none took it.
    std::function<bool(const std::string& path)> OpenDocument;
    // Moves a file to the desktop's trash, InTrash getting where it lies
    // there (empty when that is not known); false where there is no trash or
    // it could not.
    std::function<bool(const std::string& path, std::string& inTrash)> MoveToTrash;
    // A book no program opens: the message, and its folder shown.
    TShowInFolder Folders;
    // Shows an error message.
    ErrorSink ShowError;

    // Handlers.
    void cmdOpenClick();
    void cmdBinClick();
    void cmdUndoClick();
    void cboTaleChange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Build();
    void UpdateButtons();
    QPixmap Thumbnail(int tale);
    // Chooses the card of file Name, or failing that the one at Row.
    void Choose(const std::string& name, int row);
    // Says what the list cannot (lblNote), and places the list below it.
    void ShowNote();
    // Moves the choice a screen of cards down (1) or up (-1), and the list
    // with it.
    void PageBy(int direction);

    TLibraryRef library_;
    std::unique_ptr<TShelfModel> model_;
    std::unique_ptr<TShelfCard> cards_;
    std::unique_ptr<TileBG::TTileBG> tiles_;
    std::map<int, QPixmap> thumbnails_; // by tale; null where there is none
    int thumbnailLoads_ = 0;
    std::string chosen_; // the file of the card chosen, kept across resets
    int rowBefore_ = -1;
    // The tale the shelf was opened on when it had no stories of its own
    // (all tales shown instead), until the player chooses which stories.
    int emptyTale_ = 0;
    // The last file binned: where it lies in the trash; empty when none.
    std::string binned_;
    // Where the voice folder binned with it lies in the trash; empty when none.
    std::string binnedVoice_;
};
