// The local play list files (.flst) and the captions of their items.
//
// An item's caption is the movie title, exactly 50 spaces, then the movie's full path: the
// spaces push the path past the list's right edge so a row shows the title only. A file
// holds one caption per line with each run of 50 spaces written as "*", in the ANSI code
// page, every line ending in CR LF. Text here is UTF-8; "characters" are code points (the
// ANSI code page holds nothing outside the Basic Multilingual Plane, so that is also the
// UTF-16 length the player counts in).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::flst {

inline constexpr size_t kGapLength = 50;

// Title, the 50-space gap, path.
std::string MakeCaption(std::string_view title, std::string_view path);

struct CaptionParts {
    std::string title;
    std::string path;
};
// Splits at the first run of 50 spaces and trims spaces off both halves; nullopt when the
// caption has no such run.
std::optional<CaptionParts> SplitCaption(std::string_view caption);

// Spaces (only spaces, not tabs) off both ends.
std::string_view TrimSpaces(std::string_view text);

// The line of a caption: each run of 50 spaces, counted from the left, becomes "*".
std::string CaptionToLine(std::string_view caption);
// The caption of a line as read: trimmed, every "*" widened to 50 spaces; nullopt unless
// the result is longer than 50 characters (blank lines, a lone "*").
std::optional<std::string> LineToCaption(std::string_view line);

// Lines end at CR LF or at a lone CR; a lone LF stays inside its line. A last line without
// a line end counts; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// File bytes (ANSI code page) to the captions of the items they hold, in order.
std::vector<std::string> DecodeList(std::string_view fileBytes);
// One file line in the ANSI code page with its CR LF ("?" for what the code page lacks).
std::string EncodeLine(std::string_view caption);
// A whole file: an empty list gives no bytes.
std::string EncodeList(const std::vector<std::string>& captions);

// Letters A-Z lowered; everything else kept.
std::string LowerCase(std::string_view text);
bool EndsWith(std::string_view text, std::string_view suffix);
// The text after the last backslash (all of it when there is none).
std::string_view FileNameOf(std::string_view path);
// The text without its last `count` characters; nullopt when it is shorter than that.
std::optional<std::string> DropLastCharacters(std::string_view text, size_t count);

// Titles of the ways movies come into a list.
// Open dialog: the chosen name less its extension's four characters, case kept.
std::optional<std::string> DialogTitle(std::string_view fileName);
// Folder scan: the name lower-cased, every ".swf" in it removed.
std::string FolderScanTitle(std::string_view fileName);
// Drops and the command line: the file name of the (lower-cased) path, less four.
std::optional<std::string> PathTitle(std::string_view path);

// A command line that is not empty and holds no "/" anywhere lists movies for the default
// list (switches such as "/s" start with one).
bool IsMovieCommandLine(std::string_view commandLine);

// The movie lines a command line adds to a list (title "*" path, lower-cased, without
// line ends). Paths are separated by spaces; double quotes hold spaces; only tokens ending
// in ".swf" count.
std::vector<std::string> CommandLineMovieLines(std::string_view commandLine);

}  // namespace velmora::flst
