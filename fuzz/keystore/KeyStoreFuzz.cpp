// Fuzz target: the per-user key store as arbitrary bytes, read by the folder
// lookup of the game's start. The lookup either fails with one message or
// finds an installation folder that exists (ending with the separator, no
// zero byte inside) and no message but the warning of a settings name too
// long to keep; the store afterwards holds the game's key, and the only change
// to the store is that key's section added at its end. A second start finds
// the same folders and leaves the store as it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "../ScratchFolder.h"
#include "data/InitGame.h"
#include "platform/Files.h"
#include "platform/KeyStore.h"
#include "platform/MessageBox.h"

// A broken promise names its line, then aborts (the fuzzer's finding).
#define Check(ok) CheckAt((ok), __LINE__)

namespace {
void CheckAt(bool ok, int line) {
    if (!ok) {
        std::fprintf(stderr, "KeyStoreFuzz.cpp:%d: check failed\n", line);
        std::abort();
    }
}

struct Start {
    bool failed;
    std::size_t messages;
    std::string install, program, settings;
};

Start Locate(plat::KeyStore& keys) {
    auto capture = std::make_unique<plat::CapturingMessageHandler>();
    plat::CapturingMessageHandler* messages = capture.get();
    auto previous = plat::SetMessageHandler(std::move(capture));
    StartupFailed = false;
    LocateFolders("/nonexistent-fbw-fuzz/bin/fablewhirl", keys);
    Start s{StartupFailed, messages->messages.size(), InstallFolder, ProgramFolder,
            SettingsFileName};
    plat::SetMessageHandler(std::move(previous));
    return s;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string store = fuzzsupport::ScratchFolder() + "registry.ini";
    const std::string input(reinterpret_cast<const char*>(data), size);
    Check(plat::WriteFileAtomic(store, input));
    plat::KeyStore keys(store);

    const Start first = Locate(keys);
    // One message with a failure; none without, unless the settings name is
    // too long to be kept (a warning, the start goes on).
    const bool longSettings = !first.failed && first.settings.size() > 255;
    Check(first.messages == (first.failed || longSettings ? 1u : 0u));
    Check(first.install.find('\0') == std::string::npos);
    if (!first.failed) {
        Check(!first.install.empty() && first.install.back() == plat::kPathSeparator);
        Check(plat::FolderExists(first.install));
        Check(first.settings == first.install + "yarns.ini");
        Check(!first.program.empty() && first.program.back() == plat::kPathSeparator);
    }
    std::string after;
    Check(plat::ReadWholeFile(store, after));
    Check(after.compare(0, input.size(), input) == 0);
    Check(keys.OpenKey(kRegYarnsKey, false));

    const Start second = Locate(keys);
    Check(second.failed == first.failed && second.messages == first.messages);
    Check(second.install == first.install && second.program == first.program);
    std::string again;
    Check(plat::ReadWholeFile(store, again));
    Check(again == after);
    return 0;
}
