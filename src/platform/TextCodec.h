// The text encodings of the files a user edits: the program's single-byte
// Latin-1 text written as UTF-8, and a file's bytes read back as UTF-8 when
// they are valid UTF-8, else as Latin-1 (so files written as Latin-1 still
// read). The clipboard and the windows convert through Qt instead.
#pragma once
#include <string>
#include <string_view>

namespace plat {

// Bytes is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF, no sequence cut short.
bool IsValidUtf8(std::string_view bytes);

// Latin-1 text as UTF-8 (bytes 0x80..0xFF become two bytes each).
std::string Latin1ToUtf8(std::string_view latin1);

// Well-formed UTF-8 as Latin-1: a character outside Latin-1 becomes "?", and
// so does each byte of a malformed sequence. Whole (when given) := no
// character became "?".
std::string Utf8ToLatin1(std::string_view utf8, bool* whole = nullptr);

// Text from outside (a file a user edits, a command-line argument) as
// Latin-1: a leading UTF-8 byte-order mark dropped, the rest decoded as UTF-8
// when it is valid UTF-8, else taken as Latin-1 unchanged. Whole (when given)
// := every character of the text is in the result.
std::string DecodeUtf8OrLatin1(std::string_view bytes, bool* whole = nullptr);

// A path (bytes in the system's encoding, UTF-8 on this desktop) as Latin-1
// text for a message: read as DecodeUtf8OrLatin1 does. Only for showing;
// the path itself is never rebuilt from it.
std::string PathText(std::string_view path);

} // namespace plat
