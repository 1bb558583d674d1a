// Taking options out of a subcommand's arguments (Command.h).
#include <algorithm>
#include <stdexcept>

#include "Command.h"

bool TakeOption(Args& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size())
                throw std::runtime_error("option " + name + " needs a value");
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i),
                       args.begin() + static_cast<long>(i) + 2);
            return true;
        }
    }
    return false;
}

bool TakeFlag(Args& args, const std::string& name) {
    auto it = std::find(args.begin(), args.end(), name);
    if (it == args.end())
        return false;
    args.erase(it);
    return true;
}
