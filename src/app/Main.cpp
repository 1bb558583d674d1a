// The start-up sequence and the program around it.
#include "app/Main.h"

#include <QApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/FormGame.h"
#include "app/FormLoading.h"
#include "app/SingleInstance.h"
#include "base/KeyTable.h"
#include "base/LumException.h"
#include "base/Random.h"
#include "book/forms/FormBook.h"
#include "data/InitGame.h"
#include "image/RL8Library.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/Screen.h"
#include "platform/WaveOutService.h"
#include "platform/qt/QtFonts.h"
#include "platform/qt/QtMessageBox.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtWaveOutService.h"
#include "scene/ProjectVersion.h"
#include "story/Generate.h"
#include "ui/ScreenPixelsAccessible.h"
#include "wordlist/forms/FormWords.h"

TGameStartup::TGameStartup() : TGameStartup(Options{}) {}

TGameStartup::TGameStartup(Options options) : options_(std::move(options)) {}

TGameStartup::~TGameStartup() {
    FreeWindows();
}

void TGameStartup::FreeWindows() {
    book_.reset();
    words_.reset();
    game_.reset(); // saves the settings
    loading_.reset();
    startLibrary_.reset();
    instance_.reset();
}

int TGameStartup::Run() {
    const int status = Start();
    FreeWindows();
    return status;
}

int TGameStartup::Start() {
    if (options_.locateFolders)
        LocateFolders();
    if (StartupFailed)
        return 1;

    const int depth = plat::ScreenColourDepth();
    if (depth == 1) {
        plat::ShowMessage(plat::MsgKind::Error,
                          "This program cannot be played on a monochrome display.");
        return 1;
    }
    if (depth == 4 &&
        plat::ShowMessage(plat::MsgKind::Warning,
                          "This program is designed for a 256-color display. You are running a "
                          "16-color display. This will adversely affect the appearance of the "
                          "graphics used in the game. Continue anyway?",
                          plat::MsgButtons::YesNo) != plat::MsgAnswer::Yes)
        return 1;

    instance_ = std::make_unique<TSingleInstance>(options_.instanceFolder);
    const bool acquired = instance_->Acquire();
    if (!acquired || !CheckNeededFiles()) {
        instance_->Broadcast();
        return !acquired && instance_->HeldElsewhere() ? 0 : 1;
    }
    instance_->Listen();

    Randomize();

    startLibrary_ = std::make_unique<TRL8Library>();
    const std::string startFolder = options_.startFolder.empty()
                                        ? plat::ExtractFilePath(plat::ExecutablePath())
                                        : plat::IncludeTrailingSeparator(options_.startFolder);
    try {
        startLibrary_->Open(startFolder + "FBWstart.rl8");
    } catch (const LumException& e) {
        plat::ShowMessage(plat::MsgKind::Error, e.Message());
        return 1;
    }

    QApplication::setApplicationName("Fablewhirl");

    loading_ = std::make_unique<TFormLoading>(*startLibrary_);
    loading_->show();
    QCoreApplication::processEvents();

    game_ = std::make_unique<TFormGame>(loading_.get());
    if (game_->Loaded()) {
        words_ = std::make_unique<TFormWords>(game_->Generator()->Vocab(), game_.get());
        book_ = std::make_unique<TFormBook>(*game_->Generator(), *game_->Library(), game_.get());
        book_->StartLibrary = startLibrary_.get();
        game_->SetWindows(words_.get(), book_.get());
    }
    if (StartupFailed)
        return 1;

    QEventLoop loop;
    QObject::connect(game_.get(), &TFormGame::Closed, &loop, &QEventLoop::quit);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &loop, &QEventLoop::quit);
    game_->show();
    game_->activateWindow(); // also where no window manager hands out the focus
    if (options_.onRunning)
        options_.onRunning(*this);
    if (game_->isVisible())
        loop.exec();
    return 0;
}

std::string GameHelpText() {
    return "Usage: fablewhirl [--help | --version]\n"
           "\n"
           "A storybook game of ten fairy tales, each told with a twist. Click a character\n"
           "in the scene to open its tale as a book, choose how much twist it gets, and\n"
           "read the story, hear it read aloud, save it, print it, or make a picture\n"
           "book or a talking book of it. My stories (Ctrl+O) holds everything saved.\n"
           "\n"
           "Options:\n"
           "  --help      print this help and end\n"
           "  --version   print the game's version and end\n"
           "\n"
           "Keys:\n" +
           TKeyTable::Text() +
           "\n"
           "Stories go to the folder \"Fablewhirl Stories\" in your documents folder.\n"
           "The manual: man 6 fablewhirl\n";
}

int GameMain(int argc, char** argv) {
    // Help and version need no display: they are answered before Qt starts.
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(GameHelpText().c_str(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("fablewhirl %s\n", TProjectVersion::kFull);
            return 0;
        }
    }
    std::string reason;
    if (!plat::DisplayAvailable(reason)) {
        std::fprintf(stderr,
                     "fablewhirl: no display was found (%s).\n"
                     "The game needs a graphical desktop. Start it from a desktop session, or "
                     "give it a virtual display, for example:\n"
                     "    xvfb-run -s \"-screen 0 1024x768x24\" %s\n",
                     reason.c_str(), argc > 0 ? argv[0] : "fablewhirl");
        return 1;
    }
    QApplication app(argc, argv);
    TScreenPixelsAccessible::Install();
    plat::InstallQtScreen();
    plat::InstallFontSubstitutes();
    auto previousHandler = plat::SetMessageHandler(std::make_unique<QtMessageBox>("Fablewhirl"));
    auto previousService = plat::SetWaveOutService(std::make_unique<plat::QtWaveOutService>());
    int status = 1;
    {
        TGameStartup startup;
        status = startup.Run();
    }
    plat::SetWaveOutService(std::move(previousService));
    plat::SetMessageHandler(std::move(previousHandler));
    return status;
}
