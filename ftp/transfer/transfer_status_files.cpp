// The status files under TranstatePath, for another process watching the transfer: "trans.sta"
// holds the figures of the moment, and a "cancel.sta" it creates asks for Abort.
//
// "trans.sta" is written beside itself and renamed over the old one, so that a reader never sees
// half a line. Every failure here is ignored: the status files never stop a transfer.
#include <string>

#include "core/transfer/transfer_progress.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "platform/fs/file_handles.h"
#include "platform/fs/file_operations.h"
#include "platform/text/number_text.h"

namespace tarvik {
namespace {

constexpr std::string_view kStatusFile = "trans.sta";
constexpr std::string_view kCancelFile = "cancel.sta";

// QueueIndex, QueueTotal, Percent, TransferredSize, FileSize, Speed, SpeedAvg, LeftTime and
// ElapsedTime, joined by "#".
std::string StatusLine(const TransferStatistics& statistics) {
  return std::to_string(statistics.queue_index) + "#" +
         std::to_string(std::max(statistics.queue_total, statistics.queue_index)) + "#" +
         std::to_string(statistics.percent) + "#" +
         platform::DoubleToText(statistics.transferred_size) + "#" +
         platform::DoubleToText(statistics.file_size) + "#" + std::to_string(statistics.speed) +
         "#" + std::to_string(SpeedAvgOf(statistics)) + "#" +
         std::to_string(LeftTimeOf(statistics)) + "#" + std::to_string(ElapsedTimeOf(statistics));
}

void ReplaceFile(const std::string& path, const std::string& text) {
  const std::string temporary = path + ".new";
  const platform::HANDLE file =
      platform::CreateFile(temporary, platform::GENERIC_WRITE, 0, platform::CREATE_ALWAYS);
  if (file == platform::INVALID_HANDLE_VALUE) return;
  platform::DWORD written = 0;
  const bool whole =
      platform::WriteFile(file, text.data(), static_cast<platform::DWORD>(text.size()), &written) &&
      written == text.size();
  platform::CloseHandle(file);
  if (whole) {
    platform::MoveFileEx(temporary, path, platform::MOVEFILE_REPLACE_EXISTING);
  } else {
    platform::DeleteFile(temporary);
  }
}

}  // namespace

void TransferEngine::SetTranstatePath(std::string_view value) {
  std::string& folder = session_.transfer_settings().transtate_path;
  folder = std::string(value);
  if (!CFile().FolderExists(folder)) return;
  folder = FormatLocalPath(folder + "\\");
  platform::DeleteFile(folder + std::string(kCancelFile));
}

void TransferEngine::BeforeTransferEvent() {
  const std::string& folder = session_.transfer_settings().transtate_path;
  if (folder.empty()) return;
  ReplaceFile(folder + std::string(kStatusFile), StatusLine(session_.statistics()) + "\r\n");
  const std::string cancel = folder + std::string(kCancelFile);
  if (!CFile().FileExists(cancel)) return;
  platform::DeleteFile(cancel);
  session_.Abort();
}

}  // namespace tarvik
