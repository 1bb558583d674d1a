// Helpers of the install tests: installing the build into a prefix, starting
// programs with a chosen environment and waiting for them, listing folders.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace fbwinstall {

// A started program; killed and reaped when the object goes if still running.
class Child {
public:
    // Starts Argv (Argv[0] looked up in PATH) with the current environment,
    // changed by Env ("NAME=VALUE" replaces NAME, "NAME=" with no value too);
    // its output goes to the file Log.
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
          const std::string& log);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The exit status once the program ended within TimeoutMs (-1 when it
    // did not exit normally); nullopt while it still runs.
    std::optional<int> Wait(int timeoutMs);
    pid_t Pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Runs a program to its end; its exit status, -1 when it could not run.
int Run(const std::vector<std::string>& argv, const std::vector<std::string>& env = {},
        const std::string& log = "/dev/null", int timeoutMs = 120000);

// cmake --install of the build tree into Prefix with Env; empty on success,
// else what the install printed.
std::string InstallInto(const std::string& prefix, const std::vector<std::string>& env = {});

// Every file and link under Root, relative to it, sorted byte-wise.
std::vector<std::string> ListFiles(const std::string& root);

// True when Name is an executable in PATH.
bool HaveProgram(const std::string& name);

// Polls Done every 100 ms until it holds (true) or TimeoutMs has passed.
bool WaitFor(const std::function<bool()>& done, int timeoutMs);

} // namespace fbwinstall
