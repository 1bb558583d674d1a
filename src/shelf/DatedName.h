// The names the stories folder gives a tale's files made at a moment: the
// tale's short name, the local date and time to the minute, " (2)" and on
// for a name already taken, and the extension ("Goldilox 2026-12-08
// 17.05.pdf", "Goldilox 2026-12-08 17.05 (2).txt"). Picture books take them
// when made, and a saved story that Save story replaces keeps one.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class TDatedName {
public:
    // A moment in local time, to the minute.
    struct Moment {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0;
        friend bool operator==(const Moment&, const Moment&) = default;
    };
    // The local moment of a file time (nanoseconds since the epoch).
    static Moment LocalMoment(int64_t nanoseconds);

    // Tale's name at When; Copy 2 and up add " (Copy)". Extension has its
    // dot (".pdf").
    static std::string Make(const std::string& tale, const Moment& when, std::string_view extension,
                            int copy = 1);

    struct Parts {
        std::string tale, extension; // extension with its dot
        Moment when;
        int copy = 1;
    };
    // The parts of a name Make gives; nullopt for any other name.
    static std::optional<Parts> Split(std::string_view name);
};
