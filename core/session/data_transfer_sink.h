// The running listing or file transfer, as the data connection sees it. The data connection opens
// and closes the socket and moves the bytes; what the bytes are for is the sink's business. The
// session holds at most one sink, set while a listing or transfer operation runs.
#pragma once

#include <string_view>

namespace tarvik {

class DataTransferSink {
 public:
  // Passive mode: the data connection is open; send REST/RETR/STOR or the listing command.
  virtual void OnDataConnected() = 0;
  // Bytes arrived on the data connection.
  virtual void OnDataReceived(std::string_view bytes) = 0;
  // The bytes handed to the data socket are with the system; send the next block.
  virtual void OnDataSendComplete() = 0;
  // The server closed the data connection.
  virtual void OnDataClosed() = 0;
  // The data connection was torn down before completion (a socket error, or Abort): drop what
  // was received so far. The session has recorded any error and closed the socket.
  virtual void OnDataAborted() = 0;
  // Closes the local file of the transfer, if one is open (called at the end of every operation).
  virtual void CloseLocalFile() = 0;

 protected:
  ~DataTransferSink() = default;
};

}  // namespace tarvik
