// An MP3 file held compressed and decoded by libmpg123 a stretch at a time:
// its frames are indexed once when it opens, so that a read seeks straight
// to the sample asked for (gapless, as the file's header trims it).
#pragma once
#include <memory>
#include <string>

#include "platform/PcmTrack.h"

struct mpg123_handle_struct;

namespace plat {

class Mpg123Track : public PcmTrack {
    struct Key {}; // only Open makes one

public:
    // The track of Mp3; nullptr, with the reason in Why, when it holds no
    // sound or more than Limit samples.
    static std::unique_ptr<Mpg123Track> Open(std::string mp3, std::string& why, std::size_t limit);
    explicit Mpg123Track(Key) {}
    ~Mpg123Track() override;
    Mpg123Track(const Mpg123Track&) = delete;
    Mpg123Track& operator=(const Mpg123Track&) = delete;

    uint32_t SampleRate() const override { return rate_; }
    std::size_t Length() const override { return length_; }
    bool Read(std::size_t from, std::size_t count, std::vector<int16_t>& out) override;

    // The decoder's reads of the held bytes (its I/O callbacks).
    struct Source {
        std::string bytes;
        std::size_t at = 0;
    };

private:
    Source source_;
    mpg123_handle_struct* handle_ = nullptr;
    uint32_t rate_ = 0;
    std::size_t length_ = 0;
};

} // namespace plat
