// fbwtool voice align: where each word of a story lies in a recording of
// the whole story read aloud. The story is said by the game's voice, warped
// onto the recording, and each run of characters between spaces (title
// included) printed in order as "START END WORD", seconds from the
// recording's start, the word in UTF-8.
#include <cstdio>
#include <thread>

#include "Command.h"
#include "platform/Files.h"
#include "platform/SpeechSynth.h"
#include "platform/TextCodec.h"
#include "story/StoryText.h"
#include "voice/StoryAligner.h"
#include "voice/WaveFileReader.h"

namespace {

constexpr const char* kUsage = "usage: fbwtool voice align STORY.txt RECORDING.wav";

int RunVoice(const Args& args) {
    if (args.size() != 3 || args[0] != "align")
        return Fail(kUsage);
    std::string bytes;
    if (!plat::ReadWholeFile(args[1], bytes, plat::Lookup::Exact))
        return Fail("cannot read the story " + plat::PathText(args[1]));
    const std::string text = ReadSavedStoryText(bytes);
    TWaveFileReader wave;
    std::string why;
    if (!wave.Open(args[2], why))
        return Fail(plat::PathText(args[2]) + ": " + why);
    const std::unique_ptr<plat::SpeechSynth> synth = plat::CreateSystemSpeechSynth();
    if (!synth)
        return Fail("this build has no voice to align with");
    TStoryAligner aligner;
    // The recording's features are found while the voice says the story.
    std::thread reading([&] {
        std::vector<int16_t> piece;
        while (wave.Read(piece))
            aligner.AddRecording(piece.data(), piece.size(), wave.SampleRate());
    });
    try {
        aligner.Say(*synth, text);
    } catch (const std::exception& e) {
        reading.join();
        return Fail(e.what());
    }
    reading.join();
    for (const TStoryAligner::Word& w : aligner.Align()) {
        const std::string word = plat::Latin1ToUtf8(std::string_view(text).substr(
            static_cast<std::size_t>(w.Begin), static_cast<std::size_t>(w.End - w.Begin)));
        std::printf("%.3f %.3f %s\n", w.Start, w.Stop, word.c_str());
    }
    return FinishOutput();
}

const RegisterCommand kRegister{
    {"voice",
     "  fbwtool voice align STORY.txt RECORDING.wav\n"
     "      where each word of a saved story lies in a recording of it read aloud\n"
     "      (a 16-bit PCM WAV file): a line \"START END WORD\" for each run of\n"
     "      characters between spaces, title included, in seconds from its start",
     RunVoice}};

} // namespace
