// Folders: existence, creation (with the folders above), removal (with what is inside).
#include <array>
#include <string>

#include "control/errors/numbered_error.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/loop/message_loop.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

constexpr std::int32_t kNoRemotePath = 20005;
constexpr std::int32_t kRefused = 16550;
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

void AddToMemo(RemoteFolderState& folders, const std::string& full) {
  if (folders.created_memo_active) folders.created_memo += platform::FoldCase(full) + "|";
}

}  // namespace

bool RemoteOperations::ExistDirectory(std::string_view directory_name) {
  std::string path = FormatFtpPath(directory_name);
  const bool absolute = !path.empty() && path.front() == '/';
  if (absolute) path.erase(0, 1);
  if (!path.empty() && path.back() == '/') path.pop_back();
  const std::size_t slash = path.rfind('/');
  std::string parent = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (absolute) parent = "/" + parent;
  if ((parent == "/" || parent.empty()) && name.empty()) {
    session_.Log("ExistDirectory -- Root -- " + parent);
    return true;
  }
  if (const auto files = RemoteListing(session_).GetFtpDirectoryInfo(parent)) {
    for (const CFtpFiles::Entry& entry : *files) {
      if (entry->IsDirectory() && platform::EqualsIgnoreCase(entry->FileName(), name)) {
        session_.Log("ExistDirectory -- Yes -- " + parent + name);
        return true;
      }
    }
  }
  session_.Log("ExistDirectory -- No -- " + parent + name);
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
  session_.ReportError("CreateDirectory", 16000 + code, reply);
  return false;
}

bool RemoteOperations::CreateDirectory(std::string_view directory_path) {
  SessionState& state = session_.state();
  RemoteFolderState& folders = session_.remote_folders();
  const std::string full =
      FormatFtpPath(state.current_directory + "/" + std::string(directory_path));
  std::string path = FormatFtpPath(directory_path);
  if (MemoHolds(folders, full)) return true;
  ClearError();
  try {
    path = TrimBlanks(path);
    if (path.empty()) Raise(kNoRemotePath);
    if (path.back() == '/') path.pop_back();
    if (!session_.Connect()) return false;
    const std::string trace = state.current_directory + "; " + path + ";" + full;
    if (session_.transfer_settings().mkd_check && ExistDirectory(path)) {
      AddToMemo(folders, full);
      session_.Log("CCD.EXIST: " + trace);
      return true;
    }
    const std::string parent = GetParentPath(path);
    if (!parent.empty()) CreateDirectory(parent);
    if (session_.ErrorNumber() != 0) return false;
    if (session_.RefuseWhileBusy()) return false;
    folders.mkd_existing_code = 0;
    folders.mkd_existing_reply.clear();
    const bool made =
        session_.RunOperation(Operation::kCreateDirectory, "MKD", path, "CreateDirectory") &&
        RefusedFolderExists(path);
    if (made) {
      AddToMemo(folders, full);
      session_.Log("CCDPATH.OK: " + trace);
    } else {
      session_.Log("CCDPATH.ERR: " + trace);
    }
    platform::Sleep(kPauseAfterMkdMs);
    return made;
  } catch (const NumberedError& error) {
    session_.ReportError("CreateDirectory", static_cast<std::int32_t>(error.number()),
                         error.description());
    return false;
  }
}

bool RemoteOperations::RemoveDirectory(std::string_view directory_path) {
  ClearError();
  std::string path = FormatFtpPath(directory_path);
  if (path.empty()) {
    session_.ReportError("RemoveDirectory", kNoRemotePath, "");
    return false;
  }
  if (!session_.Connect()) return false;
  if (session_.RefuseWhileBusy()) return false;
  if (path == "/" || path == "\\") return RemoveDirRecurse("/");
  if (path.back() == '/') path.pop_back();
  if (session_.RunOperation(Operation::kRemoveDirectory, "RMD", path, "RemoveDirectory")) {
    return true;
  }
  session_.Log("RDIR:" + session_.ErrorInfo());
  if (session_.ErrorNumber() != kRefused || !SaysNotEmpty(session_.ErrorInfo())) return false;

  // Not empty: empty it and remove it, once per path. The record lives across calls, so a second
  // removal of the same path fails without emptying, and clears the record for a third.
  std::string& record = session_.statistics().removal_record;
  if (("*" + record + "*").find("*" + path + "*") != std::string::npos) {
    record.clear();
    session_.ReportError("RemoveDirectory", session_.ErrorNumber(), session_.ErrorInfo());
    return false;
  }
  record += "*" + path;
  bool removed = RemoveDirRecurse(path);
  if (session_.ErrorNumber() == 0) {
    session_.RunOperation(Operation::kRemoveDirectory, "RMD", path, "RemoveDirectory");
    if (session_.ErrorNumber() == 0) removed = true;
  }
  return removed;
}

bool RemoteOperations::RemoveDirRecurse(std::string_view path) {
  try {
    const std::string folder = FormatFtpPath("/" + std::string(path));
    if (const auto files = RemoteListing(session_).GetFtpDirectoryInfo(folder)) {
      for (const CFtpFiles::Entry& entry : *files) {
        if (session_.ErrorNumber() != 0) break;
        if (!entry->IsDirectory()) DeleteFile(entry->FilePath());
      }
      for (const CFtpFiles::Entry& entry : *files) {
        if (session_.ErrorNumber() != 0) break;
        if (entry->IsDirectory()) RemoveDirRecurse(entry->FilePath());
      }
    }
    if (session_.ErrorNumber() != 0) return false;
    if (folder == "/" || folder == "\\") return true;
    return RemoveDirectory(folder);
  } catch (const NumberedError& error) {
    session_.ReportError("RemoveDirRecurse", static_cast<std::int32_t>(error.number()),
                         error.description());
    return false;
  }
}

}  // namespace tarvik
