// Fuzz target: the files of a recorded voice. The first byte chooses what
// the rest is: a WAV file (read a piece at a time into speech features, no
// more samples than it says it holds, every feature a number), a voice index
// (every sentence it names found by its key), or an Ogg Opus clip (decoded,
// or refused with nothing).
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../ScratchFolder.h"
#include "platform/Files.h"
#include "platform/OpusCodec.h"
#include "shelf/StoryVoice.h"
#include "voice/Mfcc.h"
#include "voice/VoiceStore.h"
#include "voice/WaveFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    static const std::unique_ptr<plat::OpusCodec> codec = plat::CreateOpusCodec();
    const std::string story = fuzzsupport::ScratchFolder() + "Goldilox.txt";
    switch (data[0] % 3) {
    case 0: {
        const std::string path = fuzzsupport::ScratchFolder() + "take.wav";
        if (!plat::WriteFileAtomic(path, bytes))
            std::abort();
        TWaveFileReader reader;
        std::string why;
        if (!reader.Open(path, why))
            break;
        TMfcc features(reader.SampleRate());
        std::vector<int16_t> piece;
        uint64_t read = 0;
        while (reader.Read(piece, 4096)) {
            read += piece.size();
            features.Push(piece.data(), piece.size());
        }
        features.Finish();
        if (read > reader.Frames())
            std::abort();
        for (float f : features.Frames())
            if (!std::isfinite(f))
                std::abort();
        break;
    }
    case 1: {
        const std::string folder = TStoryVoice::FolderOf(story);
        plat::MakeFolder(folder.substr(0, folder.size() - 1));
        if (!plat::WriteFileAtomic(folder + TStoryVoice::kIndexName, bytes))
            std::abort();
        TVoiceStore store(story, codec.get());
        for (const std::string& key : store.Sentences())
            if (!store.Find(key) || TVoiceStore::Key(key) != key)
                std::abort();
        break;
    }
    default: {
        if (!codec)
            break;
        std::vector<int16_t> samples;
        std::string why;
        if (!codec->Decode(bytes, samples, why) && !samples.empty())
            std::abort();
        break;
    }
    }
    return 0;
}
