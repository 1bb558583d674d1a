// TKeepsakesPart: the picture book and the talking book, made into the
// stories folder and offered to be opened.
#include "book/forms/KeepsakesPart.h"

#include <QDir>
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
#include "keepsake/qt/QtPictureBook.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"
#include "platform/TextCodec.h"
#include "platform/Tick.h"
#include "platform/ZipPacker.h"
#include "platform/qt/LocalPath.h"
#include "reading/ReadingPace.h"
#include "story/TalePictures.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/RunHandler.h"
#include "ui/ShowInFolder.h"

namespace {

// The row, below the commands' on the panel: the red message, the picture
// book's button with the talking book's small one right of it, the text.
constexpr int kTop = 242, kColumnLeft = 13, kColumnWidth = 200;
constexpr int kMessageLeft = 23, kMessageWidth = 129, kMessageHeight = 15;
constexpr int kButtonWidth = 149, kButtonHeight = 29, kTextHeight = 28;
constexpr int kSmallButtonLeft = kColumnLeft + kButtonWidth + 6, kSmallButtonWidth = 36;
// The progress bar shows once making the voice has taken this long.
constexpr uint32_t kProgressAfterMs = 500;

// The picture book's letters: those chosen for the story's pages.
QtPictureBook::Letters BookLetters(const TBookLetters& chosen) {
    return {QString(chosen.Family()), chosen.Points()};
}

} // namespace

TKeepsakesPart::TKeepsakesPart(TBookHost& host, TCommandsPart& commands)
    : QObject(&commands.Panel()), host_(host), commands_(commands), lblBookMade(&commands.Panel()),
      lblTalkingBookMade(&commands.Panel()), cmdPictureBook(&commands.Panel()),
      cmdTalkingBook(&commands.Panel()), lblPictureBookText(&commands.Panel()),
      prgTalkingBook(&commands.Panel()) {
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
    cmdTalkingBook.setToolTip("Make a talking book: this story as an e-book that reads itself "
                              "aloud, each word lit as it is read.");
    prgTalkingBook.setObjectName("prgTalkingBook");
    prgTalkingBook.setAccessibleName("Making the talking book");
    prgTalkingBook.setGeometry(lblPictureBookText.geometry().adjusted(0, 4, 0, -8));
    prgTalkingBook.setTextVisible(false);
    prgTalkingBook.hide();

    const ErrorSink& errors = host_.Errors();
    connect(&cmdPictureBook, &QPushButton::clicked, this, [this, &errors] {
        RunHandler(
            errors, [this] { cmdPictureBookClick(); }, HandlerCursor::Wait);
    });
    connect(&cmdTalkingBook, &QPushButton::clicked, this, [this] { cmdTalkingBookClick(); });
    for (QWidget* w : TabStops())
        host_.RingControl(*w);

    OpenDocument = TShowInFolder::OpenDocument;
    Clock = [] { return QDateTime::currentDateTime(); };
    MakeVoice = [] { return plat::CreateSystemSpeechSynth(); };
}

TKeepsakesPart::~TKeepsakesPart() = default;

std::vector<QWidget*> TKeepsakesPart::TabStops() {
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

std::string TKeepsakesPart::MakeTalkingBook() {
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
    input.Modified = static_cast<std::time_t>(Clock().toSecsSinceEpoch());
    const std::unique_ptr<plat::SpeechSynth> voice = MakeVoice ? MakeVoice() : nullptr;
    const std::unique_ptr<plat::Mp3Encoder> encoder = plat::CreateMp3Encoder();
    const std::unique_ptr<plat::ZipPacker> packer = plat::CreateZipPacker();
    // The bar shows in place of the row's text once the voice has taken
    // half a second, and goes with the handler.
    const uint32_t started = plat::GetTickCount();
    struct HideBar {
        QProgressBar& bar;
        QLabel& text;
        ~HideBar() {
            bar.hide();
            text.show();
        }
    } hideBar{prgTalkingBook, lblPictureBookText};
    auto progress = [&](int done, int total) {
        if (plat::GetTickCount() - started < kProgressAfterMs)
            return;
        prgTalkingBook.setRange(0, total);
        prgTalkingBook.setValue(done);
        if (!prgTalkingBook.isVisible()) {
            lblPictureBookText.hide();
            prgTalkingBook.show();
        }
        prgTalkingBook.repaint();
    };
    const std::string epub =
        TTalkingBook::Make(input, voice.get(), TReadingPace::Stretch(host_.ReadingPace()),
                           encoder.get(), packer.get(), progress);
    return WriteKeepsake(epub, ".epub", "Talking book");
}

std::string TKeepsakesPart::WriteKeepsake(const std::string& bytes, const char* extension,
                                          const std::string& what) {
    const std::string tale = TTaleTable::ShortName(host_.Tale());
    const std::string& folder = host_.Folder();
    if (!QDir().mkpath(PathToQString(folder)))
        throw std::runtime_error(what + ": cannot create the folder " + plat::PathText(folder));
    const QDateTime now = Clock();
    const TPictureBookPlan::Moment moment{now.date().year(), now.date().month(), now.date().day(),
                                          now.time().hour(), now.time().minute()};
    // A fresh name each time: the moment, then " (2)" and on.
    std::string why;
    for (int copy = 1;; ++copy) {
        const std::string path = folder + TPictureBookPlan::FileName(tale, moment, copy, extension);
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
    if (!RunHandler(
            host_.Errors(),
            [&] {
                path = make();
                lblBookMade.hide();
                lblTalkingBookMade.hide();
                commands_.ShowMessageLabel(made);
                made.repaint();
            },
            HandlerCursor::Wait))
        return;
    RunHandler(host_.Errors(), [&] {
        const std::string name = path.substr(host_.Folder().size());
        if (plat::ShowMessage(plat::MsgKind::Question,
                              "Your " + kind + " is \"" + plat::PathText(name) +
                                  "\" in the folder\n" + plat::PathText(host_.Folder()) +
                                  "\n\nOpen it now?",
                              plat::MsgButtons::YesNo, what + " made!") == plat::MsgAnswer::Yes &&
            !OpenDocument(path))
            TShowInFolder().NoProgramOpens(path, kind);
    });
}

void TKeepsakesPart::cmdPictureBookClick() {
    MakeAndOffer([this] { return MakePictureBook(); }, lblBookMade, "Picture book", "picture book");
}

void TKeepsakesPart::cmdTalkingBookClick() {
    MakeAndOffer([this] { return MakeTalkingBook(); }, lblTalkingBookMade, "Talking book",
                 "talking book");
}
