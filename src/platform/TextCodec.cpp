// UTF-8 and Latin-1 for the files a user edits.
#include "platform/TextCodec.h"

#include <cstdint>

namespace plat {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool Continuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Length of the well-formed sequence at Pos and its code point; 0 when the
// bytes there are not one.
std::size_t Sequence(std::string_view s, std::size_t pos, uint32_t& code) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(s[pos + i]); };
    const unsigned char b = at(0);
    std::size_t length;
    uint32_t min;
    if (b < 0x80) {
        code = b;
        return 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
        code = b & 0x1F;
        min = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        code = b & 0x0F;
        min = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        code = b & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - pos < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!Continuation(at(i)))
            return 0;
        code = (code << 6) | (at(i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    uint32_t code = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t n = Sequence(bytes, pos, code);
        if (n == 0)
            return false;
        pos += n;
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size() + latin1.size() / 8);
    for (const char c : latin1) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (b >> 6));
            out += static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

std::string Utf8ToLatin1(std::string_view utf8, bool* whole) {
    if (whole)
        *whole = true;
    std::string out;
    out.reserve(utf8.size());
    uint32_t code = 0;
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t n = Sequence(utf8, pos, code);
        if (n == 0 || code > 0xFF) {
            if (whole)
                *whole = false;
            out += '?';
            pos += n == 0 ? 1 : n;
            continue;
        }
        out += static_cast<char>(code);
        pos += n;
    }
    return out;
}

std::string DecodeUtf8OrLatin1(std::string_view bytes, bool* whole) {
    if (whole)
        *whole = true;
    // The mark is dropped before the bytes are judged: it is no text in either
    // reading, and a file that has one but is no valid UTF-8 after it still
    // reads as Latin-1 without it.
    if (bytes.starts_with(kByteOrderMark))
        bytes.remove_prefix(kByteOrderMark.size());
    if (!IsValidUtf8(bytes))
        return std::string(bytes);
    return Utf8ToLatin1(bytes, whole);
}

std::string PathText(std::string_view path) {
    return DecodeUtf8OrLatin1(path);
}

} // namespace plat
