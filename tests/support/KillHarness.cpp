// Crash safety by killing: the harness.
#include "support/KillHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "platform/Files.h"
#include "support/TestSupport.h"

namespace fbwtest {
namespace {

std::vector<std::string> Temporaries(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.find(".fbwtmp-") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

// How long F takes in a forked child, from the child's word that it runs to
// its exit, as the writes that are killed run (their kill moment is counted
// from that word too, so the fork itself is left out): a child touching the
// parent's memory copies it page by page, so it is slower than the parent,
// the more so the more memory the tests before have left in use.
double ChildSecondsOf(const std::function<void()>& f) {
    int ready[2];
    if (::pipe(ready) != 0)
        return 0;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        char go = 1;
        if (::write(ready[1], &go, 1) != 1)
            ::_exit(2);
        f();
        ::_exit(0);
    }
    ::close(ready[1]);
    char go = 0;
    const bool started = ::read(ready[0], &go, 1) == 1;
    const auto start = std::chrono::steady_clock::now();
    ::close(ready[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return started ? std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                   : 0;
}

} // namespace

KillCounts KillWrites(const FileWriter& w, int rounds, uint32_t seed) {
    KillCounts counts;
    const std::string folder = plat::ExtractFilePath(w.path);
    w.writeOld();
    const std::string oldBytes = ReadBytes(w.path);
    // How long a write takes: the median of five, so that one slow first
    // run (a cold cache, a busy machine) does not aim most kills past its end.
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i)
        runs.push_back(ChildSecondsOf(w.writeNew));
    std::nth_element(runs.begin(), runs.begin() + 2, runs.end());
    const double seconds = runs[2];
    const std::string newBytes = ReadBytes(w.path);
    EXPECT_NE(oldBytes, newBytes);

    std::mt19937 rng(seed);
    // Twice the length: about half the kills fall inside the write, and a
    // write slowed down by a busy machine still ends before some of them.
    std::uniform_real_distribution<double> delay(0.0, 2.0 * seconds);
    for (int round = 0; round < rounds; ++round) {
        w.writeOld();
        const auto temporaries = Temporaries(folder);
        if (ReadBytes(w.path) != oldBytes || !temporaries.empty()) {
            ADD_FAILURE() << "round " << round << ": the good write left "
                          << (temporaries.empty() ? "other bytes" : temporaries[0]);
            break;
        }
        int ready[2];
        if (::pipe(ready) != 0) {
            ADD_FAILURE() << "pipe";
            break;
        }
        std::fflush(nullptr);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            char go = 1;
            if (::write(ready[1], &go, 1) != 1)
                ::_exit(2);
            w.writeNew();
            ::_exit(0);
        }
        ::close(ready[1]);
        char go = 0;
        const bool started = ::read(ready[0], &go, 1) == 1;
        ::close(ready[0]);
        // The kill moment: a busy wait, so that it falls anywhere in the write.
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(delay(rng));
        while (std::chrono::steady_clock::now() < until) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!started) {
            ADD_FAILURE() << "round " << round << ": the writer did not start";
            break;
        }
        ++counts.rounds;
        if (WIFSIGNALED(status))
            ++counts.killedMidWrite;
        const std::string bytes = ReadBytes(w.path);
        if (bytes == oldBytes)
            ++counts.old;
        else if (bytes == newBytes)
            ++counts.fresh;
        else {
            ADD_FAILURE() << "round " << round << ": " << bytes.size()
                          << " bytes that are neither the old nor the new file";
            break;
        }
        const std::string complaint = w.readAtStart();
        if (!complaint.empty()) {
            ADD_FAILURE() << "round " << round << ": the next start says " << complaint;
            break;
        }
    }
    w.writeOld();
    EXPECT_TRUE(Temporaries(folder).empty());
    return counts;
}

void ReportKills(const char* what, const KillCounts& c) {
    std::printf("%s: %d kills, %d of them mid-write; afterwards %d old and %d new files\n", what,
                c.rounds, c.killedMidWrite, c.old, c.fresh);
}

} // namespace fbwtest
