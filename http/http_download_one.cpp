// DownloadHttpFileOne: one address to one local file — the checks, the decision about an existing
// target, the connection, the wait and the watchdog.
#include <cmath>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "core/session/message_wait.h"
#include "core/session/operation_core.h"
#include "core/transfer/conflict_resolution.h"
#include "core/transfer/transfer_progress.h"
#include "http/http_download.h"
#include "local/c_file.h"
#include "local/path_lists.h"
#include "local/path_rules.h"
#include "net/csocket.h"
#include "platform/fs/file_attributes.h"
#include "platform/text/ascii_text.h"
#include "platform/time/clock.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"
#include "platform/tls/tls_client.h"

namespace tarvik {
bool HttpDownload::DownloadHttpFileOne(const HttpProxy& proxy) {
  SessionState& state = session_.state();
  SessionSettings& settings = session_.settings();
  TransferStatistics& statistics = session_.statistics();
  try {
    bool skipped = false;
    FetchOne(proxy, skipped);
    if (skipped) return true;
    state.retry_counter = 1;
    statistics.transferred_size = static_cast<double>(file_state_.total_size);
    statistics.percent = 100;
    statistics.left_time_estimate = 0;
    MarkFileEnd(statistics);
    AppendOnce(statistics.transferred_local_files, settings.local_path);
    AppendOnce(statistics.transferred_remote_files, settings.remote_path);
    session_.SetFtpState(FtpStates::ftpDownloadCompleted);
    session_.RaiseTransfer();
    session_.Log("DownHTTP.Completed:#" + settings.remote_path + "|" + settings.local_path);
    file_state_.header_parsed = false;
    return true;
  } catch (const NumberedError& error) {
    file_state_.header_parsed = false;
    session_.ReportError("DownloadHttpFileOne4", static_cast<std::int32_t>(error.number()),
                         error.description());
    MarkFileEnd(statistics);
    session_.Log("DownloadHttpFileOne.ErrorDeal:" + settings.remote_path + "#" + proxy.host + "#" +
                 std::to_string(proxy.port));
    return false;
  }
}

void HttpDownload::FetchOne(const HttpProxy& proxy, bool& skipped) {
  SessionState& state = session_.state();
  SessionSettings& settings = session_.settings();
  TransferSettings& options = session_.transfer_settings();
  TransferStatistics& statistics = session_.statistics();
  if (state.current_operation != Operation::kNone) Raise(ErrorCode::kOperationUnfinished);
  state.fallback_error = {};
  ClearErrorRecord();
  statistics.percent = 0;
  statistics.transferred_size = 0;
  statistics.file_size = 0;
  if (state.retry_counter < 2) state.retry_counter = 1;
  file_state_ = FileState{};
  header_reader_.Reset();

  std::string& remote_path = settings.remote_path;
  const std::string lower = platform::ToLowerAscii(remote_path);
  if (lower.rfind("https://", 0) != 0 && lower.rfind("http://", 0) != 0) {
    remote_path = "http://" + remote_path;
  }
  FileState& file = file_state_;
  file.address = ParseHttpAddress(remote_path);
  file.local_path = settings.local_path;

  platform::FileAttributeData data;
  const bool exists =
      CFile().FileExists(file.local_path) && platform::GetFileAttributesEx(file.local_path, &data);
  if (!exists) {
    const std::string& path = file.local_path;
    const bool absolute =
        path.size() >= 4 && (path.compare(1, 2, ":\\") == 0 || path.rfind("\\\\", 0) == 0);
    if (!absolute) {
      state.retry_counter = settings.redo_times;
      Raise(ErrorCode::kNotAbsolutePath, ErrorTextWith(ErrorCode::kNotAbsolutePath, path));
    }
    const std::string parent = GetParentPath(path);
    if (!CFile().FolderExists(parent)) {
      state.retry_counter = settings.redo_times;
      Raise(ErrorCode::kLocalFolderMissing, ErrorTextWith(ErrorCode::kLocalFolderMissing, parent));
    }
  } else {
    file.local_size = static_cast<std::int64_t>(data.size);
  }

  if (file.local_size > 0) {
    const ConflictQuery query{
        false,
        GetFileName(file.local_path),
        true,
        static_cast<double>(file.local_size),
        platform::GeneralDateText(platform::ToLocalTime(data.last_write_time)),
        0,
        "",
        true};
    const ConflictDecision decision = ResolveConflict(
        options.replace_code, options.overwrite, options.rename_rule, query, windows_to_raise_);
    if (decision.outcome == ConflictOutcome::kSkip) {
      statistics.skipped_files += "|" + remote_path;
      session_.Log("DownHTTP.Skip:#" + remote_path + "|" + file.local_path);
      session_.RaiseTransfer();
      skipped = true;
      return;
    }
    if (decision.outcome == ConflictOutcome::kRename) {
      settings.local_path = WithNewFileName(file.local_path, '\\', decision.new_name);
      FetchOne(proxy, skipped);
      return;
    }
    file.replace = decision.overwrite;
    file.resuming = !decision.overwrite;
  }
  if (file.resuming) {
    file.bytes_received = file.local_size;
    statistics.transferred_size = static_cast<double>(file.local_size);
  }

  MarkFileStart(statistics);
  statistics.start_tick_ms = 0;
  session_.BeginAsyncMethod(Operation::kDownload);
  session_.SetTransferSink(this);
  statistics.last_data_tick_ms = platform::CurrentClock().MonotonicMs();
  file.started_ms = statistics.last_data_tick_ms;
  try {
    file_.Open(file.local_path, file.bytes_received, file.replace);
    Connect(proxy);
    WaitForFile();
  } catch (...) {
    session_.SetTransferSink(nullptr);
    CloseHttpConnection();
    throw;
  }
  session_.SetTransferSink(nullptr);
  CloseHttpConnection();

  if (session_.ErrorRecorded()) Raise(session_.ErrorNumber(), session_.ErrorInfo());
  if (file.stage == 0) Raise(ErrorCode::kHttpConnectFailed);
  if (file.stage == 1) Raise(ErrorCode::kHttpNoResponse);
  if (!file.header_parsed) Raise(ErrorCode::kHttpHeaderError, "Header Error");
  if (!file.complete) {
    session_.Log("DownHTTP.INVSIZE:" + std::to_string(file.total_size) + "|" +
                 std::to_string(file.bytes_received));
    Raise(ErrorCode::kHttpIncomplete,
          "The server closed the connection after " + std::to_string(file.bytes_received) + " of " +
              std::to_string(file.total_size) + " bytes [ " + remote_path + " ]");
  }
}

void HttpDownload::Connect(const HttpProxy& proxy) {
  FileState& file = file_state_;
  const SessionSettings& settings = session_.settings();
  DropSocket();
  socket_ = CSocket::Create();
  socket_->m_strType = "[Http]";
  socket_->OnConnect = [this] { OnSocketConnect(); };
  socket_->OnDataArrival = [this](double) { OnSocketDataArrival(); };
  socket_->OnClose = [this] { OnSocketClose(); };
  socket_->OnError = [this] { OnSocketError(); };
  file.via_proxy = !platform::Trim(proxy.host, platform::kSpaces).empty();
  socket_->SetRemoteHost(file.via_proxy ? platform::Trim(proxy.host, platform::kSpaces)
                                        : file.address.host);
  if (session_.ErrorRecorded()) return;  // the name did not resolve (11001)
  socket_->SetRemotePort(file.via_proxy ? proxy.port : file.address.port);
  // Sizes go to the socket only when the host chose them; otherwise the system tunes them.
  socket_->SetRcvbuf(settings.socket_buffers_set ? settings.rcvbuf : 0);
  socket_->SetSndbuf(settings.socket_buffers_set ? settings.sndbuf : 0);
  socket_->Connect();
}

void HttpDownload::WaitForFile() {
  SessionState& state = session_.state();
  const auto running = [&] {
    return !session_.ErrorRecorded() && state.current_operation == Operation::kDownload;
  };
  bool first_look = true;
  WaitForMessagesUntil([&] {
    if (!first_look) {
      if (running()) CheckReset();
      if (state.abort_requested) {
        state.abort_requested = false;
        Raise(ErrorCode::kOperationCanceled);
      }
    }
    first_look = false;
    if (!running()) return true;
    CheckSilence();
    return !running();
  });
}

void HttpDownload::CheckSilence() {
  const std::int64_t now = platform::CurrentClock().MonotonicMs();
  const std::int64_t limit = session_.settings().timeout_seconds;
  const bool silent = (now - session_.statistics().last_data_tick_ms) / 1000 > limit;
  const bool header_late =
      !file_state_.header_parsed && (now - file_state_.started_ms) / 1000 > limit;
  if (!silent && !header_late) return;
  // A complete file has ended its operation already, so silence here always means a stall.
  session_.DispatchError("Timeout_Timer:Download", ErrorCode::kTimedOut, "");
}

void HttpDownload::CheckReset() {
  if (!socket_ || socket_->EndingError() == 0) return;
  session_.DispatchError("DownloadHttp:ConnectionLost", socket_->EndingError(), "");
}

}  // namespace tarvik
