#include "platform/loop/posix/error_mapping.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>
#include <utility>
#include <vector>

namespace tarvik::platform::winsock {
namespace {

TEST(WinsockErrors, ErrnoValuesMapToWindowsSocketsNumbers) {
  const std::vector<std::pair<int, int>> table = {
      {0, 0},
      {EINTR, kWsaEIntr},
      {EACCES, kWsaEAcces},
      {EINVAL, kWsaEInval},
      {EMFILE, kWsaEMFile},
      {EAGAIN, kWsaEWouldBlock},
      {EWOULDBLOCK, kWsaEWouldBlock},
      {EINPROGRESS, kWsaEInProgress},
      {EALREADY, kWsaEAlready},
      {ENOTSOCK, kWsaENotSock},
      {EBADF, kWsaENotSock},
      {EADDRINUSE, kWsaEAddrInUse},
      {EADDRNOTAVAIL, kWsaEAddrNotAvail},
      {ENETUNREACH, kWsaENetUnreach},
      {ECONNABORTED, kWsaEConnAborted},
      {ECONNRESET, kWsaEConnReset},
      {ENOBUFS, kWsaENoBufs},
      {EISCONN, kWsaEIsConn},
      {ENOTCONN, kWsaENotConn},
      {EPIPE, kWsaEShutdown},
      {ETIMEDOUT, kWsaETimedOut},
      {ECONNREFUSED, kWsaEConnRefused},
      {EHOSTDOWN, kWsaEHostDown},
      {EHOSTUNREACH, kWsaEHostUnreach},
      {ENOENT, kWsaSysCallFailure},
  };
  for (const auto& [errno_value, expected] : table) {
    EXPECT_EQ(ErrorFromErrno(errno_value), expected) << "errno " << errno_value;
  }
  EXPECT_EQ(ErrorFromResolver(0), 0);
  EXPECT_EQ(ErrorFromResolver(EAI_NONAME), kWsaHostNotFound);
  EXPECT_EQ(ErrorFromResolver(EAI_AGAIN), kWsaTryAgain);
  EXPECT_EQ(ErrorFromResolver(EAI_FAIL), kWsaNoRecovery);
  EXPECT_EQ(ErrorFromResolver(EAI_NODATA), kWsaNoData);
}

}  // namespace
}  // namespace tarvik::platform::winsock
