// DownloadHttpFile: the addresses of RemotePath fetched one after the other into the targets of
// LocalPath, over the control's own socket (m_objHttpSocket), with no FTP connection.
//
// Each address is one download operation (8) of the session, so the session's figures, events
// and error record serve it as they serve an FTP download: progress in OnTransfer at most every
// 200 ms, the decision about an existing target (overwrite, resume with "Range", skip, rename),
// ErrorNumber/ErrorInfo after a failure. While it runs, the download is the session's transfer
// sink: the end of the operation (EndAsyncMethod) closes its file and connection.
//
// On the wire: a plain connection for "http://", TLS (verified against the system's trust
// store) for "https://"; through a proxy, "http://" addresses go in the absolute form and
// "https://" ones through a CONNECT tunnel. The response header is collected up to its empty line
// however it arrives; the body is written straight from each arrival.
//
// A file is complete only when every byte that Content-Length announced has arrived, or when the
// server answers a resume with 416 (the local file is whole already). A connection that ends
// earlier (a reset fails at once with the socket's error) fails the file and keeps what arrived,
// so the next call resumes it. A response without a length (a chunked one) fails with 18002;
// redirects are not followed (18000 + status).
//
// Re-entrancy: the wait pumps the thread's messages, so the host's handlers run inside it; Abort
// from a handler only asks the running download to stop (16010).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/session/data_transfer_sink.h"
#include "http/http_address.h"
#include "http/response_header.h"
#include "http/target_file.h"

namespace tarvik {

class CSocket;
class OperationCore;
namespace platform::tls {
class TlsClient;
}

// Where the requests go instead of the servers (ProxyHost, ProxyPort); an empty host: direct.
struct HttpProxy {
  std::string host;
  std::int32_t port = 80;
};

class HttpDownload final : private DataTransferSink {
 public:
  // `windows_to_raise`: the control's list of dialog titles kept on top (the replace dialog).
  HttpDownload(OperationCore& session, std::string& windows_to_raise);
  ~HttpDownload();
  HttpDownload(const HttpDownload&) = delete;
  HttpDownload& operator=(const HttpDownload&) = delete;

  // The public method: every address of RemotePath to its target. True when each one was
  // downloaded or skipped.
  bool DownloadHttpFile(const HttpProxy& proxy);
  // HttpDownloadActive: DownloadHttpFile runs.
  bool Active() const { return active_; }

 private:
  // What is known about the current address.
  struct FileState {
    HttpAddress address;
    std::string local_path;
    int stage = 0;               // HttpStage: 0 nothing yet, 1 request sent, 2 response bytes
    bool header_parsed = false;  // HttpHeaderParsed
    bool via_proxy = false;
    bool tunnel_pending = false;  // waiting for the proxy's answer to CONNECT
    bool resuming = false;        // the request asks for a Range
    bool replace = false;         // the old contents go with the first new byte
    bool complete = false;        // every byte is at the target
    bool holding_html = false;    // an HTML body is held back until its title is known
    std::int64_t local_size = 0;
    std::int64_t started_ms = 0;      // when the connection began: the header is due by Timeout
    std::int64_t bytes_received = 0;  // at the target, the resume offset included
    std::int64_t total_size = 0;      // of the complete file; 0 while unknown
    std::string header;
    std::string html_start;  // the held-back start of an HTML body
  };

  // One address (RemotePath) to its target (LocalPath).
  bool DownloadHttpFileOne(const HttpProxy& proxy);
  // The checks, the decision about an existing target and the transfer of one address; false
  // when it was skipped before anything moved (the result is then true).
  void FetchOne(const HttpProxy& proxy, bool& skipped);
  void Connect(const HttpProxy& proxy);
  void WaitForFile();
  // The watchdog: a download silent for more than Timeout seconds, or whose response header is
  // not whole Timeout seconds after the connection began (however it trickles in), fails with
  // 20004 (one that has every byte has ended already).
  void CheckSilence();
  // A reset by the server raises no socket event: the connection's error fails the download.
  void CheckReset();

  // Notifications of m_objHttpSocket.
  void OnSocketConnect();
  void OnSocketDataArrival();
  void OnSocketClose();
  void OnSocketError();
  // Runs a handler's body; a failure is recorded under `source` and ends the operation.
  template <typename Body>
  void Guarded(const char* source, Body&& body);

  void SendRequest();
  void StartTls();
  void SendBytes(const std::vector<std::uint8_t>& bytes);
  void SendTlsOutput();
  // Response bytes (decrypted ones over TLS): the header, then the body.
  void TakeResponse(std::span<const std::uint8_t> bytes);
  void TakeTunnelAnswer(std::span<const std::uint8_t> bytes);
  void AcceptHeader();
  void TakeBody(std::span<const std::uint8_t> bytes);
  void ReleaseHtml();
  void WriteBody(std::span<const std::uint8_t> bytes);
  void CountProgress();
  void Finish();

  // CloseHttpConnection: the local file and the socket.
  void CloseHttpConnection();
  // Closes the socket (and its TLS session) at once.
  void DropSocket();
  // DataTransferSink: the session ends the operation (EndAsyncMethod, ReportError).
  void OnDataConnected() override {}
  void OnDataReceived(std::string_view) override {}
  void OnDataSendComplete() override {}
  void OnDataClosed() override {}
  void OnDataAborted() override {}
  void CloseLocalFile() override { CloseHttpConnection(); }

  OperationCore& session_;
  std::string& windows_to_raise_;
  bool active_ = false;
  std::shared_ptr<CSocket> socket_;  // m_objHttpSocket
  std::unique_ptr<platform::tls::TlsClient> tls_;
  ResponseHeaderReader header_reader_;
  TargetFile file_;
  FileState file_state_;
  std::vector<std::uint8_t> arrival_;  // the last receive, reused
};

}  // namespace tarvik
