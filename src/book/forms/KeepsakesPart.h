// TKeepsakesPart: the story's keepsakes, the bottom row of the commands
// panel. "Make a picture book" writes the story's PDF picture book into the
// stories folder under a name of its own (TPictureBookPlan::FileName), never
// over a file, and offers to open it. "Make a talking book", the small
// button beside it (five commands do not fit the panel), does the same with
// the story's EPUB talking book (TTalkingBook): the voice reads the whole
// story at the pace chosen in the book while the wait cursor shows, and a
// progress bar over the row's text once that takes longer than half a
// second. Each confirms with its red message in the row.
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
    void cmdTalkingBookClick();

    // Writes the story's picture book into the stories folder under a name
    // of its own, never over a file, and returns its path; raises with the
    // reason, leaving nothing written, when it cannot.
    std::string MakePictureBook();
    // Writes the story's talking book (.epub) into the stories folder under
    // a name of its own, never over a file, and returns its path; raises
    // with the reason, leaving nothing written, when it cannot (no voice
    // engine among the reasons).
    std::string MakeTalkingBook();

    // Opens a file with the desktop's viewer; false when none took it
    // (replaced in tests).
    std::function<bool(const std::string& path)> OpenDocument;
    // The local time now (replaced in tests).
    std::function<QDateTime()> Clock;
    // A voice for the talking book; nullptr when there is none (replaced in
    // tests).
    std::function<std::unique_ptr<plat::SpeechSynth>()> MakeVoice;

private:
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
};
