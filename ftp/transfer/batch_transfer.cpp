// Download and Upload: the path lists checked, split into folder work and file work and paired;
// the folder pass, the file pass, the upload queue, and the batch's figures and result lists.
#include <algorithm>
#include <string>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "core/transfer/conflict_resolution.h"
#include "core/transfer/transfer_progress.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "local/path_lists.h"
#include "platform/fs/name_rules.h"
#include "platform/loop/message_loop.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

void ResetBatchFigures(TransferStatistics& statistics) {
  statistics.total_percent = 0;
  statistics.total_transferred_size = 0;
  statistics.total_file_size = 0;
  statistics.speed_sum = 0;
  statistics.speed_samples = 0;
  statistics.transferred_local_files.clear();
  statistics.transferred_remote_files.clear();
  statistics.skipped_files.clear();
  MarkBatchStart(statistics);
}

}  // namespace

TransferEngine::TransferEngine(FtpSession& session)
    : session_(session),
      local_(
          [&session](std::string_view procedure, long number, std::string_view description) {
            session.ReportError(procedure, static_cast<std::int32_t>(number),
                                std::string(description));
          },
          [] { platform::ProcessPendingMessages(); }) {}

bool TransferEngine::Download() {
  return RunBatch(TransferDirection::kDownload);
}

bool TransferEngine::Upload() {
  return RunBatch(TransferDirection::kUpload);
}

bool TransferEngine::RunBatch(TransferDirection direction) {
  const bool upload = direction == TransferDirection::kUpload;
  const char* procedure = upload ? "Upload" : "Download";
  SessionSettings& settings = session_.settings();
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  TransferSettings& options = session_.transfer_settings();
  RemoteFolderState& folders = session_.remote_folders();
  const bool outermost = !continuing_queue_;
  bool result = false;
  try {
    state.fallback_error = {};
    ClearErrorRecord();
    // A list of blank items (" | ") names nothing, as an empty one does.
    if (SplitPathList(settings.remote_path).empty()) Raise(ErrorCode::kInputRemotePath);
    if (SplitPathList(settings.local_path).empty()) Raise(ErrorCode::kInputLocalPath);
    state.abort_requested = false;
    state.abort_current_only = false;
    // The queue's files continue the batch's counts.
    if (outermost) {
      statistics.queue_index = 0;
      statistics.queue_total = 0;
      statistics.aborted_files.clear();
    }
    const std::string locals = FormatLocalPath(settings.local_path);
    const std::string remotes = FormatFtpPath(settings.remote_path);
    session_.Log(std::string(procedure) + "#" + std::to_string(options.replace_code) +
                 "LP=" + locals + ",RP=" + remotes);
    const BatchPlan plan =
        upload ? PlanBatch(locals, remotes, {'\\', '/'}, options.create_source_folder,
                           options.allow_type, options.deny_type)
               : PlanBatch(remotes, locals, {'/', '\\'}, options.create_source_folder,
                           options.allow_type, options.deny_type);
    if (outermost) ResetBatchFigures(statistics);
    if (upload) {
      upload_items_.clear();
      for (const BatchItem& item : plan.files)
        upload_items_.push_back(platform::FoldCase(item.source));
      if (outermost) PlanUploadTotals(plan);
      folders.created_memo_active = true;
      if (outermost) {
        folders.created_memo.clear();
        folders.new_folders_memo.clear();
      }
    }
    if (!session_.Connect()) Raise(session_.ErrorNumber(), session_.ErrorInfo());

    for (const BatchItem& folder : plan.folders) {
      if (upload) {
        UploadFolder(folder.source, folder.target);
      } else {
        DownloadFolder(folder.source, folder.target);
      }
    }
    TransferFiles(direction, plan.files);
    result = true;
  } catch (const NumberedError& error) {
    session_.ReportError(procedure, static_cast<std::int32_t>(error.number()), error.description());
  }
  if (upload && result && !upload_queue_.empty()) {
    // Files and folders added while the batch ran go to the folder of the last file.
    std::string queue;
    queue.swap(upload_queue_);
    settings.remote_path = WithSeparator(GetParentPath(settings.remote_path), '/');
    if (settings.remote_path.empty()) settings.remote_path = "/";
    settings.local_path = queue;
    continuing_queue_ = true;
    result = RunBatch(TransferDirection::kUpload);
    continuing_queue_ = false;
  }
  if (!outermost) return result;
  if (upload) {
    folders.upload_last_parent.clear();
    folders.created_memo_active = false;
    folders.created_memo.clear();
    folders.new_folders_memo.clear();
  }
  EndBatchAnswers(options.replace_code);
  statistics.removed_files.clear();
  upload_queue_.clear();
  MarkBatchEnd(statistics);
  if (result) statistics.total_percent = 100;
  session_.RaiseTransfer();
  return result;
}

// QueueTotal planned ahead (a folder counts its files), and with ShowTotalProgress the bytes of
// the whole batch.
void TransferEngine::PlanUploadTotals(const BatchPlan& plan) {
  TransferStatistics& statistics = session_.statistics();
  double files = static_cast<double>(plan.files.size());
  for (const BatchItem& folder : plan.folders) files += local_.GetLocalFileCount(folder.source);
  statistics.queue_total = static_cast<std::int32_t>(files);
  if (!session_.transfer_settings().show_total_progress) return;
  statistics.total_transferred_size = 0;
  double total = 0;
  for (const BatchItem& folder : plan.folders) {
    if (!CFile().FolderExists(folder.source) && !platform::HasWildcards(folder.source)) {
      Raise(ErrorCode::kLocalFileMissing,
            ErrorTextWith(ErrorCode::kLocalFileMissing, folder.source));
    }
    total += local_.GetLocalFolderSize(folder.source);
  }
  for (const BatchItem& file : plan.files) {
    const double size = local_.GetLocalFileSize(file.source);
    if (size < 0)
      Raise(ErrorCode::kLocalFileMissing, ErrorTextWith(ErrorCode::kLocalFileMissing, file.source));
    total += size;
  }
  statistics.total_file_size = total;
  session_.Log("UL#TFS#" + std::to_string(static_cast<long long>(total)));
}

void TransferEngine::TakeAbortRequest() {
  SessionState& state = session_.state();
  if (!state.abort_requested) return;
  state.abort_requested = false;
  Raise(ErrorCode::kOperationCanceled);
}

}  // namespace tarvik
