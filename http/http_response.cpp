// The response: its header (status, length, resume answer, error pages) and its body, written to
// the local file as it arrives.
#include <cmath>

#include "core/errors/error_code.h"
#include "core/errors/error_text.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "core/session/operation_core.h"
#include "core/transfer/size_format.h"
#include "core/transfer/transfer_progress.h"
#include "http/http_download.h"
#include "http/http_headers.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {
// The start of an HTML body held back to look for an error title.
constexpr std::size_t kHtmlTitleWindow = 4096;

}  // namespace

void HttpDownload::TakeResponse(std::span<const std::uint8_t> bytes) {
  FileState& file = file_state_;
  file.stage = 2;
  if (file.header_parsed) {
    TakeBody(bytes);
    return;
  }
  if (!header_reader_.Take(bytes)) return;
  file.header_parsed = true;
  file.header = header_reader_.Header();
  AcceptHeader();
  if (session_.state().current_operation != Operation::kDownload) return;
  TakeBody(header_reader_.BodyStart());
}

void HttpDownload::AcceptHeader() {
  FileState& file = file_state_;
  const StatusLine status = GetStatusLine(file.header);
  const bool accepted =
      status.code == 200 || (file.resuming && (status.code == 206 || status.code == 416));
  if (!accepted) {
    const long number = ErrorCode::kHttpStatusBase + status.code;
    const std::string reason = status.code == 404 ? "" : status.reason;
    Raise(number, reason.empty() ? GetErrorText(number) : reason);
  }
  const ContentRange range =
      ParseContentRange(GetHeaderValue(file.header, "Content-Range").value_or(""));
  if (status.code == 416) {
    // The local file is whole already, as long as the server's size (when it says one) agrees.
    if (range.total && *range.total != static_cast<double>(file.local_size)) {
      Raise(ErrorCode::kNoResumingSupport,
            "The local file has " + std::to_string(file.local_size) + " bytes, the server's " +
                std::to_string(static_cast<std::int64_t>(*range.total)));
    }
    file.total_size = file.local_size;
    Finish();
    return;
  }
  if (file.resuming && status.code != 206) Raise(ErrorCode::kNoResumingSupport);
  if (status.code == 206 && range.first != static_cast<double>(file.bytes_received)) {
    Raise(ErrorCode::kNoResumingSupport);
  }
  if (!GetHeaderValue(file.header, "Content-Length")) {
    session_.Log("Header Error:" + file.header);
    Raise(ErrorCode::kNoFileSize);
  }
  const double length = GetFileSizeFromHead(file.header);
  const double total = length + (file.resuming ? static_cast<double>(file.bytes_received) : 0);
  file.total_size = static_cast<std::int64_t>(total);
  session_.statistics().file_size = total;
  const double max_size = session_.transfer_settings().max_size;
  if (max_size > 0 && total > max_size) Raise(ErrorCode::kFileTooLarge, TooLargeText(max_size));
  const auto type = GetHeaderValue(file.header, "Content-Type");
  file.holding_html = type && type->find("text/html") != std::string::npos;
  if (length < 1) {
    // An empty body: valid only when the server said so (Content-Length: 0).
    if (GetHeaderValue(file.header, "Content-Length") != "0") {
      session_.Log("Header Error:" + file.header);
      Raise(ErrorCode::kNoFileSize);
    }
    file.holding_html = false;
    file_.CutIfReplacing();
    Finish();
  }
}

void HttpDownload::TakeBody(std::span<const std::uint8_t> bytes) {
  FileState& file = file_state_;
  if (!file.holding_html) {
    WriteBody(bytes);
    return;
  }
  file.html_start.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const bool whole =
      file.bytes_received + static_cast<std::int64_t>(file.html_start.size()) >= file.total_size;
  if (whole || file.html_start.size() >= kHtmlTitleWindow ||
      file.html_start.find("</title>") != std::string::npos ||
      file.html_start.find("</TITLE>") != std::string::npos) {
    ReleaseHtml();
  }
}

void HttpDownload::ReleaseHtml() {
  FileState& file = file_state_;
  file.holding_html = false;
  const std::string title = GetHtmlErrorTitle(file.header, file.html_start);
  if (!title.empty()) Raise(ErrorCode::kHttpHeaderError, title);
  const std::string held = std::move(file.html_start);
  file.html_start.clear();
  WriteBody(std::span(reinterpret_cast<const std::uint8_t*>(held.data()), held.size()));
}

void HttpDownload::WriteBody(std::span<const std::uint8_t> bytes) {
  FileState& file = file_state_;
  // Bytes beyond the announced length belong to no file.
  const auto room = static_cast<std::size_t>(file.total_size - file.bytes_received);
  if (bytes.size() > room) bytes = bytes.first(room);
  if (bytes.empty()) return;
  file_.Write(bytes);
  file.bytes_received += static_cast<std::int64_t>(bytes.size());
  CountProgress();
  if (file.bytes_received >= file.total_size) Finish();
}

void HttpDownload::CountProgress() {
  const FileState& file = file_state_;
  TransferStatistics& statistics = session_.statistics();
  const std::int64_t now = platform::CurrentClock().MonotonicMs();
  statistics.percent = RunningPercent(static_cast<double>(file.bytes_received),
                                      static_cast<double>(file.total_size));
  const std::int64_t offset = file.resuming ? file.local_size : 0;
  SpeedStep(statistics, file.bytes_received, offset, file.total_size, now);
  statistics.transferred_size = static_cast<double>(file.bytes_received);
  RaiseTransferSpaced(session_, now);
}

void HttpDownload::Finish() {
  file_state_.complete = true;
  session_.EndAsyncMethod();
}

}  // namespace tarvik
