// The storybook's text rules, shared by the window, the data tool and the
// tests: turning the generator's lines into the story text the book lays
// out, the plain text a story is saved and copied as, and reading a saved
// story back. The paragraph marker is the two characters backslash and n.
//
// A saved story is a text file the player may open and save again in any
// editor: it is written in UTF-8 with CR LF line ends, and read back whether
// an editor left it in UTF-8 or Latin-1, with CR LF or LF line ends.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// The generator's lines as the main window hands them to the storybook: each
// line followed by CR LF.
std::string JoinStoryLines(const std::vector<std::string>& lines);
// Where each line starts in JoinStoryLines' text.
std::vector<std::size_t> JoinedLineStarts(const std::vector<std::string>& lines);

// The story text laid out from Text: every CR LF that directly follows a
// marker (in the text resolved so far) is removed, every other CR LF becomes
// one space; a lone CR or LF stays. The text ends at its first zero byte.
std::string ResolveStoryLineEnds(std::string_view text);
// The same, and Where[i] := the place in the result of Text's character i
// (for a CR LF that became a space or was removed, the place of that space
// or where it would have stood); Where has one more entry, for the end.
std::string ResolveStoryLineEnds(std::string_view text, std::vector<std::size_t>& where);

// The story's title as the book shows it: its first paragraph after the
// spaces and markers that open it, without the spaces that end it. A print
// job and a PDF are named by it.
std::string StoryTitle(std::string_view story);

// The story as plain Latin-1 text, as the clipboard has it: every marker
// becomes CR LF, and a text longer than two characters that does not end with
// a line feed gets CR LF appended. No terminating zero.
std::string MakeExportText(std::string_view story);

// The bytes of a saved story file: MakeExportText in UTF-8.
std::string MakeSavedStoryFile(std::string_view story);

// Text with every CR LF and every lone LF turned into a marker (a lone CR
// stays); the bytes are otherwise untouched, whatever their encoding.
std::string MarkLineEnds(std::string_view text);

// The story text of a saved story file's bytes: the text ends at the first
// zero byte; it is decoded as UTF-8 when it is valid UTF-8 (a character
// outside Latin-1 becomes "?"), else taken as Latin-1; every CR LF and every
// lone LF becomes a marker, a lone CR stays. Whole (when given) := the book
// shows every character of Bytes (no "?" for a letter outside Latin-1, no
// text after a zero byte).
std::string ReadSavedStoryText(std::string_view bytes, bool* whole = nullptr);
