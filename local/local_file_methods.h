// The local file and folder methods the control offers its host, under their published names
// and with their published argument names. The control exposes them unchanged.
//
// None of them throws. A failure is reported through the error reporter the control hands in
// (its ReportError; by default DispatchError of core/errors) with the method's name as source
// and gives the method's failure value; LocalFileRead, LocalFileWrite and GetLocalFileSize only
// write a line to the log, and LocalFileExists, LocalFolderExists, GetLocalFileDate and
// GetLocalFileCount fail silently.
//
// Texts read and written by LocalFileRead and LocalFileWrite are in the system ANSI code page on
// disk (platform/text/code_page.h) and UTF-8 in memory.
//
// GetLocalFolderSize and GetLocalFileCount pass the host's message pump once after each subfolder
// (the `pump` callback). Each call keeps its own running total, so a call made by the host from
// inside that pump gets its own result and does not disturb the outer one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "local/c_file.h"
#include "local/folder_chain.h"

namespace tarvik {

class LocalFileMethods {
 public:
  // Reports a failure: the method's name, the error number and its description.
  using ErrorReporter =
      std::function<void(std::string_view procedure, long number, std::string_view description)>;
  // One pass of the host's message pump.
  using MessagePump = std::function<void()>;

  explicit LocalFileMethods(ErrorReporter report = {}, MessagePump pump = {});

  std::string GetFileName(std::string_view FilePath) const;
  std::string GetFileNameWithoutExt(std::string_view FilePath) const;
  std::string GetFileExtension(std::string_view FilePath) const;
  std::string GetParentPath(std::string_view FolderPath) const;
  bool LocalFileExists(std::string_view FilePath) const;
  bool LocalFolderExists(std::string_view FolderPath) const;
  // Creates the file empty, with its folder; false, leaving it alone, when it exists.
  bool LocalFileCreate(std::string_view FilePath) const;
  bool LocalFolderCreate(std::string_view FolderPath) const;
  // Deletes the file; "*" and "?" in the name delete every matching file.
  bool LocalFileDelete(std::string_view FilePath) const;
  // The file's lines joined by CR LF (none after the last); "" when it does not exist.
  std::string LocalFileRead(std::string_view FilePath) const;
  // Writes Text and CR LF, replacing the contents (Overwrite) or appending; a read-only file is
  // written and stays read-only.
  bool LocalFileWrite(std::string_view FilePath, std::string_view Text, bool Overwrite) const;
  // Bytes; -1 when the file does not exist, -2 when it cannot be opened (the shared error number
  // then holds the system's), -3 after any other failure.
  double GetLocalFileSize(std::string_view FilePath) const;
  // Bytes of every file below the folder, hidden ones included; 0 for a missing folder.
  double GetLocalFolderSize(std::string_view FolderPath) const;
  // Files below the folder, hidden ones included; 0 for a path of two characters or less or one
  // with "*" or "?".
  double GetLocalFileCount(std::string_view FolderPath) const;
  // Time of the last change as the user's general date text; "" when the file does not exist.
  std::string GetLocalFileDate(std::string_view FilePath) const;
  // Every file below the folder as full paths joined by "|"; "" on failure.
  std::string GetLocalFileList(std::string_view FolderPath) const;

  const CFile& file() const { return file_; }

 private:
  void Report(std::string_view procedure, long number, std::string_view description) const;
  double AddFolderSize(const std::string& folder, FolderChain& chain) const;
  double AddFileCount(const std::string& folder, FolderChain& chain) const;

  CFile file_;            // the path rules
  ErrorReporter report_;  // where failures go
  MessagePump pump_;      // one pass of the host's message pump; may be empty
};

}  // namespace tarvik
