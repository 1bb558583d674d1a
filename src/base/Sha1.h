// SHA-1 (FIPS 180-4), for names made from content: the same bytes always
// give the same digest. Not for secrets.
#pragma once
#include <array>
#include <cstdint>
#include <string_view>

class TSha1 {
public:
    using Digest = std::array<uint8_t, 20>;
    static Digest Of(std::string_view bytes);
};
