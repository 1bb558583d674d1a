// TKeepsakesPart: the picture book and the talking book, made into the
// stories folder and offered to be opened.
#include "book/forms/KeepsakesPart.h"
#include "platform/OpusCodec.h"

#include <QDir>
#include <QMetaObject>
#include <algorithm>
#include <ctime>
#include <stdexcept>

#include "book/Book.h"
#include "book/BookLetters.h"
#include "book/StoryOrigin.h"
#include "book/forms/BookHost.h"
#include "book/forms/CommandsPart.h"
#include "book/forms/LettersPart.h"
#include "book/forms/PagePainter.h"
#include "keepsake/PictureBookPlan.h"
#include "keepsake/TalkingBook.h"
#include "keepsake/TalkingBookMaker.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/FileStream.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/TextCodec.h"
#include "platform/qt/LocalPath.h"
#include "reading/ReadingPace.h"
#include "shelf/StoryVoice.h"
#include "story/TalePictures.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/RunHandler.h"
#include "ui/ShowInFolder.h"
#include "voice/RecordedVoiceSynth.h"

namespace {

// The row, below the commands' on the panel: the red message, the picture
// book's button with the talking book's small one right of it, the text.
constexpr int kTop = 242, kColumnLeft = 13, kColumnWidth = 200;
constexpr int kMessageLeft = 23, kMessageWidth = 129, kMessageHeight = 15;
constexpr int kButtonWidth = 149, kButtonHeight = 29, kTextHeight = 28;
constexpr int kSmallButtonLeft = kColumnLeft + kButtonWidth + 6, kSmallButtonWidth = 36;
// Cancel, right of the progress bar on the text's row.
constexpr int kCancelWidth = 60, kCancelHeight = 22;
constexpr const char* kTalkingBookTip = "Make a talking book: this story as an e-book that "
                                        "reads itself aloud, each word lit as it is read.";

// The picture book's letters: those chosen for the story's pages.
QtPictureBook::Letters BookLetters(const TBookLetters& chosen) {
    return {QString(chosen.Family()), chosen.Points()};
}

} // namespace

TKeepsakesPart::TKeepsakesPart(TBookHost& host, TCommandsPart& commands)
    : QObject(&commands.Panel()), host_(host), commands_(commands), lblBookMade(&commands.Panel()),
      lblTalkingBookMade(&commands.Panel()), cmdPictureBook(&commands.Panel()),
      cmdTalkingBook(&commands.Panel()), lblPictureBookText(&commands.Panel()),
      prgTalkingBook(&commands.Panel()), cmdCancelTalkingBook(&commands.Panel()) {
    setObjectName("KeepsakesPart");
    const int buttonTop = kTop + kMessageHeight;
    for (const auto& [message, name, text] :
         {std::tuple{&lblBookMade, "lblBookMade", "Picture book made!"},
          std::tuple{&lblTalkingBookMade, "lblTalkingBookMade", "Talking book made!"}}) {
        message->setObjectName(name);
        message->setText(text);
        QPalette red = message->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        message->setPalette(red);
        message->setAlignment(Qt::AlignCenter);
        message->setWordWrap(true);
        message->hide();
        message->setGeometry(kMessageLeft, kTop, kMessageWidth, kMessageHeight);
        commands.AddMessage(*message);
    }
    cmdPictureBook.setObjectName("cmdPictureBook");
    cmdPictureBook.setText("Make a picture book");
    cmdPictureBook.setGeometry(kColumnLeft, buttonTop, kButtonWidth, kButtonHeight);
    StyleCommand(cmdPictureBook, "picbook");
    lblPictureBookText.setObjectName("lblPictureBookText");
    lblPictureBookText.setText(
        "Make a picture book of this story that you can keep, print or send.");
    lblPictureBookText.setGeometry(kColumnLeft, buttonTop + kButtonHeight + 2, kColumnWidth,
                                   kTextHeight);
    lblPictureBookText.setWordWrap(true);
    lblPictureBookText.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    cmdTalkingBook.setObjectName("cmdTalkingBook");
    cmdTalkingBook.setGeometry(kSmallButtonLeft, buttonTop, kSmallButtonWidth, kButtonHeight);
    StyleCommand(cmdTalkingBook, "talkbook");
    cmdTalkingBook.setAccessibleName("Make a talking book");
    cmdTalkingBook.setToolTip(kTalkingBookTip);
    const QRect textRow = lblPictureBookText.geometry();
    prgTalkingBook.setObjectName("prgTalkingBook");
    prgTalkingBook.setAccessibleName("Making the talking book");
    prgTalkingBook.setGeometry(
        textRow.adjusted(0, 4, -(kCancelWidth + 6), -(textRow.height() - 4 - 16)));
    prgTalkingBook.setTextVisible(false);
    prgTalkingBook.hide();
    cmdCancelTalkingBook.setObjectName("cmdCancelTalkingBook");
    cmdCancelTalkingBook.setText("Cancel");
    cmdCancelTalkingBook.setAccessibleName("Cancel the talking book");
    cmdCancelTalkingBook.setGeometry(textRow.right() + 1 - kCancelWidth, textRow.top(),
                                     kCancelWidth, kCancelHeight);
    cmdCancelTalkingBook.hide();

    const ErrorSink& errors = host_.Errors();
    connect(&cmdPictureBook, &QPushButton::clicked, this, [this, &errors] {
        RunHandler(
            errors, [this] { cmdPictureBookClick(); }, HandlerCursor::Wait);
    });
    connect(&cmdTalkingBook, &QPushButton::clicked, this, [this] { cmdTalkingBookClick(); });
    connect(&cmdCancelTalkingBook, &QPushButton::clicked, this,
            [this] { cmdCancelTalkingBookClick(); });
    for (QWidget* w : {&cmdPictureBook, &cmdTalkingBook, &cmdCancelTalkingBook})
        host_.RingControl(*w);

    OpenDocument = TShowInFolder::OpenDocument;
    Clock = [] { return QDateTime::currentDateTime(); };
    MakeVoice = [] { return plat::CreateSystemSpeechSynth(); };
}

TKeepsakesPart::~TKeepsakesPart() {
    CancelTalkingBook();
}

std::vector<QWidget*> TKeepsakesPart::TabStops() {
    if (MakingTalkingBook())
        return {&cmdPictureBook, &cmdCancelTalkingBook};
    return {&cmdPictureBook, &cmdTalkingBook};
}

std::string TKeepsakesPart::MakePictureBook() {
    const QByteArray pdf =
        QtPictureBook::MakePdf(host_.StoryText(), BookLetters(host_.LettersPart().Letters()),
                               TPictureBookPlan::PaperFor(QtPictureBook::LocaleUsesLetter()),
                               host_.Painter().StoryPicture(host_.Origin().twistLevel));
    return WriteKeepsake(std::string(pdf.constData(), static_cast<std::size_t>(pdf.size())), ".pdf",
                         "Picture book");
}

void TKeepsakesPart::StartTalkingBook() {
    if (MakingTalkingBook())
        return;
    TTalkingBook::Input input;
    input.Story = host_.StoryText();
    input.Face = TTalkingBook::LettersFor(host_.LettersPart().Letters());
    if (!input.Face.FontPath.empty() && !plat::ReadWholeFile(input.Face.FontPath, input.FontBytes))
        input.FontBytes.clear(); // the reader's own letters then
    const QByteArray png = QtPictureBook::PicturePng(
        host_.Painter().StoryPicture(host_.Origin().twistLevel), TTalkingBook::kCoverScale);
    input.CoverPng.assign(png.constData(), static_cast<std::size_t>(png.size()));
    input.CoverAlt = TTalePictures::Text(host_.Tale(), host_.Origin().twistLevel);
    input.PageStarts = TBook::PageStarts(host_.Book().Pages);
    input.Hero = host_.Origin().hero;
    input.Heroine = host_.Origin().heroine;
    const QDateTime now = Clock();
    input.Modified = static_cast<std::time_t>(now.toSecsSinceEpoch());
    KeepsakeFolder("Talking book");
    // Its names: the tale's and the folder's as they are now, whatever the
    // book shows by the time it is made.
    talkingBookPath_ = [folder = host_.Folder(), tale = host_.Tale(), now](int copy) {
        return KeepsakePath(folder, tale, now, copy, ".epub");
    };
    const std::string path = talkingBookPath_(1);
    std::string why;
    std::unique_ptr<plat::FileStream> file =
        plat::FileStream::CreateAtomic(path, &why, plat::Lookup::Exact);
    if (!file)
        throw std::runtime_error("Talking book: cannot write " + plat::PathText(path) +
                                 (why.empty() ? "" : ": " + why));
    maker_ = std::make_unique<TTalkingBookMaker>();
    lblBookMade.hide();
    lblTalkingBookMade.hide();
    ShowMaking(true);
    // The maker's thread tells this one through its event queue; what is
    // still queued when the part goes is dropped with it.
    // A story a grown-up has recorded is told in their voice where they did.
    std::unique_ptr<plat::SpeechSynth> voice = MakeVoice ? MakeVoice() : nullptr;
    const std::string& storyFile = host_.Origin().file.path;
    if (!storyFile.empty() && TStoryVoice::Has(storyFile)) {
        std::unique_ptr<TRecordedVoiceSynth> recorded =
            TRecordedVoiceSynth::Open(std::move(voice), storyFile, plat::CreateOpusCodec());
        if (recorded->Recordings() > 0)
            input.SampleRate = TTalkingBook::kRecordedRate;
        voice = std::move(recorded);
    }
    maker_->Start(std::move(input), std::move(voice), TReadingPace::Stretch(host_.ReadingPace()),
                  plat::CreateMp3Encoder(), std::move(file), [this] {
                      QMetaObject::invokeMethod(
                          this, [this] { TalkingBookProgress(); }, Qt::QueuedConnection);
                  });
}

bool TKeepsakesPart::MakingTalkingBook() const {
    return maker_ && maker_->Busy();
}

void TKeepsakesPart::TalkingBookProgress() {
    if (!MakingTalkingBook())
        return;
    if (maker_->Done()) {
        FinishTalkingBook();
        return;
    }
    prgTalkingBook.setRange(0, std::max(1, maker_->Sentences()));
    prgTalkingBook.setValue(maker_->Said());
}

void TKeepsakesPart::FinishTalkingBook() {
    if (!MakingTalkingBook())
        return;
    TTalkingBookMaker::Result made = maker_->Join();
    ShowMaking(false);
    using Outcome = TTalkingBookMaker::Result::Outcome;
    if (made.outcome == Outcome::Cancelled)
        return;
    std::string path;
    if (!RunHandler(host_.Errors(), [&] {
            if (made.outcome != Outcome::Made)
                throw std::runtime_error(made.why.empty() ? "Talking book: not made" : made.why);
            // The first of the moment's names that nothing has.
            for (int copy = 1;; ++copy) {
                path = talkingBookPath_(copy);
                made.file->Retarget(path);
                if (made.file->Commit(false))
                    return;
                if (!made.file->Existed() || copy >= 1000)
                    throw std::runtime_error(
                        "Talking book: cannot write " + plat::PathText(path) +
                        (made.file->Failure().empty() ? "" : ": " + made.file->Failure()));
            }
        }))
        return;
    Offer(path, lblTalkingBookMade, "Talking book", "talking book", true);
}

void TKeepsakesPart::CancelTalkingBook() {
    if (!MakingTalkingBook())
        return;
    maker_->Cancel();
    maker_->Join();
    ShowMaking(false);
}

void TKeepsakesPart::cmdCancelTalkingBookClick() {
    if (MakingTalkingBook())
        maker_->Cancel();
}

void TKeepsakesPart::ShowMaking(bool making) {
    cmdTalkingBook.setEnabled(!making);
    cmdTalkingBook.setToolTip(making ? "The talking book is being made." : kTalkingBookTip);
    if (!making && cmdCancelTalkingBook.hasFocus())
        cmdTalkingBook.setFocus();
    lblPictureBookText.setVisible(!making);
    prgTalkingBook.setRange(0, 1);
    prgTalkingBook.setValue(0);
    prgTalkingBook.setVisible(making);
    cmdCancelTalkingBook.setVisible(making);
    if (making)
        cmdCancelTalkingBook.setFocus();
}

const std::string& TKeepsakesPart::KeepsakeFolder(const std::string& what) {
    const std::string& folder = host_.Folder();
    if (!QDir().mkpath(PathToQString(folder)))
        throw std::runtime_error(what + ": cannot create the folder " + plat::PathText(folder));
    return folder;
}

std::string TKeepsakesPart::KeepsakePath(const std::string& folder, int tale, const QDateTime& when,
                                         int copy, const char* extension) {
    const TPictureBookPlan::Moment moment{when.date().year(), when.date().month(),
                                          when.date().day(), when.time().hour(),
                                          when.time().minute()};
    return folder +
           TPictureBookPlan::FileName(TTaleTable::ShortName(tale), moment, copy, extension);
}

std::string TKeepsakesPart::WriteKeepsake(const std::string& bytes, const char* extension,
                                          const std::string& what) {
    KeepsakeFolder(what);
    const QDateTime now = Clock();
    // A fresh name each time: the moment, then " (2)" and on.
    std::string why;
    for (int copy = 1;; ++copy) {
        const std::string path = KeepsakePath(host_.Folder(), host_.Tale(), now, copy, extension);
        switch (plat::WriteNewFileAtomic(path, bytes, &why)) {
        case plat::NewFile::Written:
            return path;
        case plat::NewFile::Exists:
            if (copy < 1000)
                continue;
            [[fallthrough]];
        case plat::NewFile::Failed:
            throw std::runtime_error(what + ": cannot write " + plat::PathText(path) +
                                     (why.empty() ? "" : ": " + why));
        }
    }
}

void TKeepsakesPart::MakeAndOffer(const std::function<std::string()>& make, QLabel& made,
                                  const std::string& what, const std::string& kind) {
    // The wait cursor stands while the book is made, not while the player
    // answers the offer to open it.
    std::string path;
    if (RunHandler(
            host_.Errors(), [&] { path = make(); }, HandlerCursor::Wait))
        Offer(path, made, what, kind);
}

void TKeepsakesPart::Offer(const std::string& path, QLabel& made, const std::string& what,
                           const std::string& kind, bool inBook) {
    lblBookMade.hide();
    lblTalkingBookMade.hide();
    commands_.ShowMessageLabel(made);
    made.repaint();
    RunHandler(host_.Errors(), [&] {
        const std::string name = path.substr(host_.Folder().size());
        if (plat::ShowMessage(plat::MsgKind::Question,
                              "Your " + kind + " is \"" + plat::PathText(name) +
                                  "\" in the folder\n" + plat::PathText(host_.Folder()) +
                                  "\n\nOpen it now?",
                              plat::MsgButtons::YesNo, what + " made!") != plat::MsgAnswer::Yes)
            return;
        if (inBook)
            host_.PlayTalkingBook(path);
        else if (!OpenDocument(path))
            TShowInFolder().NoProgramOpens(path, kind);
    });
}

void TKeepsakesPart::cmdPictureBookClick() {
    MakeAndOffer([this] { return MakePictureBook(); }, lblBookMade, "Picture book", "picture book");
}

void TKeepsakesPart::cmdTalkingBookClick() {
    RunHandler(host_.Errors(), [this] { StartTalkingBook(); });
}
