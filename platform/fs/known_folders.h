// The folders Windows keeps in known places, as Windows paths. On Windows the system names them
// (Documents: the value below when set, else the user's Documents folder). On Linux:
//
//   system directory   C:\windows\system32
//   program files      C:\Program Files
//   temporary folder   the host's (TMPDIR, else /tmp) as a drive path when a drive holds it,
//                      else C:\windows\temp; with a trailing "\" like GetTempPath
//   Documents          the value "Personal" of HKEY_CURRENT_USER
//                      "Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders";
//                      when the value is missing or empty it is seeded with
//                      C:\users\<user name>\Documents and that folder is created
//
// The system, program files and C:\windows\temp folders are created on the C: drive when asked
// for and missing, as a Windows installation always has them. Nothing here throws; a folder that
// cannot be created is still returned (callers check whether it exists).
#pragma once

#include <string>

namespace tarvik::platform {

inline constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
inline constexpr const char* kDocumentsValueName = "Personal";

std::string GetSystemDirectory();
std::string GetProgramFilesDirectory();
std::string GetTempPath();
std::string GetDocumentsFolder();

// The user's name: USER, else the account name; "user" when neither is a valid file name.
std::string GetUserName();

}  // namespace tarvik::platform
