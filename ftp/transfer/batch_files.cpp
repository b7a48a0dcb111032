// The file work of a batch, one single-file transfer per item. The first file that fails ends
// the batch with its error; a file stopped by AbortCurrent is recorded in AbortedFiles and the
// batch goes on; Abort ends the batch with 16010.
#include <algorithm>
#include <string>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "local/path_lists.h"

namespace tarvik {
namespace {

// A file taken out of the upload batch by QueueRemove (the path compared with case).
bool IsRemoved(std::string& removed_files, const std::string& path) {
  if (removed_files.empty() || removed_files.back() != '|') removed_files += '|';
  return removed_files.find("|" + path + "|") != std::string::npos;
}

}  // namespace

void TransferEngine::TransferFiles(TransferDirection direction,
                                   const std::vector<BatchItem>& items) {
  const bool upload = direction == TransferDirection::kUpload;
  SessionSettings& settings = session_.settings();
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  if (!upload) {
    // The files of this folder are known now: the total counts them beside those begun.
    statistics.queue_total = std::max(
        statistics.queue_total, statistics.queue_index + static_cast<std::int32_t>(items.size()));
  }
  for (const BatchItem& item : items) {
    TakeAbortRequest();
    if (upload && IsRemoved(statistics.removed_files, item.source)) {
      session_.Log("Skip upload:" + item.source + "#[" + statistics.removed_files + "]");
      continue;
    }
    if (!upload) ++statistics.queue_index;
    const std::string target = FileTarget(item, upload ? '/' : '\\');
    if (target.empty()) Raise(ErrorCode::kSpecifySavePath);
    if (!upload) {
      const std::string folder = GetParentPath(target);
      if (!folder.empty() && !CFile().FolderExists(folder) && !CFile().CreateFolder(folder)) {
        Raise(session_.ErrorNumber(), session_.ErrorInfo());
      }
    }
    state.retry_counter = 1;
    settings.local_path = FormatLocalPath(upload ? item.source : target);
    settings.remote_path = FormatFtpPath(upload ? target : item.source);
    if (upload ? UploadOne() : DownloadOne()) continue;

    statistics.transfer_state.clear();
    if (session_.ErrorNumber() == ErrorCode::kOperationCanceled && state.abort_current_only) {
      statistics.aborted_files += "|" + item.source;
      session_.Log(std::string(upload ? "UpLoadAll_AbortCurrent[" : "DownloadAll_AbortCurrent[") +
                   item.source + "]");
      state.abort_current_only = false;
      state.fallback_error = {};
      ClearErrorRecord();
      continue;
    }
    if (state.abort_requested) {
      state.abort_requested = false;
      Raise(ErrorCode::kOperationCanceled);
    }
    if (session_.ErrorNumber() != 0) Raise(session_.ErrorNumber(), session_.ErrorInfo());
  }
}

}  // namespace tarvik
