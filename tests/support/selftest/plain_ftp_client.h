// A minimal blocking FTP client for checking the test servers themselves.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik::test {

class PlainFtpClient {
 public:
  // Connects to 127.0.0.1:port; Connected() tells whether it worked.
  explicit PlainFtpClient(std::uint16_t port);
  ~PlainFtpClient();
  PlainFtpClient(const PlainFtpClient&) = delete;
  PlainFtpClient& operator=(const PlainFtpClient&) = delete;

  bool Connected() const { return control_ >= 0; }
  // Sends `line` + CR LF.
  void Send(const std::string& line);
  // Sends bytes as they are.
  void SendRaw(const std::string& bytes);
  // Reads one whole reply (through its final "nnn " line), CR LF included; "" when the connection
  // ends.
  std::string ReadReply();
  // Reads until the server closes the control connection; what arrived.
  std::string ReadUntilClosed();
  // Reads until the connection ends; 0 when the server closed it in order, else the errno.
  int ReadUntilClosedError();
  // What can be read at once, without waiting.
  std::string ReadReplyNow();
  // Sends `line` and reads its reply.
  std::string Command(const std::string& line) {
    Send(line);
    return ReadReply();
  }

  // Connects to the port of a 227 reply (to 127.0.0.1, whatever address it names); -1 on failure.
  static int ConnectPassive(const std::string& reply_227);
  // Listens on 127.0.0.1 and gives the PORT argument for it; -1 on failure.
  static int ListenActive(std::string& port_argument);
  // Reads a data connection until the peer closes it, then closes it.
  static std::string ReadAll(int data_fd);
  // Sends bytes on a data connection, then closes it.
  static void WriteAll(int data_fd, const std::string& bytes);

 private:
  int control_ = -1;
  std::string pending_;  // bytes read past the last reply
};

}  // namespace tarvik::test
