#include "ftp/transfer/running_transfer.h"

#include <algorithm>
#include <limits>
#include <span>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "core/transfer/size_format.h"
#include "core/transfer/transfer_progress.h"
#include "ftp/session/ftp_session.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

// A failure of the local file, with the system's reason.
[[noreturn]] void RaiseFileError(std::string_view what, const std::string& path) {
  const platform::DWORD error = platform::GetLastError();
  Raise(static_cast<long>(error),
        std::string(what) + "[ " + path + " ] ! " + platform::FormatSystemMessage(error));
}

}  // namespace

RunningTransfer::RunningTransfer(FtpSession& session, TransferPlan plan)
    : session_(session),
      previous_sink_(session.transfer_sink()),
      plan_(std::move(plan)),
      bytes_done_(plan_.offset) {
  session_.SetTransferSink(this);
}

RunningTransfer::~RunningTransfer() {
  CloseLocalFile();
  session_.SetTransferSink(previous_sink_);
}

RunningTransfer* RunningTransfer::Of(FtpSession& session) {
  return dynamic_cast<RunningTransfer*>(session.transfer_sink());
}

std::int64_t RunningTransfer::shown_size() const {
  if (plan_.size_unknown) return std::max(plan_.expected_size, bytes_done_);
  return plan_.expected_size;
}

bool RunningTransfer::OpenLocalFile() {
  using namespace platform;
  CloseLocalFile();
  const std::string& path = plan_.local_path;
  long failure = 0;
  if (plan_.direction == TransferDirection::kUpload) {
    file_ = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    if (file_ == INVALID_HANDLE_VALUE) failure = ErrorCode::kFailedToOpenFile;
  } else if (GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES) {
    // Replacing a read-only file: its attribute goes first, the contents only once data arrives.
    if (plan_.replace_existing) SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
    file_ = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file_ == INVALID_HANDLE_VALUE) failure = ErrorCode::kFailedToOpenFile;
    truncate_pending_ = plan_.replace_existing && plan_.offset == 0;
  } else {
    file_ = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
    if (file_ == INVALID_HANDLE_VALUE) failure = ErrorCode::kFailedToCreateFile;
  }
  if (failure != 0) {
    const std::string reason = FormatSystemMessage(GetLastError());
    session_.ReportError("OpenLocalFile", static_cast<std::int32_t>(failure),
                         ErrorTextWith(failure, path) + (reason.empty() ? "" : " " + reason));
    return false;
  }
  if (bytes_done_ > 0 && !SetFilePointerEx(file_, bytes_done_, nullptr, FILE_BEGIN)) {
    CloseLocalFile();
    session_.ReportError("OpenLocalFile", ErrorCode::kFailedToOpenFile,
                         ErrorTextWith(ErrorCode::kFailedToOpenFile, path));
    return false;
  }
  if (plan_.direction == TransferDirection::kDownload && bytes_done_ > 0) {
    rest_sent_ = true;
    if (!session_.SendFtpCommand("REST", std::to_string(bytes_done_))) return false;
    session_.Log("Download.REST:" + std::to_string(bytes_done_) + "#" + path + "|" +
                 plan_.remote_path);
  }
  return true;
}

void RunningTransfer::StartTransferCommand() {
  if (plan_.direction == TransferDirection::kDownload) {
    if (!OpenLocalFile()) return;
    if (!rest_sent_) SendRetrieveOrStore();
    return;
  }
  if (plan_.offset > 0) {
    rest_sent_ = true;
    if (!session_.SendFtpCommand("REST", std::to_string(plan_.offset))) return;
    session_.Log("Upload.REST:" + std::to_string(plan_.offset) + "#" + plan_.local_path + "|" +
                 plan_.remote_path);
    return;
  }
  SendRetrieveOrStore();
}

void RunningTransfer::SendRetrieveOrStore() {
  const bool download = plan_.direction == TransferDirection::kDownload;
  if (!session_.SendFtpCommand(download ? "RETR" : "STOR", plan_.remote_argument)) return;
  session_.Log(std::string(download ? "Download.RETR:" : "Upload.STOR:") +
               std::to_string(plan_.offset) + "#" + plan_.local_path + "|" + plan_.remote_path);
}

void RunningTransfer::DownloadReplyReceived() {
  final_reply_ = true;
  EndWhenDownloadComplete();
}

void RunningTransfer::StoreAccepted() {
  if (store_accepted_) return;
  store_accepted_ = true;
  if (data_writable_ && file_ != platform::INVALID_HANDLE_VALUE) UploadData();
}

void RunningTransfer::TruncateIfReplacing() {
  if (!truncate_pending_ || file_ == platform::INVALID_HANDLE_VALUE) return;
  truncate_pending_ = false;
  if (!platform::SetEndOfFile(file_)) RaiseFileError("Failed to write file", plan_.local_path);
}

std::int64_t RunningTransfer::DownloadRoom() const {
  if (!plan_.size_unknown && !plan_.ascii_mode) return plan_.expected_size - bytes_done_;
  const double max_size = session_.transfer_settings().max_size;
  if (max_size <= 0) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(max_size) - bytes_done_;
}

void RunningTransfer::RaiseOversize() const {
  session_.Log("Download.OverSize:" + std::to_string(bytes_done_) + "#" + plan_.local_path + "|" +
               plan_.remote_path);
  if (!plan_.size_unknown && !plan_.ascii_mode) {
    Raise(ErrorCode::kSizeMismatch, "The server sent more than the " +
                                        std::to_string(plan_.expected_size) +
                                        " bytes it announced [ " + plan_.remote_path + " ]");
  }
  Raise(ErrorCode::kFileTooLarge, TooLargeText(session_.transfer_settings().max_size));
}

void RunningTransfer::OnDataReceived(std::string_view bytes) {
  if (plan_.direction != TransferDirection::kDownload || file_ == platform::INVALID_HANDLE_VALUE ||
      bytes.empty()) {
    return;
  }
  const std::int64_t room =
      std::clamp<std::int64_t>(DownloadRoom(), 0, static_cast<std::int64_t>(bytes.size()));
  const std::string_view wanted = bytes.substr(0, static_cast<std::size_t>(room));
  if (!wanted.empty()) {
    TruncateIfReplacing();
    platform::DWORD written = 0;
    if (!platform::WriteFile(file_, wanted.data(), static_cast<platform::DWORD>(wanted.size()),
                             &written)) {
      RaiseFileError("Failed to write file", plan_.local_path);
    }
    bytes_done_ += static_cast<std::int64_t>(wanted.size());
    CountProgress(static_cast<std::int64_t>(wanted.size()));
  }
  if (wanted.size() < bytes.size()) RaiseOversize();
}

void RunningTransfer::CountProgress(std::int64_t count) {
  TransferStatistics& statistics = session_.statistics();
  const std::int64_t now = platform::CurrentClock().MonotonicMs();
  const std::int64_t size = shown_size();
  if (plan_.size_unknown) statistics.file_size = static_cast<double>(size);
  statistics.percent = RunningPercent(static_cast<double>(bytes_done_), static_cast<double>(size));
  if (session_.transfer_settings().show_total_progress) AddToTotal(statistics, count);
  SpeedStep(statistics, bytes_done_, plan_.offset, size, now);
  statistics.last_data_tick_ms = now;
  statistics.transferred_size = static_cast<double>(bytes_done_);
  RaiseTransferSpaced(session_, now);
  // The last bytes of a connection being given up (a cancel) are written without waiting.
  if (!session_.data_connection().GivingUp()) ThrottleSpeed(session_);
}

void RunningTransfer::OnDataSendComplete() {
  if (plan_.direction != TransferDirection::kUpload ||
      session_.state().current_operation != Operation::kUpload ||
      file_ == platform::INVALID_HANDLE_VALUE) {
    return;
  }
  data_writable_ = true;
  if (!store_accepted_) return;
  TransferStatistics& statistics = session_.statistics();
  const std::int64_t now = platform::CurrentClock().MonotonicMs();
  if (block_started_ms_ != 0) {
    const std::int64_t block_ms = now - block_started_ms_;
    NextUploadBlockSize(block_, bytes_done_ > 0, block_ms,
                        session_.transfer_settings().upload_block_limit);
    statistics.transferred_size = static_cast<double>(bytes_done_);
    // Every block counts, however quickly the system took it: a block skipped here would leave
    // its bytes in the count without its time, or the MaxSpeed throttle without a speed.
    SpeedStep(statistics, bytes_done_, plan_.offset, plan_.expected_size, now);
    statistics.last_data_tick_ms = now;
    RaiseTransferSpaced(session_, now);
    ThrottleSpeed(session_);
  }
  UploadData();
}

void RunningTransfer::UploadData() {
  CSocket& socket = session_.data_connection().socket();
  if (socket.m_lngBufferLen > 0) {
    socket.SendBufferedData();
    return;
  }
  if (bytes_done_ >= plan_.expected_size) {
    // Every byte is with the system: closing the data connection tells the server the file ends.
    CloseLocalFile();
    socket.CloseSocket();
    return;
  }
  const std::int64_t count = std::min<std::int64_t>(plan_.expected_size - bytes_done_, block_.size);
  std::vector<std::uint8_t> block(static_cast<std::size_t>(count));
  platform::DWORD read = 0;
  if (!platform::ReadFile(file_, block.data(), static_cast<platform::DWORD>(count), &read)) {
    RaiseFileError("Failed to read file", plan_.local_path);
  }
  if (read != count) {
    Raise(ErrorCode::kFailedToOpenFile,
          "The file became shorter while it was sent[ " + plan_.local_path + " ]");
  }
  bytes_done_ += count;
  TransferStatistics& statistics = session_.statistics();
  statistics.percent =
      RunningPercent(static_cast<double>(bytes_done_), static_cast<double>(plan_.expected_size));
  if (session_.transfer_settings().show_total_progress) AddToTotal(statistics, count);
  block_started_ms_ = platform::CurrentClock().MonotonicMs();
  // The speed of the file runs from its first block on.
  if (statistics.start_tick_ms == 0) statistics.start_tick_ms = block_started_ms_;
  socket.SendData(std::span<const std::uint8_t>(block.data(), block.size()),
                  static_cast<double>(count), false);
}

void RunningTransfer::OnDataClosed() {
  if (plan_.direction != TransferDirection::kDownload) return;
  // Another process may delete the file while it is written; the bytes then went nowhere.
  platform::DWORD links = 1;
  if (file_ != platform::INVALID_HANDLE_VALUE && platform::GetFileLinkCount(file_, &links) &&
      links == 0) {
    Raise(static_cast<long>(platform::ERROR_FILE_NOT_FOUND),
          "The local file was deleted during the transfer[ " + plan_.local_path + " ]");
  }
  // A file being replaced that got no byte stays open: only the final reply tells an empty new
  // file from a refusal (a server may close the data connection before it answers 550).
  if (!truncate_pending_) CloseLocalFile();
  data_closed_ = true;
  EndWhenDownloadComplete();
}

bool RunningTransfer::EmptyFileConfirmed() const {
  if (!download_complete() || bytes_done_ != 0) return false;
  // A size known in binary mode must be 0; otherwise the server's 226 decides.
  return plan_.size_unknown || plan_.ascii_mode || plan_.expected_size == 0;
}

void RunningTransfer::CompleteReplacement() {
  TruncateIfReplacing();
  CloseLocalFile();
}

void RunningTransfer::EndWhenDownloadComplete() {
  if (!download_complete()) return;
  if (EmptyFileConfirmed()) TruncateIfReplacing();
  CloseLocalFile();
  if (session_.state().current_operation == Operation::kDownload) session_.EndAsyncMethod();
}

void RunningTransfer::CloseLocalFile() {
  if (file_ == platform::INVALID_HANDLE_VALUE) return;
  platform::CloseHandle(file_);
  file_ = platform::INVALID_HANDLE_VALUE;
}

}  // namespace tarvik
