#include "tests/support/selftest/plain_ftp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>

#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

// Reads never wait forever: a broken server fails the self-test instead of hanging it.
void LimitWaits(int fd) {
  timeval limit{10, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
}

int ConnectLoopback(std::uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  LimitWaits(fd);
  return fd;
}

// The length of the first complete reply in `text` (through the CR LF of its final line), or 0.
std::size_t CompleteReplyLength(const std::string& text) {
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    bool final_line = end - start >= 4 && std::isdigit(static_cast<unsigned char>(text[start])) &&
                      std::isdigit(static_cast<unsigned char>(text[start + 1])) &&
                      std::isdigit(static_cast<unsigned char>(text[start + 2])) &&
                      text[start + 3] == ' ';
    if (final_line) return end + 2;
  }
  return 0;
}

}  // namespace

PlainFtpClient::PlainFtpClient(std::uint16_t port) : control_(ConnectLoopback(port)) {}

PlainFtpClient::~PlainFtpClient() {
  if (control_ >= 0) ::close(control_);
}

void PlainFtpClient::Send(const std::string& line) {
  SendRaw(line + "\r\n");
}

void PlainFtpClient::SendRaw(const std::string& bytes) {
  ::send(control_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string PlainFtpClient::ReadReply() {
  for (;;) {
    if (std::size_t length = CompleteReplyLength(pending_); length > 0) {
      std::string reply = pending_.substr(0, length);
      pending_.erase(0, length);
      return reply;
    }
    char buffer[4096];
    ssize_t n = ::recv(control_, buffer, sizeof buffer, 0);
    if (n <= 0) return "";
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
}

std::string PlainFtpClient::ReadUntilClosed() {
  std::string all = std::move(pending_);
  pending_.clear();
  char buffer[4096];
  ssize_t n;
  while ((n = ::recv(control_, buffer, sizeof buffer, 0)) > 0) {
    all.append(buffer, static_cast<std::size_t>(n));
  }
  return all;
}

int PlainFtpClient::ReadUntilClosedError() {
  char buffer[4096];
  ssize_t n;
  while ((n = ::recv(control_, buffer, sizeof buffer, 0)) > 0) {
  }
  return n == 0 ? 0 : errno;
}

std::string PlainFtpClient::ReadReplyNow() {
  std::string now = std::move(pending_);
  pending_.clear();
  char buffer[4096];
  ssize_t n;
  while ((n = ::recv(control_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
    now.append(buffer, static_cast<std::size_t>(n));
  }
  return now;
}

int PlainFtpClient::ConnectPassive(const std::string& reply_227) {
  std::size_t open = reply_227.find('(');
  int fields[6];
  if (open == std::string::npos ||
      std::sscanf(reply_227.c_str() + open + 1, "%d,%d,%d,%d,%d,%d", &fields[0], &fields[1],
                  &fields[2], &fields[3], &fields[4], &fields[5]) != 6) {
    return -1;
  }
  return ConnectLoopback(static_cast<std::uint16_t>(fields[4] * 256 + fields[5]));
}

int PlainFtpClient::ListenActive(std::string& port_argument) {
  int fd = ListenOnLoopback(0);
  if (fd < 0) return -1;
  std::uint16_t port = LocalPortOf(fd);
  port_argument = "127,0,0,1," + std::to_string(port / 256) + "," + std::to_string(port % 256);
  return fd;
}

std::string PlainFtpClient::ReadAll(int data_fd) {
  LimitWaits(data_fd);
  std::string all;
  char buffer[65536];
  ssize_t n;
  while ((n = ::recv(data_fd, buffer, sizeof buffer, 0)) > 0) {
    all.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(data_fd);
  return all;
}

void PlainFtpClient::WriteAll(int data_fd, const std::string& bytes) {
  LimitWaits(data_fd);
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = ::send(data_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::close(data_fd);
}

}  // namespace tarvik::test
