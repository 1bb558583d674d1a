// The game's start-up sequence: the display checks, the single running copy,
// the needed files, the start-up library and the loading window, the windows
// in their order (main window, word-list editor, storybook), the message loop
// and the clean-up. GameMain is the whole program; TGameStartup is the
// sequence itself, which tests drive with their own folders and answers.
#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <string>

class TFormBook;
class TFormGame;
class TFormLoading;
class TFormWords;
class TRL8Library;
class TSingleInstance;

class TGameStartup {
public:
    struct Options {
        bool locateFolders = true; // run LocateFolders first (tests locate themselves)
        std::string startFolder;   // folder of "FBWstart.rl8"; the program's own when empty
        QString instanceFolder;    // the lock and socket; the runtime folder when empty
        // Called once the main window is shown, before the message loop.
        std::function<void(TGameStartup&)> onRunning;
    };

    TGameStartup();
    explicit TGameStartup(Options options);
    ~TGameStartup();

    // Runs the sequence once. Returns 0 after a quit or after handing over to
    // a running copy, 1 when the start failed.
    int Run();

    TFormGame* MainWindow() const { return game_.get(); }
    TFormLoading* LoadingWindow() const { return loading_.get(); }
    TFormWords* WordsWindow() const { return words_.get(); }
    TFormBook* BookWindow() const { return book_.get(); }
    TRL8Library* StartLibrary() const { return startLibrary_.get(); }

private:
    int Start();
    void FreeWindows();

    Options options_;
    std::unique_ptr<TSingleInstance> instance_;
    std::unique_ptr<TRL8Library> startLibrary_;
    std::unique_ptr<TFormLoading> loading_;
    std::unique_ptr<TFormGame> game_;
    std::unique_ptr<TFormWords> words_;
    std::unique_ptr<TFormBook> book_;
};

// The program: prints its help (--help, -h) or its version (--version) and
// ends, needing no display; else says plainly when there is no display,
// starts Qt with the game's message boxes, screen, fonts and wave-out
// service, and runs the start-up sequence. Returns the exit status.
int GameMain(int argc, char** argv);
// What --help prints: the use, the options and every key (TKeyTable).
std::string GameHelpText();
