// The operations on remote files and folders that move no file contents: existence, sizes,
// creating and removing folders, deleting and renaming files, changing the working folder.
//
// Each is one or a few commands on the control connection, run as one operation of the session
// and waited for (the thread's messages are pumped meanwhile; a method called from an event
// handler then is refused with 16009). Every member catches its own failures, reports them
// (ErrorNumber/ErrorInfo) and returns its failure value: False, -1 (the file does not exist) or
// -2 (any other failure).
//
// Paths follow ftp/remote/remote_path.h: an absolute path reaches the same place from any working
// folder, a relative one is taken from the tracked working folder. The root is never removed
// (20063).
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

class FtpSession;

struct RemoteFolderState;

// Whether the running upload batch made the folder (absolute path) by MKD: it was empty then, so
// what it holds now is what the batch put there.
bool FolderMadeInBatch(const RemoteFolderState& folders, std::string_view absolute_folder);

class RemoteOperations {
 public:
  explicit RemoteOperations(FtpSession& session) : session_(session) {}

  // GetFtpFileSize(FileName) >= 0.
  bool ExistFile(std::string_view file_name);
  // The size from the listing (or the cache), else from SIZE; -1 when missing, -2 on failure.
  double GetFileSize(std::string_view file_path);
  double GetFtpFileSize(std::string_view file_path) { return GetFileSize(file_path); }
  // SIZE alone: the size, -1 when the server says the file is missing, -2 on other failures.
  double GetRemoteFileSize(std::string_view path);

  // True when the parent's listing holds a folder of exactly that name (case included); the root
  // is true without traffic.
  bool ExistDirectory(std::string_view directory_name);
  // Creates the folder and the missing folders above it; True only when it exists afterwards.
  bool CreateDirectory(std::string_view directory_path);
  // Removes the folder, with everything in it when the server says it is not empty.
  bool RemoveDirectory(std::string_view directory_path);
  bool DeleteFile(std::string_view file_path);
  bool RenameFile(std::string_view old_file_name, std::string_view new_file_name);
  // CWD, and the tracked working folder follows.
  bool SetCurrentDirectory(std::string_view directory_path);

 private:
  // Deletes the files of the absolute `folder`, then its subfolders, then the folder itself.
  bool RemoveDirRecurse(std::string_view folder);
  // The last lookup or size query found that the file does not exist.
  bool FileNotFound() const;
  // Clears ErrorNumber/ErrorInfo before a method starts.
  void ClearError();
  // An MKD refusal read as "already there": true when the folder really is there.
  bool RefusedFolderExists(const std::string& path);

  FtpSession& session_;
};

}  // namespace tarvik
