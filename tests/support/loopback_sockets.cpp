#include "tests/support/loopback_sockets.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tarvik::test {

int ListenOnLoopback(std::uint16_t port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, 16) != 0) {
    int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

std::uint16_t LocalPortOf(int socket_fd) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  if (::getsockname(socket_fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) return 0;
  return ntohs(address.sin_port);
}

void ResetAndClose(int socket_fd) {
  linger abortive{};
  abortive.l_onoff = 1;
  abortive.l_linger = 0;
  ::setsockopt(socket_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  ::close(socket_fd);
}

std::uint16_t PickFreeLoopbackPort() {
  int fd = ListenOnLoopback(0);
  if (fd < 0) return 0;
  std::uint16_t port = LocalPortOf(fd);
  ::close(fd);
  return port;
}

std::string ErrnoText(int error_number) {
  return std::string(std::strerror(error_number)) + " (" + std::to_string(error_number) + ")";
}

}  // namespace tarvik::test
