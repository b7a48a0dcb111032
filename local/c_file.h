// CFile: the path rules and folder functions the whole library uses for local files. The control
// keeps one shared instance; it holds no state, so any instance serves.
//
// All disk access goes through platform/fs, so paths are Windows paths (drive or network paths).
// CreateFolder and ListDirs raise NumberedError (core/errors/numbered_error.h) for the caller's
// handler; the other members never raise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors/error_code.h"
#include "local/path_rules.h"

namespace tarvik {

// Error numbers of the control's own local-path checks.

// What GetDirList and ListDirs return.
enum DirListFlag : int {
  kDirListFiles = 0,    // files only, as full paths
  kDirListFolders = 1,  // folders only, as full paths
  kDirListBoth = 2,     // any other value: both, folders as "1*" + path, files as "0*" + path
};

class CFile {
 public:
  std::string FormatLocalPath(std::string_view path) const { return tarvik::FormatLocalPath(path); }
  std::string FormatFtpPath(std::string_view path) const { return tarvik::FormatFtpPath(path); }
  std::string GetParentPath(std::string_view path) const { return tarvik::GetParentPath(path); }
  double Long2Size(std::int32_t high, std::int32_t low) const {
    return tarvik::Long2Size(high, low);
  }

  // True when `path` names an existing file (never a folder), hidden and system files included.
  // Names compare without regard to case; a pattern with "*" or "?" never counts as a file.
  bool FileExists(std::string_view path) const;

  // True when the trimmed `path` is not empty and names an existing folder.
  bool FolderExists(std::string_view path) const;

  // Makes the folder `path` and any missing parents. True when it exists afterwards. Raises
  // ErrorCode::kInputLocalPath ("Please input filename!") for an empty path and
  // ErrorCode::kNotAbsolutePath for a path that is neither a drive path nor a network path, before
  // touching the disk. A folder that cannot be made is reported with source "CreateFolder" and
  // ErrorCode::kCreateDirectoryFailed, and gives false.
  bool CreateFolder(std::string_view path) const;

  // The entries of `folder` (a folder, with or without its trailing "\", or a pattern with "*"
  // or "?" in its last element), hidden ones included, "." and ".." left out, and with
  // `recursive` those of every subfolder after the folder's own. Files are taken when
  // `extensions` is empty or "*" or contains the file's extension (compared in lower case).
  // `flag` selects and marks the entries (DirListFlag). Entries are joined by "|". A failure
  // gives "Error:" + message + "#|#" + error number.
  std::string GetDirList(std::string_view folder, bool recursive, int flag,
                         std::string_view extensions = {}) const;

  // The same entries as a list; raises NumberedError (the system error number and text) when a
  // folder cannot be searched. A folder without entries gives an empty list.
  std::vector<std::string> ListDirs(std::string_view folder, bool recursive, int flag,
                                    std::string_view extensions = {}) const;
};

}  // namespace tarvik
