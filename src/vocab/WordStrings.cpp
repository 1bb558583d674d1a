// Word-string records and the shared text rules of the word classes.
#include "vocab/WordStrings.h"

#include <algorithm>

#include "base/LumException.h"

int16_t ReadInt16LE(plat::Stream& stream) {
    unsigned char b[2];
    if (!stream.ReadExact(b, 2))
        throw LumException("ReadInt16LE: unexpected end of file");
    return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

void WriteInt16LE(plat::Stream& stream, int16_t value) {
    auto u = static_cast<uint16_t>(value);
    unsigned char b[2] = {static_cast<unsigned char>(u & 0xFF), static_cast<unsigned char>(u >> 8)};
    if (!stream.WriteExact(b, 2))
        throw LumException("WriteInt16LE: write failed");
}

uint8_t ReadByte(plat::Stream& stream) {
    uint8_t b;
    if (!stream.ReadExact(&b, 1))
        throw LumException("CreateFromStream: unexpected end of file");
    return b;
}

void WriteByte(plat::Stream& stream, uint8_t value) {
    if (!stream.WriteExact(&value, 1))
        throw LumException("SaveToStream: write failed");
}

std::string ReadWordString(plat::Stream& stream) {
    int16_t length = ReadInt16LE(stream);
    std::string s;
    if (length <= 0)
        return s;
    s.resize(static_cast<std::size_t>(length));
    if (!stream.ReadExact(s.data(), s.size()))
        throw LumException("ReadWordString: unexpected end of file");
    return s;
}

void WriteWordString(plat::Stream& stream, const std::string& s) {
    std::size_t length = std::min<std::size_t>(s.size(), 32767);
    WriteInt16LE(stream, static_cast<int16_t>(length));
    if (length > 0 && !stream.WriteExact(s.data(), length))
        throw LumException("WriteWordString: write failed");
}

int CompareTextIgnoringCase(const std::string& a, const std::string& b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(LowCase(a[i]));
        auto cb = static_cast<unsigned char>(LowCase(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareTextIgnoringCase(a, b) == 0;
}

std::string FirstWord(const std::string& s) {
    auto pos = s.find(' ');
    return pos == std::string::npos ? s : s.substr(0, pos);
}

std::string RestAfterFirstWord(const std::string& s) {
    auto pos = s.find(' ');
    return pos == std::string::npos ? std::string() : s.substr(pos);
}

bool EndsWith(const std::string& s, const std::string& x) {
    if (s.size() <= x.size())
        return SameTextIgnoringCase(s, x);
    return SameTextIgnoringCase(s.substr(s.size() - x.size()), x);
}

bool IsVowel(char ch) {
    switch (UpCase(ch)) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U':
    case 'Y':
        return true;
    default:
        return false;
    }
}

std::string Stem(const std::string& w) {
    const std::size_t n = w.size();
    if (n < 3)
        return w;

    // Vowel groups: a vowel after a consonant (or at the start) opens one; a
    // vowel after a vowel opens another only when it is an O after a non-O.
    int groups = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!IsVowel(w[i]))
            continue;
        if (i == 0 || !IsVowel(w[i - 1]))
            ++groups;
        else if (UpCase(w[i]) == 'O' && UpCase(w[i - 1]) != 'O')
            ++groups;
    }

    const char c1 = UpCase(w[n - 1]);
    const char c2 = UpCase(w[n - 2]);
    const char c3 = UpCase(w[n - 3]);
    if (c1 == 'Y' && !IsVowel(c2))
        return w.substr(0, n - 1) + "i";
    if (IsVowel(c1) && c1 != 'Y' && c1 != 'E')
        return w.substr(0, n - 1);
    if (!IsVowel(c1) && IsVowel(c2) && (groups > 1 || IsVowel(c3)))
        return w;
    if (!IsVowel(c1) && IsVowel(c2) && c1 != 'C' && c1 != 'W')
        return w + w[n - 1];
    return w;
}
