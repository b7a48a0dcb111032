// Download and Upload: the path lists checked and paired, then one single-file transfer per item.
// The first file that fails ends the batch, except a file stopped by AbortCurrent, which is
// recorded in AbortedFiles while the batch goes on.
#include <string>
#include <vector>

#include "control/errors/numbered_error.h"
#include "ftp/directory/message_texts.h"
#include "ftp/session/error_record_access.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/conflict_resolution.h"
#include "ftp/transfer/path_lists.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "ftp/transfer/transfer_progress.h"
#include "local/c_file.h"
#include "platform/fs/file_attributes.h"

namespace tarvik {
namespace {

constexpr long kInputRemotePath = 20005;
constexpr long kInputLocalPath = 20006;
constexpr long kLocalFileMissing = 20009;
constexpr long kSpecifySavePath = 20019;
constexpr long kCanceled = 16010;

// One file of the batch: where it comes from and where it goes.
struct BatchItem {
  std::string source;
  std::string target;
};

// The batch's items, source by source with its paired target.
std::vector<BatchItem> PairItems(const std::string& sources, const std::string& targets,
                                 char source_separator, char target_separator,
                                 const TransferSettings& options) {
  const std::vector<std::string> source_items = SplitPathList(sources);
  const std::vector<std::string> target_items = SplitPathList(targets);
  std::vector<BatchItem> items;
  for (std::size_t i = 0; i < source_items.size(); ++i) {
    if (IsFolderItem(source_items[i], source_separator)) {
      Raise(kSpecifySavePath, "Folders and patterns cannot be transferred by this build: " +
                                  source_items[i]);
    }
    CheckFileType(source_items[i], options.allow_type, options.deny_type);
    items.push_back({source_items[i], PairedTarget(target_items, i, target_separator)});
  }
  return items;
}

// A target naming a folder gets the source's file name.
std::string FileTarget(const BatchItem& item, char separator) {
  if (item.target.empty() || item.target.back() != separator) return item.target;
  const std::size_t cut = item.source.find_last_of("/\\");
  return item.target + (cut == std::string::npos ? item.source : item.source.substr(cut + 1));
}

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

bool TransferEngine::Download() {
  return RunFileList(TransferDirection::kDownload);
}

bool TransferEngine::Upload() {
  return RunFileList(TransferDirection::kUpload);
}

bool TransferEngine::RunFileList(TransferDirection direction) {
  const bool upload = direction == TransferDirection::kUpload;
  const char* procedure = upload ? "Upload" : "Download";
  SessionSettings& settings = session_.settings();
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  TransferSettings& options = session_.transfer_settings();
  bool result = false;
  try {
    state.fallback_error = {};
    ClearErrorRecord();
    if (TrimBlanks(settings.remote_path).empty()) Raise(kInputRemotePath);
    if (TrimBlanks(settings.local_path).empty()) Raise(kInputLocalPath);
    state.abort_requested = false;
    state.abort_current_only = false;
    statistics.queue_index = 0;
    statistics.queue_total = 0;
    if (upload) statistics.aborted_files.clear();
    const std::string locals = FormatLocalPath(settings.local_path);
    const std::string remotes = FormatFtpPath(settings.remote_path);
    session_.Log(std::string(procedure) + "#" + std::to_string(options.replace_code) + "LP=" +
                 locals + ",RP=" + remotes);
    const std::vector<BatchItem> items =
        upload ? PairItems(locals, remotes, '\\', '/', options)
               : PairItems(remotes, locals, '/', '\\', options);
    ResetBatchFigures(statistics);
    if (upload && options.show_total_progress) {
      for (const BatchItem& item : items) {
        platform::FileAttributeData data;
        if (!CFile().FileExists(item.source) || !platform::GetFileAttributesEx(item.source, &data)) {
          Raise(kLocalFileMissing, ErrorTextWith(kLocalFileMissing, item.source));
        }
        statistics.total_file_size += static_cast<double>(data.size);
      }
      session_.Log("UL#TFS#" + std::to_string(statistics.total_file_size));
    }
    if (!session_.Connect()) Raise(session_.ErrorNumber(), session_.ErrorInfo());

    statistics.queue_total = static_cast<std::int32_t>(items.size());
    for (const BatchItem& item : items) {
      if (!upload) ++statistics.queue_index;
      const std::string target = FileTarget(item, upload ? '/' : '\\');
      if (target.empty()) Raise(kSpecifySavePath);
      if (!upload) {
        const std::string folder = GetParentPath(target);
        if (!folder.empty() && !CFile().FolderExists(folder) && !CFile().CreateFolder(folder)) {
          Raise(session_.ErrorNumber(), session_.ErrorInfo());
        }
      }
      state.retry_counter = 1;
      settings.local_path = upload ? item.source : target;
      settings.remote_path = upload ? target : item.source;
      const bool done = upload ? UploadOne() : DownloadOne();
      if (done) continue;
      statistics.transfer_state.clear();
      if (session_.ErrorNumber() == kCanceled && state.abort_current_only) {
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
        Raise(kCanceled);
      }
      if (session_.ErrorNumber() != 0) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    }
    result = true;
  } catch (const NumberedError& error) {
    session_.ReportError(procedure, static_cast<std::int32_t>(error.number()), error.description());
  }
  EndBatchAnswers(options.replace_code);
  statistics.removed_files.clear();
  MarkBatchEnd(statistics);
  if (result) statistics.total_percent = 100;
  session_.RaiseTransfer();
  return result;
}

}  // namespace tarvik
