// Test helpers.
#include "support/TestSupport.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sched.h>
#include <sstream>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fbwtest {

TempDir::TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "fbwtest-XXXXXX").string();
    if (!::mkdtemp(tmpl.data()))
        throw std::runtime_error("mkdtemp failed");
    path_ = tmpl + "/";
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

MessageCapture::MessageCapture(plat::MsgAnswer answer) {
    auto handler = std::make_unique<plat::CapturingMessageHandler>(answer);
    handler_ = handler.get();
    previous_ = plat::SetMessageHandler(std::move(handler));
}

MessageCapture::~MessageCapture() {
    plat::SetMessageHandler(std::move(previous_));
}

int RunUnprivileged(const std::function<int()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        constexpr uid_t kNobody = 65534;
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(125);
        int result = 126;
        try {
            result = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(result);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

int RunOnSmallDevice(const std::string& folder, std::size_t bytes, const std::function<int()>& body,
                     bool* mounted) {
    int told[2];
    if (::pipe(told) != 0)
        return -1;
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        ::close(told[0]);
        const std::string options = "size=" + std::to_string(bytes);
        const bool mount = ::unshare(CLONE_NEWNS) == 0 &&
                           ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                           ::mount("fbwtest", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mount) {
            // Past the limit a write fails (EFBIG) rather than the process
            // ending, as a full device's writes fail.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
                ::_exit(125);
        }
        const char way = mount ? 'm' : 'l';
        if (::write(told[1], &way, 1) != 1)
            ::_exit(125);
        int result = 126;
        try {
            result = body();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(result);
    }
    ::close(told[1]);
    char way = 0;
    const bool heard = ::read(told[0], &way, 1) == 1;
    ::close(told[0]);
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || !heard)
        return -1;
    if (mounted)
        *mounted = way == 'm';
    return WEXITSTATUS(status);
}

namespace {
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

} // namespace

std::string SourceDir() {
    return FBW_SOURCE_DIR;
}
std::string YarnsDir() {
    return FBW_YARNS_DIR;
}

void PrepareEnvironment() {
    // Tests never touch the real user's folders.
    setenv("XDG_CONFIG_HOME", FBW_TEST_CONFIG_DIR, 1);
    if (!std::getenv("XDG_RUNTIME_DIR"))
        setenv("XDG_RUNTIME_DIR", FBW_TEST_RUNTIME_DIR, 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

ToolResult RunTool(const std::vector<std::string>& args) {
    TempDir dir;
    std::string cmd = Quote(FBW_TOOL);
    for (const auto& a : args)
        cmd += " " + Quote(a);
    cmd += " >" + Quote(dir / "out") + " 2>" + Quote(dir / "err") + " </dev/null";
    int rc = std::system(cmd.c_str());
    ToolResult r;
    r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    r.out = ReadBytes(dir / "out");
    r.err = ReadBytes(dir / "err");
    return r;
}

} // namespace fbwtest
