// A story's recorded sentences and their index, beside the story.
#include "voice/VoiceStore.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/FileStream.h"
#include "platform/Files.h"
#include "shelf/StoryVoice.h"

namespace {
constexpr const char* kHeader = "fablewhirl voice 1";

// "s0012.opus": the number of a clip's file name; 0 for another name.
int ClipNumber(const std::string& file) {
    if (file.size() < 7 || file[0] != 's' || !file.ends_with(".opus"))
        return 0;
    const std::string digits = file.substr(1, file.size() - 6);
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return std::atoi(digits.c_str());
}

std::string ClipName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "s%04d.opus", number);
    return name;
}

// "120-480 520-900": each word's milliseconds; false when malformed.
bool ParseWords(const std::string& text, std::vector<TVoiceAligner::Span>& words) {
    std::size_t at = 0;
    while (at < text.size()) {
        char* end = nullptr;
        const long start = std::strtol(text.c_str() + at, &end, 10);
        if (end == text.c_str() + at || *end != '-')
            return false;
        const char* second = end + 1;
        const long stop = std::strtol(second, &end, 10);
        if (end == second || start < 0 || stop < start || stop > 24L * 3600 * 1000)
            return false;
        words.push_back({start / 1000.0, stop / 1000.0});
        at = static_cast<std::size_t>(end - text.c_str());
        if (at < text.size() && text[at] == ' ')
            ++at;
    }
    return true;
}
} // namespace

TVoiceStore::TVoiceStore(std::string storyPath, plat::OpusCodec* codec)
    : storyPath_(std::move(storyPath)), folder_(TStoryVoice::FolderOf(storyPath_)), codec_(codec) {
    Load();
}

std::string TVoiceStore::Key(const std::string& sentence) {
    std::string key;
    for (std::size_t i = 0; i < sentence.size(); ++i) {
        const bool marker =
            sentence[i] == '\\' && i + 1 < sentence.size() && sentence[i + 1] == 'n';
        if (marker || static_cast<unsigned char>(sentence[i]) <= ' ') {
            if (marker)
                ++i;
            if (!key.empty() && key.back() != ' ')
                key += ' ';
        } else {
            key += sentence[i];
        }
    }
    if (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

void TVoiceStore::Load() {
    clips_.clear();
    next_ = 1;
    std::string bytes;
    if (!plat::ReadWholeFile(folder_ + TStoryVoice::kIndexName, bytes, plat::Lookup::Exact))
        return;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        const std::size_t tab1 = line.find('\t');
        const std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos)
            continue;
        Clip clip;
        clip.File = line.substr(0, tab1);
        const int number = ClipNumber(clip.File);
        const std::string key = Key(line.substr(tab2 + 1));
        if (number == 0 || key.empty() ||
            !ParseWords(line.substr(tab1 + 1, tab2 - tab1 - 1), clip.Words))
            continue;
        next_ = std::max(next_, number + 1);
        clips_[key] = std::move(clip);
    }
}

std::vector<std::string> TVoiceStore::Sentences() const {
    std::vector<std::string> keys;
    keys.reserve(clips_.size());
    for (const auto& [key, clip] : clips_)
        keys.push_back(key);
    return keys;
}

const TVoiceStore::Clip* TVoiceStore::Find(const std::string& sentence) const {
    const auto it = clips_.find(Key(sentence));
    return it == clips_.end() ? nullptr : &it->second;
}

bool TVoiceStore::ReadFile(const std::string& sentence, std::string& bytes,
                           std::string& why) const {
    bytes.clear();
    const Clip* clip = Find(sentence);
    if (!clip) {
        why = "the sentence has no recording";
        return false;
    }
    if (!plat::ReadWholeFile(folder_ + clip->File, bytes, plat::Lookup::Exact)) {
        why = "the recording cannot be read";
        return false;
    }
    return true;
}

bool TVoiceStore::Read(const std::string& sentence, std::vector<int16_t>& samples,
                       std::string& why) const {
    samples.clear();
    if (!Find(sentence)) {
        why = "the sentence has no recording";
        return false;
    }
    if (!codec_) {
        why = "this build cannot play recorded voices";
        return false;
    }
    std::string bytes;
    return ReadFile(sentence, bytes, why) && codec_->Decode(bytes, samples, why);
}

bool TVoiceStore::WriteIndex(const std::unordered_map<std::string, Clip>& clips,
                             std::string& why) const {
    std::vector<std::pair<std::string, const Clip*>> lines;
    for (const auto& [key, clip] : clips)
        lines.emplace_back(key, &clip);
    std::sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) {
        return ClipNumber(a.second->File) < ClipNumber(b.second->File);
    });
    std::string text = std::string(kHeader) + "\n";
    for (const auto& [key, clip] : lines) {
        text += clip->File + "\t";
        for (std::size_t i = 0; i < clip->Words.size(); ++i) {
            if (i > 0)
                text += ' ';
            text += std::to_string(std::lround(clip->Words[i].Start * 1000)) + "-" +
                    std::to_string(std::lround(clip->Words[i].End * 1000));
        }
        text += "\t" + key + "\n";
    }
    return plat::WriteFileAtomic(folder_ + TStoryVoice::kIndexName, text, &why,
                                 plat::Lookup::Exact);
}

void TVoiceStore::Put(const std::string& sentence, const int16_t* samples, std::size_t count,
                      uint32_t sampleRate, const std::vector<TVoiceAligner::Span>& words) {
    const std::string key = Key(sentence);
    if (key.empty())
        throw std::runtime_error("Voice: the sentence has no words");
    if (!codec_)
        throw std::runtime_error("Voice: this build cannot keep recorded voices");
    std::string why;
    const std::string folder = folder_.substr(0, folder_.size() - 1);
    if (!plat::MakeFolder(folder, &why))
        throw std::runtime_error("Voice: cannot make the folder " + folder + ": " + why);
    // The clip under a name nothing has, whole before it is named.
    std::string file;
    for (int tries = 0; file.empty(); ++tries) {
        const std::string name = ClipName(next_);
        std::unique_ptr<plat::FileStream> out =
            plat::FileStream::CreateAtomic(folder_ + name, &why, plat::Lookup::Exact);
        if (!out)
            throw std::runtime_error("Voice: cannot write " + folder_ + name + ": " + why);
        if (!codec_->Encode(samples, count, sampleRate, *out, why))
            throw std::runtime_error("Voice: cannot encode the recording: " + why);
        ++next_;
        if (out->Commit(false)) {
            file = name;
        } else if (!out->Existed() || tries > 1000) {
            throw std::runtime_error("Voice: cannot write " + folder_ + name + ": " +
                                     out->Failure());
        }
    }
    auto clips = clips_;
    const auto old = clips.find(key);
    const std::string replaced = old == clips.end() ? std::string() : old->second.File;
    clips[key] = Clip{file, words};
    if (!WriteIndex(clips, why)) {
        plat::DeleteFile(folder_ + file);
        throw std::runtime_error("Voice: cannot write the index in " + folder_ + ": " + why);
    }
    clips_ = std::move(clips);
    if (!replaced.empty())
        plat::DeleteFile(folder_ + replaced);
}

void TVoiceStore::Remove(const std::string& sentence) {
    auto clips = clips_;
    const auto it = clips.find(Key(sentence));
    if (it == clips.end())
        return;
    const std::string file = it->second.File;
    clips.erase(it);
    std::string why;
    if (!WriteIndex(clips, why))
        throw std::runtime_error("Voice: cannot write the index in " + folder_ + ": " + why);
    clips_ = std::move(clips);
    plat::DeleteFile(folder_ + file);
    // The last recording gone, the story has no voice: the folder goes.
    if (clips_.empty())
        plat::RemoveFolder(folder_);
}
