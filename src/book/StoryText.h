// The storybook's text rules, shared by the window, the data tool and the
// tests: turning the generator's lines into the story text the book lays
// out, the plain text a story is saved and copied as, and reading a saved
// story back. The paragraph marker is the two characters backslash and n.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The generator's lines as the main window hands them to the storybook: each
// line followed by CR LF.
std::string JoinStoryLines(const std::vector<std::string>& lines);

// The story text laid out from Text: every CR LF that directly follows a
// marker (in the text resolved so far) is removed, every other CR LF becomes
// one space; a lone CR or LF stays. The text ends at its first zero byte.
std::string ResolveStoryLineEnds(std::string_view text);

// The story as a saved file and the clipboard have it: every marker becomes
// CR LF, and a text longer than two characters that does not end with a line
// feed gets CR LF appended. No terminating zero.
std::string MakeExportText(std::string_view story);

// The story text of a saved story file's bytes: the text ends at the first
// zero byte, every CR LF becomes a marker, a lone CR or LF stays.
std::string ReadSavedStoryText(std::string_view bytes);
