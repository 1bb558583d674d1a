// TKeepsakesPart: the story's keepsakes, the bottom row of the commands
// panel. "Make a picture book" writes the story's PDF picture book into the
// stories folder under a name of its own (TPictureBookPlan::FileName), never
// over a file, and offers to open it. "Make a talking book", the small
// button beside it (five commands do not fit the panel), does the same with
// the story's EPUB talking book (TTalkingBook): the voice reads the whole
// story at the pace chosen in the book on a thread of its own
// (TTalkingBookMaker) while the window goes on, its progress bar and Cancel
// in place of the row's text. The book is written beside its place and
// named only when whole: a cancelled or failed one leaves nothing. While it
// is made its button is faded; closing the book cancels it. Each confirms
// with its red message in the row.
#pragma once
#include <QDateTime>
#include <QLabel>
#include <QObject>
#include <QProgressBar>
#include <QPushButton>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBookHost;
class TCommandsPart;
class TTalkingBookMaker;
namespace plat {
class SpeechSynth;
}

class TKeepsakesPart : public QObject {
public:
    // Host and Commands (whose panel holds the row) outlive the part.
    TKeepsakesPart(TBookHost& host, TCommandsPart& commands);
    ~TKeepsakesPart() override;

    // The picture book's button, then the talking book's.
    std::vector<QWidget*> TabStops();

    // Handlers; each shows its own errors.
    void cmdPictureBookClick();
    // Starts the talking book; what it made is offered once it is done.
    void cmdTalkingBookClick();
    // Stops the talking book being made after the sentence being said.
    void cmdCancelTalkingBookClick();

    // A talking book is being made.
    bool MakingTalkingBook() const;
    // Waits until the talking book being made is done and shows what it
    // made (its message and offer, or its error); nothing when none is.
    void FinishTalkingBook();
    // Cancels the talking book being made and waits for it: nothing is
    // left of it and nothing is shown (the book closes).
    void CancelTalkingBook();

    // Writes the story's picture book into the stories folder under a name
    // of its own, never over a file, and returns its path; raises with the
    // reason, leaving nothing written, when it cannot.
    std::string MakePictureBook();
    // Starts the story's talking book (.epub), written beside the first of
    // its fresh names in the stories folder; raises with the reason when it
    // cannot start.
    void StartTalkingBook();

    // Opens a file with the desktop's viewer; false when none took it
    // (replaced in tests).
    std::function<bool(const std::string& path)> OpenDocument;
    // The local time now (replaced in tests).
    std::function<QDateTime()> Clock;
    // A voice for the talking book, its own (used on the maker's thread
    // only); nullptr when there is none (replaced in tests).
    std::function<std::unique_ptr<plat::SpeechSynth>()> MakeVoice;

private:
    // The stories folder, made when missing; What names the command in the
    // error raised when it cannot be.
    const std::string& KeepsakeFolder(const std::string& what);
    // The path in Folder of Tale's Copy'th name (1 first) for the moment
    // When with Extension.
    static std::string KeepsakePath(const std::string& folder, int tale, const QDateTime& when,
                                    int copy, const char* extension);
    // Shows Made and offers to open the file at Path (What and Kind as
    // MakeAndOffer's): in this book when InBook (a talking book, which it
    // plays), else in the desktop's program for it.
    void Offer(const std::string& path, QLabel& made, const std::string& what,
               const std::string& kind, bool inBook = false);
    // The maker told of progress: shows it, or what it made when done.
    void TalkingBookProgress();
    // Shows the bar and Cancel in place of the row's text, or back.
    void ShowMaking(bool making);
    // Writes Bytes into the stories folder under a fresh name for the
    // moment now with Extension; What names the command in its errors.
    std::string WriteKeepsake(const std::string& bytes, const char* extension,
                              const std::string& what);
    // Runs Make with the wait cursor, then shows Made and offers to open the
    // file it wrote: What ("Picture book") names the offer and the errors,
    // Kind the file in the offer's text.
    void MakeAndOffer(const std::function<std::string()>& make, QLabel& made,
                      const std::string& what, const std::string& kind);

    TBookHost& host_;
    TCommandsPart& commands_;
    QLabel lblBookMade, lblTalkingBookMade;
    QPushButton cmdPictureBook, cmdTalkingBook;
    QLabel lblPictureBookText;
    // How much of the talking book's voice is made, while it is made.
    QProgressBar prgTalkingBook;
    QPushButton cmdCancelTalkingBook;
    // The Copy'th name of the talking book being made (its folder, tale and
    // moment as they were when it started).
    std::function<std::string(int copy)> talkingBookPath_;
    std::unique_ptr<TTalkingBookMaker> maker_;
};
