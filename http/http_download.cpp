// DownloadHttpFile: the list of addresses, their targets, and the batch figures.
#include "http/http_download.h"

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "core/session/operation_core.h"
#include "core/transfer/conflict_resolution.h"
#include "core/transfer/transfer_progress.h"
#include "local/c_file.h"
#include "local/path_rules.h"
#include "net/csocket.h"
#include "platform/text/ascii_text.h"
#include "platform/tls/tls_client.h"

namespace tarvik {
namespace {

// The "|"-separated items of `list`, empty ones kept (an empty address is passed over, and the
// targets pair with the addresses by position).
std::vector<std::string> SplitItems(const std::string& list) {
  std::vector<std::string> items;
  std::size_t from = 0;
  for (std::size_t bar; (bar = list.find('|', from)) != std::string::npos; from = bar + 1) {
    items.push_back(list.substr(from, bar - from));
  }
  items.push_back(list.substr(from));
  return items;
}

void ResetBatchFigures(TransferStatistics& statistics, std::size_t addresses) {
  statistics.transferred_local_files.clear();
  statistics.transferred_remote_files.clear();
  statistics.skipped_files.clear();
  statistics.speed_sum = 0;
  statistics.speed_samples = 0;
  statistics.queue_index = 0;
  statistics.queue_total = static_cast<std::int32_t>(addresses);
  MarkBatchStart(statistics);
}

}  // namespace

HttpDownload::HttpDownload(OperationCore& session, std::string& windows_to_raise)
    : session_(session), windows_to_raise_(windows_to_raise) {}

HttpDownload::~HttpDownload() {
  CloseHttpConnection();
}

bool HttpDownload::DownloadHttpFile(const HttpProxy& proxy) {
  SessionSettings& settings = session_.settings();
  TransferStatistics& statistics = session_.statistics();
  const std::string given_local = settings.local_path;
  const std::string given_remote = settings.remote_path;
  bool result = false;
  try {
    if (settings.remote_path.empty()) Raise(ErrorCode::kInputRemotePath);
    if (settings.local_path.empty()) Raise(ErrorCode::kInputLocalPath);
    session_.state().fallback_error = {};
    active_ = true;
    const std::string local_list = FormatLocalPath(settings.local_path);
    std::string remote_list = FormatFtpPath(settings.remote_path);
    if (!remote_list.empty() && remote_list.back() == '|') remote_list.pop_back();
    const std::vector<std::string> addresses = SplitItems(remote_list);
    const std::vector<std::string> targets = SplitItems(local_list);
    ResetBatchFigures(statistics, addresses.size());

    std::string folder;
    for (std::size_t i = 0; i < addresses.size(); ++i) {
      statistics.queue_index = static_cast<std::int32_t>(i + 1);
      settings.local_path.clear();
      settings.remote_path = platform::Trim(addresses[i], platform::kSpaces);
      if (settings.remote_path.empty()) continue;
      if (i < targets.size() && !platform::Trim(targets[i], platform::kSpaces).empty()) {
        const std::string target(platform::Trim(targets[i], platform::kSpaces));
        if (target.back() == '\\' || CFile().FolderExists(target)) {
          folder = target;
        } else {
          folder = GetParentPath(target);
          settings.local_path = target;
        }
      }
      if (!folder.empty() && !CFile().FolderExists(folder) && !CFile().CreateFolder(folder)) {
        Raise(session_.ErrorNumber(), session_.ErrorInfo());
      }
      if (settings.local_path.empty()) {
        const std::string name = GetFileName(settings.remote_path);
        if (name.empty() || folder.empty()) Raise(ErrorCode::kSpecifySavePath);
        settings.local_path = folder + "\\" + name;
      }
      settings.local_path = FormatLocalPath(settings.local_path);
      settings.remote_path = FormatFtpPath(settings.remote_path);
      if (!DownloadHttpFileOne(proxy)) Raise(session_.ErrorNumber(), session_.ErrorInfo());
      if (session_.state().abort_requested) {
        session_.state().abort_requested = false;
        Raise(ErrorCode::kOperationCanceled);
      }
    }
    result = true;
  } catch (const NumberedError& error) {
    session_.ReportError("DownloadHttpFile", static_cast<std::int32_t>(error.number()),
                         error.description());
  }
  MarkBatchEnd(statistics);
  EndBatchAnswers(session_.transfer_settings().replace_code);
  settings.local_path = given_local;
  settings.remote_path = given_remote;
  active_ = false;
  CloseHttpConnection();
  socket_.reset();
  return result;
}

}  // namespace tarvik
