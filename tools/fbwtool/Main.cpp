// fbwtool's entry: dispatches to the registered subcommands.
#include <algorithm>
#include <cerrno>
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
    std::fprintf(to, "  fbwtool --help\n");
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
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h" ||
        std::string(argv[1]) == "help") {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 1 : 0;
    }
    std::string name = argv[1];
    for (const auto& c : AllCommands()) {
        if (name == c.name) {
            Args args(argv + 2, argv + argc);
            try {
                return c.run(args);
            } catch (const std::exception& e) {
                return Fail(e.what());
            }
        }
    }
    return Fail("unknown subcommand \"" + name + "\" (see fbwtool --help)");
}
