// Translation of Windows paths to host paths. On Windows a Windows path is its own host path: it
// is checked and its "." and ".." taken out, and drive and share paths are used as they are (no
// drive table). On Linux it is translated by the drive table, as follows.
//
// Accepted forms (UTF-8; "/" is taken for "\", as Windows does):
//   C:\dir\file.txt        a drive path: the drive's host folder (platform/fs/drive_table.h) + the
//                          components; "C:" alone is the drive's root
//   \\server\share\file    a network path: the share's folder under NetworkSharesRoot()
// Anything else is refused: relative paths ("dir\file", "C:file", "\dir") with ERROR_INVALID_NAME,
// since the library has no current folder.
//
// Each component is looked up as written; when no entry has that exact name, an entry whose name
// differs only in case is taken (the first in name order when there are several), since Windows
// file systems ignore case. Components that do not exist are kept as written, so that a path may
// name something to be created. "." is dropped and ".." removes the component before it, but never
// climbs above the drive's (or share's) root: "C:\..\..\etc" is the root's "etc". As on Windows,
// trailing dots and blanks of a component are ignored ("file." is "file").
//
// Refusals and their codes:
//   empty path                                   ERROR_PATH_NOT_FOUND
//   not valid UTF-8, relative, a component with
//   < > : " | ? * or control characters          ERROR_INVALID_NAME
//   260 characters or more, a component over 255 ERROR_FILENAME_EXCED_RANGE
//   drive letter not in the table                ERROR_PATH_NOT_FOUND
//   unknown server / share of a network path     ERROR_BAD_NETPATH / ERROR_BAD_NET_NAME
//
// Symbolic links inside a drive folder are followed like any host folder; the root guard is about
// the path's text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

inline constexpr std::size_t kMaxPath = 260;       // characters, the terminating zero included
inline constexpr std::size_t kMaxComponent = 255;  // characters of one name

struct TranslatedPath {
  DWORD error = ERROR_SUCCESS;  // not ERROR_SUCCESS: the path has no host form, the rest is empty
  std::string host_path;        // absolute host path of the whole path
  std::string name;             // last component as resolved (empty for a root)
  bool is_root = false;         // the path is a drive root or a share root
  std::size_t depth = 0;        // number of components below the root
  bool parent_exists = false;   // the folder holding the last component exists (true for a root)
  bool trailing_separator = false;  // the path ended in "\" (so it can only name a folder)
};

// Translates `path`. With `wildcards_in_name` the last component may contain "*" and "?"; a
// component that does is kept as written (not looked up), for a directory search or a wildcard
// delete.
TranslatedPath TranslatePath(std::string_view path, bool wildcards_in_name = false);

// The Windows path of a host path: under the drive with the longest matching host folder, else
// under a network share; nullopt when no drive or share holds it.
std::optional<std::string> HostToWindowsPath(std::string_view host_path);

}  // namespace tarvik::platform
