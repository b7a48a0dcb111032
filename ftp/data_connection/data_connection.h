// The data connection of a session (m_objDataSocket): opened by PASV (the control connects to
// the server) or PORT (the server connects to a port the control listens on), torn down after
// each listing or file. The reply dispatcher decides when each step runs; the running listing or
// transfer (DataTransferSink) decides what the bytes are for.
//
// Passive mode: TYPE -> 200 -> PASV -> 227 -> EstablishPasvDataConnection -> connected ->
// the sink sends REST/RETR/STOR/LIST. Active mode: TYPE -> 200 -> SendPORTCommand -> 200 ->
// the command -> the server connects -> accepted here.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/csocket.h"

namespace tarvik {

class FtpSession;

class DataConnection {
 public:
  explicit DataConnection(FtpSession& session);
  ~DataConnection();
  DataConnection(const DataConnection&) = delete;
  DataConnection& operator=(const DataConnection&) = delete;

  CSocket& socket() { return *socket_; }

  // "A" or "I" for TYPE, by the session's TransferMode.
  std::string TransferTypeCode() const;
  // The next local port for active mode (see NextDataPort).
  std::int32_t GetFreePort();
  // Listens on the next free port and sends PORT with the control connection's local address.
  void SendPORTCommand();
  // Connects the data socket to the control connection's host, on the port of a 227 reply.
  void EstablishPasvDataConnection(std::string_view reply_text);
  // Shuts the data socket down in both directions and closes it.
  void CloseDataConnection();
  // A download ended by anything but its own completion (the control connection lost, an error
  // reply, an abort) still writes what the system already holds of its data connection, so that
  // a resume starts after it, but nothing the server sends meanwhile. Called before the connection
  // or the local file is closed.
  void KeepArrivedDownloadData();
  // KeepArrivedDownloadData is writing: the connection is being given up.
  bool GivingUp() const { return keeping_data_; }
  // The error that ended this exchange's data connection without any event (the peer reset it),
  // 0 while it is open, before it opened, and after an orderly close.
  std::int32_t LostError() const { return opened_ ? socket_->EndingError() : 0; }

 private:
  void OnConnectionRequest(std::int32_t request_id);
  void OnConnect();
  void OnDataArrival();
  void OnSendComplete();
  void OnClose();
  void OnError();
  // The socket buffer sizes of the data socket (see ApplyBufferSizes in the source).
  void ApplyBufferSizes();
  // Runs a handler step; a failure closes everything for this file and is reported.
  template <typename Step>
  void Guarded(std::string_view procedure, Step&& step);

  FtpSession& session_;
  std::shared_ptr<CSocket> socket_;
  bool trying_ports_ = false;  // SendPORTCommand is trying ports: a refused port is no failure
  bool opened_ = false;        // this exchange's connection was established (and not yet closed)
  bool keeping_data_ = false;  // KeepArrivedDownloadData is writing (a failure ends it inside)
  // One vector takes every arrival, so that large receives change hands with the socket's
  // buffer instead of being copied.
  std::vector<std::uint8_t> arrival_bytes_;
};

}  // namespace tarvik
