// The file work of the setup program on drive paths: folder and file tests, folder creation, and
// copy and delete, which raise the runtime's file errors (NumberedError) as the setup program
// reports them: 53 "File not found", 61 "Disk full", 70 "Permission denied" (a file in use or
// read-only, a folder without the right), 75 "Path/File access error", 76 "Path not found".
#pragma once

#include <string>
#include <string_view>

namespace tarvik::setup {

bool FolderExists(std::string_view path);
bool FileExists(std::string_view path);

// Creates the folder `path` and any missing parent whose path is longer than a drive root ("C:\");
// "/" is taken for "\". Failures are not reported: the caller checks whether the folder exists.
void CreateFolderPath(std::string path);

// Copies the file `source` to `target`, replacing it.
void CopyFile(std::string_view source, std::string_view target);
void DeleteFile(std::string_view path);

}  // namespace tarvik::setup
