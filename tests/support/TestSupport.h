// Helpers shared by the tests: temporary folders, whole-file access, message
// capture and running the data tool.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace fbwtest {

// A fresh folder under the system's temporary folder, removed with the object.
// Path() ends with the path separator.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);

// Installs a capturing message handler for the object's lifetime.
class MessageCapture {
public:
    explicit MessageCapture(plat::MsgAnswer answer = plat::MsgAnswer::Ok);
    ~MessageCapture();
    const std::vector<plat::Message>& Messages() const { return handler_->messages; }
    plat::CapturingMessageHandler& Handler() { return *handler_; }

private:
    plat::CapturingMessageHandler* handler_; // owned by the message box layer while installed
    std::unique_ptr<plat::MessageHandler> previous_;
};

struct ToolResult {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs the fbwtool built beside the tests (FBW_TOOL) with the given arguments.
ToolResult RunTool(const std::vector<std::string>& args);

// Runs Body in a child process that holds no root rights (as the user
// "nobody" when the tests run as root, so that file permissions apply) and
// returns Body's result; -1 when the child could not run or died.
int RunUnprivileged(const std::function<int()>& body);

// Runs Body in a child process in which Folder lies on a device that holds
// only Bytes: a tmpfs of that size mounted there in the child's own mount
// namespace (gone with the child), or, where the machine refuses that, a
// limit on the size of every file the child writes (a write past it fails as
// "file too large"). Folder is empty for Body in the first case; it must
// leave what Body finds to the child's own checks. Returns Body's result, -1
// when the child died; Mounted, when given, tells which device it was.
int RunOnSmallDevice(const std::string& folder, std::size_t bytes, const std::function<int()>& body,
                     bool* mounted = nullptr);

// Points XDG_CONFIG_HOME (and, when unset, XDG_RUNTIME_DIR and
// QT_QPA_PLATFORM) at the build tree's test folders; the test mains call it.
void PrepareEnvironment();

// The source tree and the program folder of the build.
std::string SourceDir();
std::string YarnsDir();

} // namespace fbwtest
