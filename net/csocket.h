// CSocket: the library's TCP socket, in Windows Sockets notification mode, driven by the
// notification window of MSocketSupport and reporting to its owner through events.
//
// For the owners:
//  - Connecting: set RemoteHost and RemotePort (and Rcvbuf, Sndbuf), call Connect; State becomes 6;
//    later OnConnect (State 7) or OnError (State 9).
//  - Listening: set LocalPort (and the buffers), call Listen (State 2); on
//    OnConnectionRequest(requestID) call Accept(requestID) on the object that is to carry the
//    connection (State 7).
//  - Sending: SendData; OnSendComplete follows from the message loop once every byte is with the
//    system, never from inside SendData. Bytes the system does not take at once stay pending
//    (m_lngBufferLen > 0) and go out, in order, when the system has room; a SendData while bytes
//    are pending queues its bytes behind them.
//  - Receiving: in OnDataArrival(bytesTotal) call GetData at once; the next arrival replaces unread
//    bytes.
//  - Closing: CloseSocket. A connected socket shuts down its sending side and raises OnClose once
//    the peer has closed too; any other socket closes at once without an event.
//  - Errors: OnError has no arguments; the error is in the shared error record and in
//    m_lngEventErrorNumber. A connection reset by the peer, or a connect that failed the
//    connect-pending rule, ends in State 9 with no event at all: owners that wait on a socket
//    watch State as well as the events.
//
// Events are plain std::function members, set by the owner; an unset event is not raised. They are
// raised synchronously from the message loop, or from inside the owner's own call for failures of
// that call, so a handler can run while one of the owner's calls into the socket is on the stack.
// A NumberedError thrown by a handler of a notification takes the notification's failure path.
//
// Objects live in std::shared_ptr (see Create) so that a notification keeps its object alive until
// the dispatch returns. No method throws: failures are recorded in the shared error record with the
// source "CSocket." + routine and raised as OnError.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors/numbered_error.h"
#include "net/socket_support.h"
#include "platform/loop/winsock.h"

namespace tarvik {

// The states of a socket, with the numbers its State property has always had.
enum class SocketState : std::int32_t {
  kClosed = 0,
  kListening = 2,
  kConnecting = 6,
  kConnected = 7,
  kClosing = 8,
  kError = 9,
};

class CSocket : public std::enable_shared_from_this<CSocket> {
 public:
  // "Send without a socket".

  static std::shared_ptr<CSocket> Create();
  ~CSocket();
  CSocket(const CSocket&) = delete;
  CSocket& operator=(const CSocket&) = delete;

  // Public fields.
  std::string m_strType;                   // tag of this socket's trace lines ("[Ctrl]", "[Data]")
  double m_lngBufferLen = 0;               // bytes waiting to be sent; set 0 to drop them
  std::int32_t m_lngPostEventErrorID = 0;  // event of the last notification whose handling failed
  std::int32_t m_lngEventErrorNumber = 0;  // error carried by the last notification

  // Events.
  std::function<void()> OnError;
  std::function<void()> OnClose;
  std::function<void()> OnConnect;
  std::function<void(std::int32_t requestID)> OnConnectionRequest;
  std::function<void(double bytesTotal)> OnDataArrival;
  std::function<void()> OnSendComplete;
  std::function<void(double bytesSent, double bytesRemaining)> OnSendProgress;

  // Sends text: with blnUTF8 its UTF-8 bytes, and lngBufferLength becomes their count; without, the
  // text in the system's ANSI code page, of which lngBufferLength bytes (the caller's count of the
  // converted text) are sent.
  void SendData(std::string_view varData, double& lngBufferLength, bool blnListCommand,
                bool blnUTF8);
  // Sends the first lngBufferLength bytes of varData.
  void SendData(std::span<const std::uint8_t> varData, double lngBufferLength, bool blnListCommand);
  // Hands over the received bytes (as text: converted from the system's ANSI code page) and
  // empties the receive buffer. Nothing received: varData is left as it is. A byte vector that the
  // owner keeps from one arrival to the next may trade storage with the receive buffer instead of
  // being copied into; only its contents are defined.
  void GetData(std::string& varData);
  void GetData(std::vector<std::uint8_t>& varData);
  // The same, keeping the bytes.
  void PeekData(std::string& varData);
  void PeekData(std::vector<std::uint8_t>& varData);
  void Listen();
  void CloseSocket();
  void Bind(std::int32_t lngLocalPort, std::string_view strLocalIP);
  void Connect();
  void Accept(std::int32_t requestID);
  // Creates and registers a system socket; its handle, or -1.
  std::int32_t InitSocket();
  void SendBufferedData();
  // Hands everything the system holds for this connection to OnDataArrival now, one receive at a
  // time, as read notifications would: for an owner whose peer has closed the connection.
  void DeliverPendingData();
  // The same for what the system holds at this moment, and no more: for an owner about to give up
  // a connection whose bytes it still wants while the peer may still be sending. A peer that
  // refills the buffer as fast as it is read would otherwise keep the delivery going.
  void DeliverHeldData();

  // Properties.
  SocketState State() const { return state_; }
  // The error that ended the connection while the state is 9 (error), else 0. A reset by the peer
  // raises no event, so an owner waiting on the connection learns of it here.
  std::int32_t EndingError() const { return state_ == SocketState::kError ? ending_error_ : 0; }
  std::int32_t SocketHandle() const { return handle_; }
  const std::string& RemoteHost() const { return remote_host_; }
  // Trimmed; empty changes nothing. A name that is not a dotted address is resolved (blocking) and
  // replaced by its address; when it does not resolve it stays and the shared error number
  // becomes 11001.
  void SetRemoteHost(std::string_view value);
  std::int32_t RemotePort() const { return remote_port_ == 0 ? 21 : remote_port_; }
  void SetRemotePort(std::int32_t value) {
    remote_port_ = value >= 1 && value <= 65535 ? value : 21;
  }
  std::int32_t LocalPort() const { return local_port_; }
  void SetLocalPort(std::int32_t value) { local_port_ = value; }
  const std::string& LocalIP() const { return local_ip_; }
  // The name of the local address after connect (looked up when first asked: a blocking reverse
  // lookup that nothing on the transfer path needs), else the local IP.
  const std::string& LocalHostName() const;
  double BytesReceived() const { return bytes_received_; }
  std::int32_t Rcvbuf() const { return rcvbuf_; }
  void SetRcvbuf(std::int32_t value) { rcvbuf_ = value; }
  // The most one receive takes (set at connect from Rcvbuf). A vector of at least this capacity
  // passed to GetData may swap with the receive buffer instead of being copied into.
  std::int32_t ReceiveSize() const { return receive_size_; }
  std::int32_t Sndbuf() const { return sndbuf_; }
  void SetSndbuf(std::int32_t value) { sndbuf_ = value; }

 private:
  struct Passkey {};

 public:
  explicit CSocket(Passkey);  // use Create

 private:
  friend platform::LResult MSocketSupport::WindowProc(platform::WindowHandle, platform::MessageId,
                                                      platform::WParam, platform::LParam);

  bool SocketExists();
  void GetWinsockBuffers();
  std::int32_t RecvDataToBuffer();
  void DestroySocket();
  void PostSocketEvent(std::int32_t event, std::int32_t error);
  void ReportSocketError(std::string_view source, long number, std::string_view description);
  void ReportSocketError(std::string_view source, const NumberedError& failure);

  // Runs `body`, turning a NumberedError that escapes it into ReportSocketError(source, ...).
  template <typename Body>
  void Guarded(std::string_view source, Body&& body) {
    try {
      body();
    } catch (const NumberedError& failure) {
      ReportSocketError(source, failure);
    }
  }

  // Parts of PostSocketEvent.
  void HandleNotification(std::int32_t event);
  void HandleConnectFinished();
  void HandleClosedByPeer();
  void NotificationFailed(std::int32_t event, long error);
  // DeliverPendingData and DeliverHeldData: stops once `limit` bytes went out, or nothing is left.
  void DeliverReceived(std::int64_t limit);

  // Sends what is pending, then `fresh` (the caller's new bytes); keeps what the system refuses.
  void SendBytes(const std::uint8_t* fresh, std::size_t fresh_length);
  // Appends bytes behind those still pending (after an owner's drop, in place of them).
  void QueueForSending(const std::uint8_t* data, std::size_t length);
  // Bytes not yet with the system; 0 once the owner has set m_lngBufferLen to 0.
  std::size_t PendingSendBytes() const;
  void DropPendingSend();
  void ReportSendDataFailure(const NumberedError& failure);
  void AfterTaking(bool keep);
  void Trace(std::string_view text) const;
  [[noreturn]] static void RaiseLastSocketError();

  platform::winsock::Socket handle_ = platform::winsock::kInvalidSocket;  // -1 while none
  SocketState state_ = SocketState::kClosed;
  std::int32_t ending_error_ = 0;  // the error of the notification that put the state at 9
  std::string remote_host_;  // host name or dotted address to connect to; the peer's after Accept
  std::int32_t remote_port_ = 0;  // 0 reads as 21
  std::string local_ip_;          // address to bind to; the local address after connect or accept
  std::int32_t local_port_ = 0;  // port to bind to (0: any); the local port after connect or accept
  mutable std::string local_host_name_;      // name of the local address, once looked up
  mutable bool local_name_pending_ = false;  // a connect finished: the name is still to look up
  std::uint32_t local_address_ = 0;          // local address after connect (network order)
  bool bound_ = false;                       // bind succeeded; cleared when the handle is closed
  bool list_command_ = false;                // copied from the last SendData
  // Bytes of SendData that the system has not taken yet: those from send_offset_ on.
  std::vector<std::uint8_t> send_buffer_;
  std::size_t send_offset_ = 0;
  // The last receive: at least the receive size long, its first received_count_ bytes valid.
  std::vector<std::uint8_t> receive_buffer_;
  std::int32_t received_count_ = 0;
  double bytes_received_ = 0;  // BytesReceived
  std::int32_t rcvbuf_ = 0;    // requested system buffer sizes
  std::int32_t sndbuf_ = 0;
  // Effective receive size, fixed when a handle is created or adopted: the most taken per receive.
  std::int32_t receive_size_ = 0;
};

}  // namespace tarvik
