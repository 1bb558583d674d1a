// Dated file names: made and taken apart.
#include "shelf/DatedName.h"

#include <cstdio>
#include <ctime>

namespace {

// Digits at Text[At, At + N) as a number; -1 when any is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t n) {
    if (at + n > text.size())
        return -1;
    int v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

} // namespace

TDatedName::Moment TDatedName::LocalMoment(int64_t nanoseconds) {
    const std::time_t t = static_cast<std::time_t>(nanoseconds / 1000000000);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

std::string TDatedName::Make(const std::string& tale, const Moment& when,
                             std::string_view extension, int copy) {
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, " %04d-%02d-%02d %02d.%02d", when.year, when.month, when.day,
                  when.hour, when.minute);
    std::string name = tale + stamp;
    if (copy > 1)
        name += " (" + std::to_string(copy) + ")";
    return name.append(extension);
}

std::optional<TDatedName::Parts> TDatedName::Split(std::string_view name) {
    Parts p;
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    p.extension = std::string(name.substr(dot));
    std::string_view base = name.substr(0, dot);
    // " (N)", N from 2, no leading zero.
    if (base.size() > 4 && base.back() == ')') {
        const std::size_t open = base.rfind(" (");
        if (open == std::string_view::npos)
            return std::nullopt;
        const std::size_t n = base.size() - open - 3;
        if (n < 1 || n > 6 || base[open + 2] == '0')
            return std::nullopt;
        p.copy = Digits(base, open + 2, n);
        if (p.copy < 2)
            return std::nullopt;
        base = base.substr(0, open);
    }
    // " YYYY-MM-DD HH.MM"
    constexpr std::size_t kStamp = 17;
    if (base.size() <= kStamp)
        return std::nullopt;
    const std::size_t at = base.size() - kStamp;
    const std::string_view s = base.substr(at);
    if (s[0] != ' ' || s[5] != '-' || s[8] != '-' || s[11] != ' ' || s[14] != '.')
        return std::nullopt;
    p.when = {Digits(s, 1, 4), Digits(s, 6, 2), Digits(s, 9, 2), Digits(s, 12, 2),
              Digits(s, 15, 2)};
    const Moment& m = p.when;
    if (m.year < 0 || m.month < 1 || m.month > 12 || m.day < 1 || m.day > 31 || m.hour < 0 ||
        m.hour > 23 || m.minute < 0 || m.minute > 59)
        return std::nullopt;
    p.tale = std::string(base.substr(0, at));
    return p;
}
