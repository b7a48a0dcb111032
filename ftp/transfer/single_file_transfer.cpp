// DownloadOne and UploadOne: the checks, the sizes on both sides, the decision about an existing
// target, and the attempt itself (one operation of the session and its wait).
#include <algorithm>
#include <cmath>
#include <optional>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "core/transfer/conflict_resolution.h"
#include "core/transfer/size_format.h"
#include "core/transfer/transfer_progress.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "local/path_lists.h"
#include "platform/fs/file_attributes.h"
#include "platform/text/ascii_text.h"
#include "platform/time/clock.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"
#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {

// A file on the local disk: its size and the text of its date, as the conflict dialog shows them.
struct LocalFile {
  bool exists = false;
  std::int64_t size = 0;
  std::string date;
};

LocalFile InspectLocalFile(const std::string& path) {
  LocalFile file;
  if (!CFile().FileExists(path)) return file;
  platform::FileAttributeData data;
  if (!platform::GetFileAttributesEx(path, &data)) return file;
  file.exists = true;
  file.size = static_cast<std::int64_t>(data.size);
  file.date = platform::GeneralDateText(platform::ToLocalTime(data.last_write_time));
  return file;
}

// What the server says about the remote file: its size (-1 missing) and date.
struct RemoteFile {
  std::int64_t size = -1;
  std::string date;
};

// The local path is usable for a new file: absolute ("X:\..." or "\\...", at least 4 characters)
// and in an existing folder. A failure is not retried.
void CheckDownloadTarget(FtpSession& session, const std::string& local_path) {
  const bool absolute = local_path.size() >= 4 &&
                        (local_path.compare(1, 2, ":\\") == 0 || local_path.rfind("\\\\", 0) == 0);
  if (!absolute) {
    session.state().retry_counter = session.settings().redo_times;
    Raise(ErrorCode::kNotAbsolutePath, ErrorTextWith(ErrorCode::kNotAbsolutePath, local_path));
  }
  const std::string parent = GetParentPath(local_path);
  if (!CFile().FolderExists(parent)) {
    session.state().retry_counter = session.settings().redo_times;
    Raise(ErrorCode::kLocalFolderMissing, ErrorTextWith(ErrorCode::kLocalFolderMissing, parent));
  }
}

bool MentionsMissingFile(const std::string& info) {
  const std::string lower = platform::ToLowerAscii(info);
  return lower.find("no such") != std::string::npos ||
         lower.find("cannot find") != std::string::npos ||
         lower.find("can't find") != std::string::npos;
}

// The size by SIZE; -1 when missing, -2 when the query failed otherwise (its error recorded).
std::int64_t QuerySize(FtpSession& session, const std::string& remote_path) {
  const double size = RemoteOperations(session).GetRemoteFileSize(remote_path);
  return static_cast<std::int64_t>(size);
}

// The size by SIZE; -1 when missing. A failed query raises its error.
std::int64_t SizeBySizeCommand(FtpSession& session, const std::string& remote_path) {
  const std::int64_t size = QuerySize(session, remote_path);
  if (size == -2) Raise(session.ErrorNumber(), session.ErrorInfo());
  return size;
}

// How the remote file is looked up.
enum class Lookup {
  kSize,       // SIZE only (a standing answer needs no date)
  kListing,    // the directory entry (size and date for the question), SIZE when the listing fails
  kSizeFirst,  // SIZE; the entry only when SIZE fails otherwise (a server without SIZE)
  kSizeAndDate,  // SIZE, and the entry when the file is there (the question shows its date), so
                 // that a missing file costs no listing (one round trip instead of four)
};

RemoteFile LookUpRemoteFile(FtpSession& session, const std::string& remote_path, Lookup how) {
  RemoteFile file;
  if (how == Lookup::kSize) {
    file.size = SizeBySizeCommand(session, remote_path);
    return file;
  }
  if (how == Lookup::kSizeFirst) {
    // A file of the folder a batch just listed is in the listing cache: no round trip.
    RemoteListing listing(session);
    const std::string absolute = ResolveRemotePath(session.state().current_directory, remote_path);
    if (auto entry = listing.GetFtpFileInfoFromCache(absolute);
        entry && !entry->IsDirectory() && !entry->IsLink()) {
      file.size = static_cast<std::int64_t>(entry->FileSize());
      file.date = entry->LastWriteTime();
      return file;
    }
  }
  if (how == Lookup::kSizeFirst || how == Lookup::kSizeAndDate) {
    file.size = QuerySize(session, remote_path);
    if (file.size == -1 || (file.size >= 0 && how == Lookup::kSizeFirst)) return file;
  }
  if (auto entry = RemoteListing(session).GetFtpFileInfo(remote_path)) {
    if (entry->IsDirectory()) return {};
    file.date = entry->LastWriteTime();
    // A link is listed with the size of the link itself; SIZE answers for the file it names.
    if (!entry->IsLink()) {
      file.size = static_cast<std::int64_t>(entry->FileSize());
    } else if (file.size < 0) {
      file.size = SizeBySizeCommand(session, remote_path);
    }
    return file;
  }
  if (session.ErrorNumber() == ErrorCode::kRemoteFileMissing ||
      session.ErrorNumber() == ErrorCode::kFileUnavailable ||
      MentionsMissingFile(session.ErrorInfo())) {
    return {};
  }
  file.size = SizeBySizeCommand(session, remote_path);
  return file;
}

// The start of every single-file procedure: refused while an operation runs, errors cleared, the
// file's figures zeroed, a fresh retry counter unless this is a retry.
void BeginFile(FtpSession& session) {
  SessionState& state = session.state();
  if (state.current_operation != Operation::kNone) Raise(ErrorCode::kOperationUnfinished);
  state.fallback_error = {};
  ClearErrorRecord();
  session.statistics().percent = 0;
  session.statistics().file_size = 0;
  if (state.retry_counter < 2) state.retry_counter = 1;
}

// Starts the attempt's operation with TYPE; the reply rows and the data connection go on from it.
void StartAttempt(FtpSession& session, Operation operation) {
  session.BeginAsyncMethod(operation);
  session.statistics().last_data_tick_ms = platform::CurrentClock().MonotonicMs();
  if (!session.SendFtpCommand("TYPE", session.data_connection().TransferTypeCode())) {
    session.EndAsyncMethod();
  }
}

// A skipped file: listed in SkippedFiles (`listed_path`) and counted as done in the batch.
bool RecordSkip(FtpSession& session, const std::string& listed_path, std::int64_t size,
                const std::string& log_line) {
  session.statistics().skipped_files += "|" + listed_path;
  session.statistics().total_transferred_size += static_cast<double>(size);
  session.Log(log_line);
  session.RaiseTransfer();
  return true;
}

// A target that already holds every byte of the file.
bool RecordAlreadyComplete(FtpSession& session, std::int64_t size) {
  session.statistics().percent = 100;
  session.statistics().transferred_size = static_cast<double>(size);
  session.RaiseTransfer();
  return true;
}

}  // namespace

bool TransferEngine::DownloadOne() {
  return TransferOne(TransferDirection::kDownload);
}

bool TransferEngine::UploadOne() {
  return TransferOne(TransferDirection::kUpload);
}

bool TransferEngine::TransferOne(TransferDirection direction) {
  try {
    return direction == TransferDirection::kDownload ? RunDownload() : RunUpload();
  } catch (const NumberedError& error) {
    return AfterFailure(direction, error.number(), error.description(), false);
  }
}

bool TransferEngine::RunDownload() {
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  TransferSettings& options = session_.transfer_settings();
  BeginFile(session_);
  const std::string local_path = session_.settings().local_path;
  const std::string remote_path = session_.settings().remote_path;

  LocalFile local = InspectLocalFile(local_path);
  if (!local.exists) CheckDownloadTarget(session_, local_path);

  RemoteFile remote;
  const bool size_unknown = options.without_list;
  if (size_unknown) {
    remote.size = 1;  // placeholder: the size is learnt from what arrives
  } else {
    // Without a local file no question is asked, so SIZE tells enough.
    const Lookup how = options.replace_code != 0 ? Lookup::kSize
                       : local.exists            ? Lookup::kListing
                                                 : Lookup::kSizeFirst;
    remote = LookUpRemoteFile(session_, remote_path, how);
    if (remote.size < 0)
      Raise(ErrorCode::kRemoteFileMissing,
            ErrorTextWith(ErrorCode::kRemoteFileMissing, remote_path));
  }
  statistics.total_file_size =
      std::max(statistics.total_file_size, static_cast<double>(remote.size));

  bool replace = false;
  if (local.exists) {
    ConflictQuery query{
        false,      GetFileName(local_path),          true,        static_cast<double>(local.size),
        local.date, static_cast<double>(remote.size), remote.date, size_unknown};
    const ConflictDecision decision = ResolveConflict(
        options.replace_code, options.overwrite, options.rename_rule, query, windows_to_raise_);
    if (decision.outcome == ConflictOutcome::kSkip) {
      return RecordSkip(session_, remote_path, remote.size,
                        "Download.Skip:" + remote_path + "|" + local_path);
    }
    if (decision.outcome == ConflictOutcome::kRename) {
      session_.settings().local_path = WithNewFileName(local_path, '\\', decision.new_name);
      return RunDownload();
    }
    replace = decision.overwrite;
  }
  if (options.max_size > 0 && options.max_size < static_cast<double>(remote.size)) {
    Raise(ErrorCode::kFileTooLarge, TooLargeText(options.max_size));
  }
  if (replace) session_.Log("Download.Overwrite");
  const std::int64_t offset = local.exists && !replace ? local.size : 0;

  statistics.file_size = static_cast<double>(remote.size);
  statistics.transferred_size = static_cast<double>(offset);
  statistics.total_transferred_size += static_cast<double>(offset);
  if (!size_unknown && remote.size > 0 && remote.size <= offset) {
    return RecordAlreadyComplete(session_, remote.size);
  }

  MarkFileStart(statistics);
  statistics.start_tick_ms = 0;
  const bool ascii_mode = session_.settings().transfer_mode == 0;
  TransferPlan plan{TransferDirection::kDownload,
                    local_path,
                    remote_path,
                    RemoteCommandArgument(remote_path),
                    remote.size,
                    offset,
                    replace,
                    size_unknown,
                    ascii_mode};
  RunningTransfer transfer(session_, plan);
  try {
    StartAttempt(session_, Operation::kDownload);
    session_.Log("Download.FileSize=" + std::to_string(remote.size));
    WaitForTransfer(transfer);
  } catch (const NumberedError& error) {
    // The attempt's own failure: the retry may resume only from bytes this attempt wrote.
    const bool untouched = replace && transfer.bytes_done() == 0;
    transfer.CloseLocalFile();
    return AfterFailure(TransferDirection::kDownload, error.number(), error.description(),
                        untouched);
  }
  const bool untouched = replace && transfer.bytes_done() == 0;
  if (state.abort_requested || state.abort_current_only)
    SetRecordedErrorNumber(ErrorCode::kOperationCanceled);
  if (session_.ErrorRecorded()) {
    if (size_unknown) statistics.file_size = 0;
    const std::int32_t number = session_.ErrorNumber();
    const std::string info = session_.ErrorInfo();
    transfer.CloseLocalFile();
    return AfterFailure(TransferDirection::kDownload, number, info, untouched);
  }
  const bool complete = size_unknown || ascii_mode ? transfer.download_complete()
                                                   : transfer.bytes_done() == remote.size;
  state.retry_counter = 1;
  MarkFileEnd(statistics);
  if (!complete) {
    session_.CSSTimeout();
    session_.Log("DownloadOne.INVSIZE:" + std::to_string(remote.size) + "|" +
                 std::to_string(transfer.bytes_done()));
    if (session_.ErrorRecorded()) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    session_.Log("DownloadOne.FAILED:" + local_path);
    Raise(ErrorCode::kSizeMismatch, GetErrorText(ErrorCode::kSizeMismatch));
  }
  transfer.CompleteReplacement();
  statistics.percent = 100;
  statistics.left_time_estimate = 0;
  statistics.transferred_size = static_cast<double>(transfer.bytes_done());
  if (size_unknown) statistics.file_size = statistics.transferred_size;
  AppendOnce(statistics.transferred_local_files, local_path);
  AppendOnce(statistics.transferred_remote_files, remote_path);
  session_.SetFtpState(FtpStates::ftpDownloadCompleted);
  session_.RaiseTransfer();
  session_.Log("DownloadOne.Completed:" + local_path);
  return true;
}

bool TransferEngine::RunUpload() {
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  TransferSettings& options = session_.transfer_settings();
  BeginFile(session_);
  statistics.transferred_size = 0;
  if (statistics.queue_index < statistics.queue_total) ++statistics.queue_index;
  const std::string local_path = session_.settings().local_path;
  std::string remote_path = session_.settings().remote_path;
  const auto refuse = [&](long number, std::string text) {
    state.retry_counter = session_.settings().redo_times;
    Raise(number, std::move(text));
  };
  if (remote_path.empty())
    refuse(ErrorCode::kInputRemotePath, GetErrorText(ErrorCode::kInputRemotePath));
  if (local_path.empty())
    refuse(ErrorCode::kInputLocalPath, GetErrorText(ErrorCode::kInputLocalPath));
  const LocalFile local = InspectLocalFile(local_path);
  if (!local.exists)
    refuse(ErrorCode::kLocalFileMissing, ErrorTextWith(ErrorCode::kLocalFileMissing, local_path));
  statistics.file_size = static_cast<double>(local.size);
  if (options.max_size > 0 && options.max_size < static_cast<double>(local.size)) {
    Raise(ErrorCode::kFileTooLarge, TooLargeText(options.max_size));
  }

  // The question shows the remote file's size and date; a standing rename, resume or skip acts
  // only on a remote file that is there; overwrite needs nothing. A file found inside a folder
  // item is looked up in one listing of its remote folder when the question or a skip decides.
  const std::int16_t standing = static_cast<std::int16_t>(options.replace_code % 20);
  const bool asks = options.replace_code == 0;
  const bool skips = standing == platform::kReplaceSkip || standing == platform::kReplaceSkipAll;
  RemoteFile remote;
  const bool listed =
      (asks || skips) && LookUpInFolderListing(remote_path, remote.size, remote.date);
  if (!listed && asks) {
    remote = LookUpRemoteFile(session_, remote_path, Lookup::kSizeAndDate);
  } else if (!listed && skips) {
    // A server without SIZE is asked for the entry instead, so that a skip never fails a file
    // that would otherwise have been sent.
    remote = LookUpRemoteFile(session_, remote_path, Lookup::kSizeFirst);
  } else if (!listed && standing >= platform::kReplaceRename) {  // rename, resume
    remote = LookUpRemoteFile(session_, remote_path, Lookup::kSize);
  }
  ConflictQuery query{true,
                      GetFileName(remote_path),
                      remote.size > 0,
                      static_cast<double>(remote.size),
                      remote.date,
                      static_cast<double>(local.size),
                      local.date,
                      false};
  const ConflictDecision decision = ResolveConflict(options.replace_code, options.overwrite,
                                                    options.rename_rule, query, windows_to_raise_);
  if (decision.outcome == ConflictOutcome::kSkip) {
    return RecordSkip(session_, local_path, local.size,
                      "Upload.Skip:" + local_path + "|" + remote_path);
  }
  if (decision.outcome == ConflictOutcome::kRename) {
    session_.settings().remote_path = WithNewFileName(remote_path, '/', decision.new_name);
    if (statistics.queue_index > 0) --statistics.queue_index;  // the restart counts it again
    return RunUpload();
  }
  std::int64_t offset = 0;
  if (decision.overwrite || remote.size <= 0) {
    if (remote.size > 0) session_.Log("Upload.Overwrite");
  } else {
    offset = remote.size;
    session_.Log("Upload.RemoteFileSize=" + std::to_string(offset));
  }
  statistics.total_transferred_size += static_cast<double>(offset);
  if (local.size > 0 && offset >= local.size) return RecordAlreadyComplete(session_, local.size);
  if (remote.size < 1) {
    const std::string parent = GetParentPath(remote_path);
    if (!parent.empty() && parent != "/" && !RemoteOperations(session_).CreateDirectory(parent)) {
      session_.Log("CreateDirectory Error -- " + parent);
      state.fallback_error = {};
      ClearErrorRecord();
    }
  }

  MarkFileStart(statistics);
  statistics.start_tick_ms = 0;
  TransferPlan plan{TransferDirection::kUpload,         local_path, remote_path,
                    RemoteCommandArgument(remote_path), local.size, offset};
  RunningTransfer transfer(session_, plan);
  try {
    StartAttempt(session_, Operation::kUpload);
    session_.remote_folders().cache.NoteChanged(GetFileName(remote_path));
    WaitForTransfer(transfer);
  } catch (const NumberedError& error) {
    transfer.CloseLocalFile();
    return AfterFailure(TransferDirection::kUpload, error.number(), error.description(), false);
  }
  transfer.CloseLocalFile();
  if (state.abort_requested || state.abort_current_only)
    SetRecordedErrorNumber(ErrorCode::kOperationCanceled);
  if (session_.ErrorRecorded()) {
    return AfterFailure(TransferDirection::kUpload, session_.ErrorNumber(), session_.ErrorInfo(),
                        false);
  }
  state.retry_counter = 1;
  MarkFileEnd(statistics);
  if (transfer.bytes_done() != local.size) {
    session_.CSSTimeout();
    session_.Log("UploadOne.INVSIZE:" + std::to_string(local.size) + "|" +
                 std::to_string(transfer.bytes_done()));
    if (session_.ErrorRecorded()) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    session_.Log("Upload.FAILED:" + local_path);
    Raise(ErrorCode::kSizeMismatch, GetErrorText(ErrorCode::kSizeMismatch));
  }
  // Up to the server's 226: the bytes were stored, not only handed to the system.
  FinalSpeedStep(statistics, local.size, offset, platform::CurrentClock().MonotonicMs());
  statistics.percent = 100;
  statistics.left_time_estimate = 0;
  statistics.transferred_size = static_cast<double>(local.size);
  statistics.start_tick_ms = 0;
  store_restarts_ = 0;
  AppendOnce(statistics.transferred_local_files, local_path);
  AppendOnce(statistics.transferred_remote_files, session_.settings().remote_path);
  session_.SetFtpState(FtpStates::ftpUploadCompleted);
  session_.RaiseTransfer();
  session_.Log("Upload.Completed:" + local_path);
  return true;
}

}  // namespace tarvik
