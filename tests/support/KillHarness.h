// Crash safety by killing: a writer runs in a child process and is killed
// with SIGKILL at a random moment of its write, round after round. After
// every kill the file must hold the old or the new bytes exactly, and the
// next start of the game must read it without a warning; the next good write
// leaves no temporary file behind.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace fbwtest {

// A file under test: a good write of the old contents, the write of the new
// contents that gets killed, and the read of the next start.
struct FileWriter {
    std::string path;
    std::function<void()> writeOld;
    std::function<void()> writeNew;
    // What the next start of the game complains of when it reads the file
    // ("" when it reads it cleanly).
    std::function<std::string()> readAtStart;
};

struct KillCounts {
    int rounds = 0;
    int killedMidWrite = 0; // the child was still running when the signal came
    int old = 0, fresh = 0;
};

// Kills the new write Rounds times at moments spread evenly at random over
// once and a half the time the write takes; failures are reported as
// GoogleTest failures of the calling test.
KillCounts KillWrites(const FileWriter& w, int rounds, uint32_t seed);

// Prints the counts of one file's rounds.
void ReportKills(const char* what, const KillCounts& c);

} // namespace fbwtest
