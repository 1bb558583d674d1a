// TTalkingBookMaker: the talking book made on a thread of its own.
#include "keepsake/TalkingBookMaker.h"

#include <stdexcept>
#include <utility>

#include "platform/ZipWriter.h"

TTalkingBookMaker::~TTalkingBookMaker() {
    Cancel();
    if (thread_.joinable())
        thread_.join();
}

void TTalkingBookMaker::Start(TTalkingBook::Input input, std::unique_ptr<plat::SpeechSynth> synth,
                              float stretch, std::unique_ptr<plat::Mp3Encoder> encoder,
                              std::unique_ptr<plat::FileStream> file, Notify notify) {
    if (Busy())
        throw std::logic_error("TTalkingBookMaker: a book is being made");
    synth_ = std::move(synth);
    encoder_ = std::move(encoder);
    notify_ = std::move(notify);
    result_ = Result{Result::Outcome::Failed, {}, std::move(file)};
    cancel_.store(false);
    done_.store(false);
    said_.store(0);
    sentences_.store(0);
    thread_ = std::thread([this, input = std::move(input), stretch] { Run(input, stretch); });
}

void TTalkingBookMaker::Run(const TTalkingBook::Input& input, float stretch) {
    try {
        if (!result_.file)
            throw std::runtime_error("Talking book: nothing to write it into");
        const std::unique_ptr<plat::ZipWriter> archive =
            plat::CreateZipWriter(*result_.file, input.Modified);
        if (!archive)
            throw std::runtime_error("Talking book: no zip library is installed (zlib)");
        TTalkingBook::MakeInto(input, synth_.get(), stretch, encoder_.get(), *archive,
                               [this](int done, int total) {
                                   sentences_.store(total);
                                   said_.store(done);
                                   if (notify_)
                                       notify_();
                                   return !cancel_.load();
                               });
        if (!result_.file->Flush())
            throw std::runtime_error("Talking book: " + result_.file->Failure());
        result_.outcome = Result::Outcome::Made;
    } catch (const TTalkingBook::Cancelled&) {
        result_.outcome = Result::Outcome::Cancelled;
    } catch (const std::exception& e) {
        result_.outcome = Result::Outcome::Failed;
        result_.why = e.what();
    }
    if (result_.outcome != Result::Outcome::Made)
        result_.file.reset(); // the temporary goes
    done_.store(true);
    if (notify_)
        notify_();
}

TTalkingBookMaker::Result TTalkingBookMaker::Join() {
    if (!thread_.joinable())
        return {};
    thread_.join();
    synth_.reset();
    encoder_.reset();
    notify_ = nullptr;
    return std::exchange(result_, Result{});
}
