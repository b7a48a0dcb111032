// Files: existence and size, delete, rename; and the working folder.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {
constexpr double kSizeFailed = -2;
constexpr double kSizeMissing = -1;

}  // namespace

void RemoteOperations::ClearError() {
  session_.state().fallback_error = {};
  ClearErrorRecord();
}

bool RemoteOperations::FileNotFound() const {
  const std::string info = session_.ErrorInfo();
  return info.find("no such") != std::string::npos ||
         info.find("cannot find") != std::string::npos ||
         info.find("can't find") != std::string::npos ||
         RecordedErrorNumber() == ErrorCode::kRemoteFileMissing ||
         session_.state().remote_size == kSizeMissing;
}

bool RemoteOperations::ExistFile(std::string_view file_name) {
  return GetFtpFileSize(file_name) >= 0;
}

double RemoteOperations::GetFileSize(std::string_view file_path) {
  ClearError();
  // Only this call's lookups may say "missing".
  session_.state().remote_size = 0;
  try {
    const std::string path(platform::Trim(file_path, platform::kSpaces));
    if (path.empty()) Raise(ErrorCode::kInputRemotePath);
    if (const auto file = RemoteListing(session_).GetFtpFileInfo(path)) return file->FileSize();
    if (FileNotFound()) {
      session_.ReportError("GetFileSize", ErrorCode::kRemoteFileMissing,
                           ErrorTextWith(ErrorCode::kRemoteFileMissing, path));
      return kSizeMissing;
    }
    const double size = GetRemoteFileSize(path);
    if (FileNotFound()) return kSizeMissing;
    if (session_.ErrorNumber() != 0) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    return size;
  } catch (const NumberedError& error) {
    session_.ReportError("GetFileSize", static_cast<std::int32_t>(error.number()),
                         error.description());
    return kSizeFailed;
  }
}

double RemoteOperations::GetRemoteFileSize(std::string_view path) {
  ClearError();
  SessionState& state = session_.state();
  state.remote_size = kSizeFailed;
  try {
    const std::string trimmed(platform::Trim(path, platform::kSpaces));
    if (!session_.Connect()) return kSizeFailed;
    if (session_.RefuseWhileBusy()) return kSizeFailed;
    if (trimmed.empty()) Raise(ErrorCode::kInputRemotePath);
    const std::string argument = RemoteCommandArgument(trimmed);
    session_.remote_folders().size_path = argument;
    // Servers refuse SIZE in ASCII mode (a byte count there depends on line ends): binary mode
    // first, and its 200 sends the SIZE.
    session_.RunOperation(Operation::kFileSize, "TYPE", "I", "GetRemoteFileSize");
    return state.remote_size;
  } catch (const NumberedError& error) {
    session_.ReportError("GetRemoteFileSize", static_cast<std::int32_t>(error.number()),
                         error.description());
    return kSizeFailed;
  }
}

bool RemoteOperations::DeleteFile(std::string_view file_path) {
  ClearError();
  const std::string path(platform::Trim(file_path, platform::kSpaces));
  if (path.empty()) {
    session_.ReportError("DeleteFile", ErrorCode::kInputRemotePath, "");
    return false;
  }
  if (!session_.RunOperation(Operation::kDelete, "DELE", RemoteCommandArgument(path),
                             "DeleteFile")) {
    return false;
  }
  session_.remote_folders().cache.NoteChanged(path);
  return true;
}

bool RemoteOperations::RenameFile(std::string_view old_file_name, std::string_view new_file_name) {
  ClearError();
  const std::string old_name(platform::Trim(old_file_name, platform::kSpaces));
  const std::string new_name(platform::Trim(new_file_name, platform::kSpaces));
  if (old_name.empty() || new_name.empty()) {
    session_.ReportError("RenameFile", ErrorCode::kInputRemotePath, "");
    return false;
  }
  if (old_name == new_name) return true;
  session_.remote_folders().rename_target = RemoteCommandArgument(new_name);
  if (!session_.RunOperation(Operation::kRename, "RNFR", RemoteCommandArgument(old_name),
                             "RenameFile")) {
    return false;
  }
  session_.remote_folders().cache.NoteChanged(old_name);
  session_.remote_folders().cache.NoteChanged(new_name);
  return true;
}

bool RemoteOperations::SetCurrentDirectory(std::string_view directory_path) {
  std::string path = FormatFtpPath(directory_path);
  if (path.empty()) return true;
  if (path == ".") path = "/";
  if (!session_.RunOperation(Operation::kSetCurrentDirectory, "CWD", RemoteCommandArgument(path),
                             "SetCurrentDirectory")) {
    return false;
  }
  std::string& tracked = session_.state().current_directory;
  tracked = ResolveRemotePath(tracked, path);
  session_.Log("SCDPATH: " + tracked + "; ");
  return true;
}

}  // namespace tarvik
