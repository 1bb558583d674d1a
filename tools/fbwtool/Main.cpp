// fbwtool's entry: dispatches to the registered subcommands.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <stdexcept>

#include "Command.h"

namespace {
std::vector<FbwCommand>& Registry() {
    static std::vector<FbwCommand> commands;
    return commands;
}

void PrintHelp(std::FILE* to) {
    std::fprintf(to, "fbwtool: the Fablewhirl data tool\n\nUsage:\n");
    auto commands = AllCommands();
    std::sort(commands.begin(), commands.end(), [](const FbwCommand& a, const FbwCommand& b) {
        return std::string(a.name) < b.name;
    });
    for (const auto& c : commands)
        std::fprintf(to, "%s\n", c.usage);
    std::fprintf(to, "  fbwtool --help\n  fbwtool help NAME | fbwtool NAME --help\n");
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

const FbwCommand* Find(const std::string& name) {
    for (const auto& c : AllCommands())
        if (name == c.name)
            return &c;
    return nullptr;
}
} // namespace

const std::vector<FbwCommand>& AllCommands() {
    return Registry();
}

RegisterCommand::RegisterCommand(const FbwCommand& command) {
    Registry().push_back(command);
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "fbwtool: %s\n", message.c_str());
    return 1;
}

int FinishOutput() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        return Fail(std::string("cannot write the output: ") + std::strerror(errno));
    return 0;
}

int main(int argc, char** argv) {
    // Past the limit on a file's size (ulimit -f) a write fails as "file too
    // large", as a full device's does, rather than ending the tool with its
    // temporary file left behind.
    std::signal(SIGXFSZ, SIG_IGN);
    if (argc < 2) {
        PrintHelp(stderr);
        return 1;
    }
    const std::string name = argv[1];
    if (IsHelp(name) || name == "help") {
        // "fbwtool help NAME" is NAME's help.
        if (name == "help" && argc > 2) {
            const FbwCommand* c = Find(argv[2]);
            if (!c)
                return Fail("unknown subcommand \"" + std::string(argv[2]) +
                            "\" (see fbwtool --help)");
            std::printf("Usage:\n%s\n", c->usage);
        } else {
            PrintHelp(stdout);
        }
        return FinishOutput();
    }
    const FbwCommand* c = Find(name);
    if (!c)
        return Fail("unknown subcommand \"" + name + "\" (see fbwtool --help)");
    Args args(argv + 2, argv + argc);
    // A request for help anywhere among the arguments is answered, and
    // nothing is done.
    if (std::any_of(args.begin(), args.end(), IsHelp)) {
        std::printf("Usage:\n%s\n", c->usage);
        return FinishOutput();
    }
    try {
        return c->run(args);
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
}
