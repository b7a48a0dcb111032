// Small helpers over plain sockets on 127.0.0.1 for the test servers.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik::test {

// A listening TCP socket on 127.0.0.1 (port 0: an ephemeral one), or -1 with errno set.
int ListenOnLoopback(std::uint16_t port = 0);

// The local port of a bound socket, 0 on failure.
std::uint16_t LocalPortOf(int socket_fd);

// Closes with SO_LINGER 0 so that the peer sees a reset instead of an orderly close.
void ResetAndClose(int socket_fd);

// A port on 127.0.0.1 that was free a moment ago (bound to port 0, then released).
std::uint16_t PickFreeLoopbackPort();

// A text for errno, e.g. "Connection refused (111)".
std::string ErrnoText(int error_number);

}  // namespace tarvik::test
