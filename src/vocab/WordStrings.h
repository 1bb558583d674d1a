// The text routines of the word classes: the word-string record field, the
// first-word split, case-insensitive comparison, the vowel test and the stem
// to which suffixes are added. All text is single-byte; letter case means the
// ASCII letters A-Z and a-z only.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Stream.h"

// A signed 16-bit little-endian length L, then L bytes; L <= 0 gives "" and
// nothing more is read. Raises LumException when the stream ends early.
std::string ReadWordString(plat::Stream& stream);
// Writes the length and the bytes. A length field holds at most 32767, so a
// longer text is written as its first 32767 bytes (a longer length would wrap
// negative and the rest of the file would be misread). Raises LumException
// when the stream takes fewer bytes than given.
void WriteWordString(plat::Stream& stream, const std::string& s);

// Little-endian integers and single bytes of the records; the readers raise
// LumException at the end of the stream, the writers when a write falls short.
int16_t ReadInt16LE(plat::Stream& stream);
void WriteInt16LE(plat::Stream& stream, int16_t value);
uint8_t ReadByte(plat::Stream& stream);
void WriteByte(plat::Stream& stream, uint8_t value);

inline char UpCase(char ch) {
    return (ch >= 'a' && ch <= 'z') ? static_cast<char>(ch - 'a' + 'A') : ch;
}
inline char LowCase(char ch) {
    return (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// The order of every word list (and of the word-list editor): both texts with
// ASCII A-Z folded to a-z, compared byte by byte as unsigned values (so bytes
// 128-255 sort after all ASCII); a text that is a proper prefix of the other
// sorts first. Negative, zero or positive. Texts that compare equal differ at
// most in ASCII letter case; lists keep such ties in the order they were
// added (the vocabulary merges them instead).
int CompareTextIgnoringCase(const std::string& a, const std::string& b);
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// The text before the first space; all of S when it has none.
std::string FirstWord(const std::string& s);
// The text from the first space (included) to the end; "" without a space.
std::string RestAfterFirstWord(const std::string& s);
// X equals, ignoring case, the last Length(X) characters of S (all of S when
// S is not longer than X).
bool EndsWith(const std::string& s, const std::string& x);
// A E I O U Y in either case; everything else counts as a consonant.
bool IsVowel(char ch);
// The base to which a suffix is added (doubling a final consonant, y to i,
// dropping a final vowel). Words of fewer than 3 characters are their own stem.
std::string Stem(const std::string& w);
