// The path rules of the whole library, as plain text functions: local paths use "\" (a drive
// path "C:\dir\file", a network path "\\server\share\file"), remote and web paths "/". Lists of
// paths are one text with the entries joined by "|". None of these functions touches the disk.
//
// "Trim" here removes blanks (spaces) at both ends, as the automation runtime's Trim does; other
// white space is part of the path.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

// Trims; turns every "/" into "\"; folds each run of "\" into one, except a run at the very start
// of the text or right after a "|" (the start of a network path inside a list), which becomes "\\"
// when it had two or more. "c:/a//b\\c" -> "c:\a\b\c", "\\\\srv\\\\x" -> "\\srv\x",
// "C:\a|\\srv\s" keeps "|\\".
std::string FormatLocalPath(std::string_view path);

// Trims; turns every "\" into "/"; folds each run of "/" into one, except right after "http:" or
// "https:" (lower case, as written), where it becomes "//". Used for remote paths and web
// addresses.
std::string FormatFtpPath(std::string_view path);

// The parent of a local or remote path, with its trailing separator: "C:\dir\file" -> "C:\dir\",
// "C:\dir" -> "C:\", "/a/b/" -> "/a/". "" when the path has one element ("dir", "C:\", "/dir").
// Doubled separators are folded first, except the leading "\\" of a network path:
// "\\srv\share\dir" -> "\\srv\share\".
std::string GetParentPath(std::string_view path);

// The last element of a local path or web address, ignoring one trailing "\" or "/":
// "C:\a\b\" -> "b", "http://host/dir/file.zip" -> "file.zip"; "" for an empty path.
std::string GetFileName(std::string_view path);

// GetFileName without the text from its last "." on; a name without "." is returned whole.
std::string GetFileNameWithoutExt(std::string_view path);

// The text after the last "." of the trimmed path, "" when there is none. The search covers the
// whole path: "C:\my.dir\file" gives "dir\file".
std::string GetFileExtension(std::string_view path);

// True for "X:\..." (also "X:" alone, the drive's root) and for "\\...".
bool IsAbsoluteLocalPath(std::string_view path);

// A 64-bit size from its two 32-bit halves, the low half read as unsigned:
// high * 4294967296 + low.
double Long2Size(std::int32_t high, std::int32_t low);

}  // namespace tarvik
