// Helpers of the install tests.
#include "InstallSupport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fbwinstall {

namespace fs = std::filesystem;

Child::Child(const std::vector<std::string>& argv, const std::vector<std::string>& env,
             const std::string& log) {
    std::vector<std::string> envs;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        const bool replaced = std::any_of(env.begin(), env.end(), [&](const std::string& x) {
            return x.compare(0, name.size() + 1, name + "=") == 0;
        });
        if (!replaced)
            envs.push_back(entry);
    }
    for (const auto& x : env)
        if (x.find('=') + 1 < x.size())
            envs.push_back(x);
    std::vector<char*> args, vars;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    for (const auto& v : envs)
        vars.push_back(const_cast<char*>(v.c_str()));
    vars.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ == 0) {
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        const int in = ::open("/dev/null", O_RDONLY);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
        }
        if (in >= 0)
            ::dup2(in, 0);
        // Its own process group, so that whatever it starts goes with it.
        ::setpgid(0, 0);
        environ = vars.data();
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
}

Child::~Child() {
    if (pid_ > 0 && !status_) {
        // Asked first, so that a display server removes its socket.
        ::kill(-pid_, SIGTERM);
        ::kill(pid_, SIGTERM);
        if (Wait(3000))
            return;
        ::kill(-pid_, SIGKILL);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

std::optional<int> Child::Wait(int timeoutMs) {
    if (status_ || pid_ <= 0)
        return pid_ <= 0 ? std::optional<int>(-1) : status_;
    WaitFor(
        [&] {
            int rc = 0;
            if (::waitpid(pid_, &rc, WNOHANG) == pid_)
                status_ = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
            return status_.has_value();
        },
        timeoutMs);
    return status_;
}

int Run(const std::vector<std::string>& argv, const std::vector<std::string>& env,
        const std::string& log, int timeoutMs) {
    Child child(argv, env, log);
    return child.Wait(timeoutMs).value_or(-1);
}

std::string InstallInto(const std::string& prefix, const std::vector<std::string>& env) {
    const std::string log = prefix + ".log";
    const int rc =
        Run({FBW_CMAKE_COMMAND, "--install", FBW_BUILD_DIR, "--prefix", prefix}, env, log);
    std::ifstream f(log);
    std::ostringstream text;
    text << f.rdbuf();
    std::error_code ec;
    fs::remove(log, ec);
    return rc == 0 ? std::string()
                   : "cmake --install failed (" + std::to_string(rc) + "):\n" + text.str();
}

std::vector<std::string> ListFiles(const std::string& root) {
    std::vector<std::string> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec))
        if (!it->is_directory())
            files.push_back(fs::relative(it->path(), root).string());
    std::sort(files.begin(), files.end());
    return files;
}

bool HaveProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && ::access((dir + "/" + name).c_str(), X_OK) == 0)
            return true;
    return false;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

} // namespace fbwinstall
