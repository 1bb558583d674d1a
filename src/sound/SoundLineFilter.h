// The line filter that turns the sound catalogue's plain lines into catalogue
// records: the first word of each line that is not empty, a section header
// ("[") or a comment ("#").
#pragma once
#include <string>

bool SoundLineFilter(std::string& line);
