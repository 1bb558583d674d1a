// fbwtool key: reads and writes string values of a user's key store, the
// stand-in for the per-user registry. The installed launcher asks it whether
// the player's installation folder is set up yet.
#include <cstdio>

#include "Command.h"
#include "platform/KeyStore.h"

namespace {

const char kUsage[] = "usage: fbwtool key get [--store FILE] KEY NAME\n"
                      "       fbwtool key set [--store FILE] KEY NAME VALUE";

int RunKey(const Args& given) {
    Args args = given;
    std::string store;
    TakeOption(args, "--store", store);
    if (args.empty())
        return Fail(kUsage);
    const std::string verb = args.front();
    args.erase(args.begin());
    plat::KeyStore keys(store);
    if (verb == "get" && args.size() == 2) {
        std::string value;
        if (!keys.ReadString(args[0], args[1], value))
            return Fail("no value \"" + args[1] + "\" under \"" + args[0] + "\" in " + keys.Path());
        std::printf("%s\n", value.c_str());
        return 0;
    }
    if (verb == "set" && args.size() == 3) {
        std::string why;
        if (!keys.WriteString(args[0], args[1], args[2], &why))
            return Fail("key set: " + why);
        return 0;
    }
    return Fail(kUsage);
}

RegisterCommand keyCmd({"key",
                        "  fbwtool key get [--store FILE] KEY NAME\n"
                        "  fbwtool key set [--store FILE] KEY NAME VALUE\n"
                        "      read or write a string value of the user's key store\n"
                        "      (default $XDG_CONFIG_HOME/Lumwright Software/registry.ini)",
                        RunKey});

} // namespace
