// The subcommands of fbwtool. A subcommand registers itself with a static
// RegisterCommand object in its own source file; Run gets the arguments after
// the subcommand's name and returns the exit status (0 success, 1 failure).
#pragma once
#include <string>
#include <vector>

using Args = std::vector<std::string>;

struct FbwCommand {
    const char* name;
    const char* usage; // one or more lines, each starting with "fbwtool NAME"
    int (*run)(const Args& args);
};

const std::vector<FbwCommand>& AllCommands();

struct RegisterCommand {
    explicit RegisterCommand(const FbwCommand& command);
};

// Prints "fbwtool: MESSAGE" to stderr and returns 1.
int Fail(const std::string& message);
// Flushes stdout: 0, or Fail with a message when any write to it failed (a
// full disk), so that a cut-short output never passes for a whole one.
int FinishOutput();
// Takes "--name VALUE" out of Args; false when absent. Raises std::runtime_error
// when the value is missing.
bool TakeOption(Args& args, const std::string& name, std::string& value);
// Takes "--name" out of Args.
bool TakeFlag(Args& args, const std::string& name);
