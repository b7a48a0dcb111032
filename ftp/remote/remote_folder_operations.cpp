// Folders: existence, creation (with the folders above), removal (with what is inside).
#include <array>
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/loop/message_loop.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {
constexpr std::uint32_t kPauseAfterMkdMs = 10;

// Words of a refused RMD that mean the folder still holds something.
constexpr std::array<std::string_view, 8> kNotEmptyWords = {"empty", "cannot", "can't", "failed",
                                                            "空",    "存在",   "包含",  "不能"};

bool SaysNotEmpty(std::string_view info) {
  const std::string lower = platform::FoldCase(info);
  for (std::string_view word : kNotEmptyWords) {
    if (lower.find(word) != std::string::npos) return true;
  }
  return false;
}

// Whether the created-folders memo of the running upload batch holds `full`, or a folder below
// it (which exists only when `full` does). Names are compared whole: "/a/bc" says nothing of
// "/a/b".
bool MemoHolds(const RemoteFolderState& folders, const std::string& full) {
  if (!folders.created_memo_active) return false;
  const std::string memo = "|" + folders.created_memo + "|";
  std::string lower = platform::FoldCase(full);
  if (lower.size() > 1 && lower.back() == '/') lower.pop_back();
  return memo.find("|" + lower + "|") != std::string::npos ||
         memo.find("|" + lower + "/") != std::string::npos;
}

void AddToMemo(RemoteFolderState& folders, const std::string& full, bool made_empty) {
  if (!folders.created_memo_active) return;
  folders.created_memo += platform::FoldCase(full) + "|";
  if (made_empty) folders.new_folders_memo += platform::FoldCase(full) + "|";
}

// The folder above the absolute `folder` with its trailing "/": "/a/b" -> "/a/", "/a" -> "/".
std::string ParentWithSlash(const std::string& folder) {
  return folder.substr(0, folder.rfind('/') + 1);
}

// Whether the absolute `folder` is the working folder or one above it: it exists.
bool HoldsWorkingFolder(const std::string& folder, const std::string& working) {
  return folder == "/" || working == folder || working.starts_with(folder + "/");
}

// The record of removals tried, "*"-joined, without `folder`: a folder created again is a new
// folder, which a later removal may empty again.
void ForgetRemoval(std::string& record, const std::string& folder) {
  const std::string key = "*" + folder;
  for (std::size_t at = record.find(key); at != std::string::npos; at = record.find(key, at)) {
    const std::size_t end = at + key.size();
    if (end == record.size() || record[end] == '*') {
      record.erase(at, key.size());
    } else {
      at = end;
    }
  }
}

// The entries of `folder` by LIST, whatever ListCommand says: its lines mark links, while MLSD
// of some servers describes a link as the folder or file it names.
std::shared_ptr<CFtpFiles> ListMarkingLinks(FtpSession& session, const std::string& folder) {
  std::string& list_command = session.settings().list_command;
  const std::string chosen = list_command;
  list_command = "LIST";
  std::shared_ptr<CFtpFiles> files = RemoteListing(session).GetFtpDirectoryInfo(folder);
  list_command = chosen;
  return files;
}

}  // namespace

bool FolderMadeInBatch(const RemoteFolderState& folders, std::string_view absolute_folder) {
  return folders.created_memo_active &&
         ("|" + folders.new_folders_memo).find("|" + platform::FoldCase(absolute_folder) + "|") !=
             std::string::npos;
}

bool RemoteOperations::ExistDirectory(std::string_view directory_name) {
  const std::string folder = ResolveRemotePath(session_.state().current_directory, directory_name);
  if (folder == "/") {
    session_.Log("ExistDirectory -- Root -- /");
    return true;
  }
  const std::string parent = ParentWithSlash(folder);
  const std::string name = folder.substr(parent.size());
  if (const auto files = RemoteListing(session_).GetFtpDirectoryInfo(parent)) {
    for (const CFtpFiles::Entry& entry : *files) {
      // Exact case: on a server that tells case apart, "SUB" is not "sub". Where only another
      // case exists, the command that follows lets the server decide.
      if (entry->IsDirectory() && entry->FileName() == name) {
        session_.Log("ExistDirectory -- Yes -- " + folder);
        return true;
      }
    }
  }
  session_.Log("ExistDirectory -- No -- " + folder);
  return false;
}

bool RemoteOperations::RefusedFolderExists(const std::string& path) {
  RemoteFolderState& folders = session_.remote_folders();
  const int code = folders.mkd_existing_code;
  const std::string reply = folders.mkd_existing_reply;
  folders.mkd_existing_code = 0;
  folders.mkd_existing_reply.clear();
  if (code == 0) return true;  // MKD succeeded
  // "550 Can't create directory: Permission denied" holds a word of "already there" too: only
  // a listing of the parent tells.
  if (ExistDirectory(path)) {
    ClearError();
    return true;
  }
  session_.ReportError("CreateDirectory", ReplyError(code), reply);
  return false;
}

bool RemoteOperations::CreateDirectory(std::string_view directory_path) {
  SessionState& state = session_.state();
  RemoteFolderState& folders = session_.remote_folders();
  const std::string full = ResolveRemotePath(state.current_directory, directory_path);
  if (MemoHolds(folders, full)) return true;
  ClearError();
  try {
    const std::string path = WithoutTrailingSlash(FormatFtpPath(directory_path));
    if (path.empty()) Raise(ErrorCode::kInputRemotePath);
    if (!session_.Connect()) return false;
    const std::string trace = state.current_directory + "; " + path + ";" + full;
    // In a folder this batch made, only the folders it made since exist (and the memo holds
    // them): the check needs no listing.
    if (session_.transfer_settings().mkd_check &&
        !FolderMadeInBatch(folders, ResolveRemotePath(full, "..")) && ExistDirectory(path)) {
      AddToMemo(folders, full, false);
      session_.Log("CCD.EXIST: " + trace);
      return true;
    }
    const std::string parent = GetParentPath(path);
    if (!parent.empty() && !HoldsWorkingFolder(ResolveRemotePath(state.current_directory, parent),
                                               state.current_directory)) {
      CreateDirectory(parent);
    }
    if (session_.ErrorNumber() != 0) return false;
    if (session_.RefuseWhileBusy()) return false;
    folders.mkd_existing_code = 0;
    folders.mkd_existing_reply.clear();
    const bool sent = session_.RunOperation(Operation::kCreateDirectory, "MKD",
                                            RemoteCommandArgument(path), "CreateDirectory");
    const bool made_empty = sent && folders.mkd_existing_code == 0;
    const bool made = sent && RefusedFolderExists(path);
    if (made) {
      AddToMemo(folders, full, made_empty);
      ForgetRemoval(session_.statistics().removal_record, full);
      session_.Log("CCDPATH.OK: " + trace);
    } else {
      session_.Log("CCDPATH.ERR: " + trace);
    }
    // The pause after MKD is kept for the host's own calls; an upload batch's next command
    // reaches the server after the MKD on the same connection anyway, and the pause would cost
    // 10 ms for each folder of a tree.
    if (!folders.created_memo_active) platform::Sleep(kPauseAfterMkdMs);
    return made;
  } catch (const NumberedError& error) {
    session_.ReportError("CreateDirectory", static_cast<std::int32_t>(error.number()),
                         error.description());
    return false;
  }
}

bool RemoteOperations::RemoveDirectory(std::string_view directory_path) {
  ClearError();
  const std::string path = WithoutTrailingSlash(FormatFtpPath(directory_path));
  if (path.empty()) {
    session_.ReportError("RemoveDirectory", ErrorCode::kInputRemotePath, "");
    return false;
  }
  const std::string full = ResolveRemotePath(session_.state().current_directory, path);
  if (full == "/") {
    // Removing the root would empty the whole account: never without being asked for a folder.
    session_.ReportError("RemoveDirectory", ErrorCode::kRootRemoval, "");
    return false;
  }
  if (!session_.Connect()) return false;
  if (session_.RefuseWhileBusy()) return false;
  const std::string argument = RemoteCommandArgument(path);
  if (session_.RunOperation(Operation::kRemoveDirectory, "RMD", argument, "RemoveDirectory")) {
    return true;
  }
  session_.Log("RDIR:" + session_.ErrorInfo());
  if (session_.ErrorNumber() != ErrorCode::kFileUnavailable || !SaysNotEmpty(session_.ErrorInfo()))
    return false;

  // Not empty: empty it and remove it, once per folder. The record lives across calls, so a
  // second removal of the same folder fails without emptying, and clears the record for a third.
  std::string& record = session_.statistics().removal_record;
  if (("*" + record + "*").find("*" + full + "*") != std::string::npos) {
    record.clear();
    session_.ReportError("RemoveDirectory", session_.ErrorNumber(), session_.ErrorInfo());
    return false;
  }
  record += "*" + full;
  bool removed = RemoveDirRecurse(full);
  if (session_.ErrorNumber() == 0) {
    session_.RunOperation(Operation::kRemoveDirectory, "RMD", argument, "RemoveDirectory");
    if (session_.ErrorNumber() == 0) removed = true;
  }
  return removed;
}

bool RemoteOperations::RemoveDirRecurse(std::string_view folder) {
  try {
    // The entries' paths are absolute: each command reaches them from any working folder. A link
    // is deleted itself, never followed: what it names lies outside this folder. An entry listed
    // with a path is left alone: its FilePath names some other file.
    if (const auto files = ListMarkingLinks(session_, std::string(folder) + "/")) {
      for (const CFtpFiles::Entry& entry : *files) {
        if (session_.ErrorNumber() != 0) break;
        if (entry->ListedWithPath()) {
          session_.Log("RemoveDirRecurse.NameWithPath:" + entry->FilePath());
        } else if (!entry->IsDirectory() || entry->IsLink()) {
          DeleteFile(entry->FilePath());
        }
      }
      for (const CFtpFiles::Entry& entry : *files) {
        if (session_.ErrorNumber() != 0) break;
        if (entry->IsDirectory() && !entry->IsLink() && !entry->ListedWithPath())
          RemoveDirRecurse(entry->FilePath());
      }
    }
    if (session_.ErrorNumber() != 0) return false;
    return RemoveDirectory(folder);
  } catch (const NumberedError& error) {
    session_.ReportError("RemoveDirRecurse", static_cast<std::int32_t>(error.number()),
                         error.description());
    return false;
  }
}

}  // namespace tarvik
