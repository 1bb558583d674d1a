// Shared text and settings-file functions. Settings values, sections and keys
// are limited to 255 characters each (longer ones are cut); a file name
// longer than 255 characters is refused, so that no other file is used.
#pragma once
#include <cstddef>
#include <string>

#include "platform/Stream.h"

// One value of a settings file; the empty string (and false) on any failure.
bool ReadIniString(const std::string& section, const std::string& key,
                   const std::string& defaultValue, std::string& value,
                   const std::string& fileName);
// Writes one value; false on failure (callers may ignore it).
bool WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& fileName);

// Without leading (trailing) space characters; tabs are kept.
std::string TrimLeadingSpaces(const std::string& s);
std::string TrimTrailingSpaces(const std::string& s);

// Without leading and trailing characters of code 32 or less (spaces, tabs,
// line ends and other control characters).
std::string TrimText(const std::string& s);

// Reads one line of plain text: a line feed ends it, a tab becomes a space,
// only bytes 32..126 and 160..255 are kept, at most 255 of them (the rest of a
// longer line is dropped). Raises EAbort when the stream has no byte left;
// an unfinished last line without a line feed is dropped with it.
void ReadTextLine(plat::Stream& stream, std::string& line);

// S becomes exactly Length bytes of Data.
void SetStringFromBuffer(const void* data, std::size_t length, std::string& s);
