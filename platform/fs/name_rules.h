// Rules for the names of files and folders as Windows sees them: names compare without regard to
// case, "*" and "?" are wildcards, some characters are not allowed, and a hidden entry is, on this
// platform, one whose name begins with ".".
//
// Case folding covers ASCII, Latin-1, Latin Extended-A, basic Greek and Cyrillic; other characters
// compare exactly.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::platform {

// True when `name` contains "*" or "?".
bool HasWildcards(std::string_view name);

// Matches `name` against `pattern` without regard to case: "*" stands for any run of characters
// (none included), "?" for exactly one character; "*.*" matches every name, with or without a dot.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

// True when `name` may be the name of a file or folder: not empty, no control characters and none
// of < > : " / \ | ? *. The names "." and ".." are not valid names of an entry.
bool IsValidEntryName(std::string_view name);

// True for a hidden entry: a name beginning with "." other than "." and "..".
bool IsHiddenName(std::string_view name);

}  // namespace tarvik::platform
