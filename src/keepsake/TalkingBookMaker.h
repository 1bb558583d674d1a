// TTalkingBookMaker: makes one talking book on a thread of its own, so that
// the window that asked stays responsive. The book is written into a stream
// the caller made (a temporary beside its place, FileStream::CreateAtomic)
// and handed back whole but not committed, so that a cancelled or failed
// book leaves nothing and the caller names the file. The voice, encoder and
// stream are the maker's alone from Start until Join (no other thread may
// use them meanwhile).
#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "keepsake/TalkingBook.h"
#include "platform/FileStream.h"
#include "platform/Mp3Encoder.h"
#include "platform/SpeechSynth.h"

class TTalkingBookMaker {
public:
    // Called on the maker's thread after each sentence said and once when
    // the book is done, made or not (Done() is then true). It must not
    // block on the thread that calls Join.
    using Notify = std::function<void()>;

    struct Result {
        enum class Outcome { Made, Cancelled, Failed };
        Outcome outcome = Outcome::Failed;
        std::string why;                        // Failed: "Talking book: " and the reason
        std::unique_ptr<plat::FileStream> file; // Made: the book, whole, not committed
    };

    TTalkingBookMaker() = default;
    TTalkingBookMaker(const TTalkingBookMaker&) = delete;
    TTalkingBookMaker& operator=(const TTalkingBookMaker&) = delete;
    // Cancels and waits for a book being made.
    ~TTalkingBookMaker();

    // Starts making Input's book into File (empty, from CreateAtomic) with
    // Synth at Stretch and Encoder (either may be null: the book then fails
    // with the reason). Only when not Busy().
    void Start(TTalkingBook::Input input, std::unique_ptr<plat::SpeechSynth> synth, float stretch,
               std::unique_ptr<plat::Mp3Encoder> encoder, std::unique_ptr<plat::FileStream> file,
               Notify notify);
    // Started and not yet joined.
    bool Busy() const { return thread_.joinable(); }
    // The thread has finished (Join then returns at once).
    bool Done() const { return done_.load(); }
    // Asks the book to stop: it does after the sentence being said.
    void Cancel() { cancel_.store(true); }
    // How many of how many sentences are said so far (0 of 0 before the
    // first); any thread.
    int Said() const { return said_.load(); }
    int Sentences() const { return sentences_.load(); }
    // Waits for the thread and returns what it made; Failed with no reason
    // when nothing was started.
    Result Join();

private:
    void Run(const TTalkingBook::Input& input, float stretch);

    std::thread thread_;
    std::unique_ptr<plat::SpeechSynth> synth_;
    std::unique_ptr<plat::Mp3Encoder> encoder_;
    Notify notify_;
    Result result_;
    std::atomic<bool> cancel_{false}, done_{false};
    std::atomic<int> said_{0}, sentences_{0};
};
