// A large transfer through CSocket to a reader that takes small bites, so that the system keeps
// taking only part of each send: every byte must still arrive once and in order.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "net/csocket.h"
#include "socket_fixture.h"
#include "tests/support/loopback_sockets.h"

namespace tarvik {
namespace {

// FNV-1a over a byte stream: sensitive to order as well as content.
struct StreamHash {
  std::uint64_t value = 14695981039346656037ull;
  std::uint64_t count = 0;
  void Add(const std::uint8_t* data, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) value = (value ^ data[i]) * 1099511628211ull;
    count += size;
  }
};

// Deterministic bytes that never repeat with a short period.
class ByteSource {
 public:
  void Fill(std::vector<std::uint8_t>& block) {
    for (std::uint8_t& byte : block) {
      state_ ^= state_ << 13;
      state_ ^= state_ >> 7;
      state_ ^= state_ << 17;
      byte = static_cast<std::uint8_t>(state_ >> 24);
    }
  }

 private:
  std::uint64_t state_ = 0x9E3779B97F4A7C15ull;
};

using BulkTransferTest = SocketTest;

TEST_F(BulkTransferTest, QuarterGigabyteReachesASlowReaderIntactAndInOrder) {
  constexpr std::uint64_t kTotal = 256ull << 20;
  const int listener = test::ListenOnLoopback();
  ASSERT_GE(listener, 0);
  const int small = 8192;  // a small window keeps the sender's sends partial
  ::setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);

  StreamHash received;
  std::thread reader([&] {
    const int fd = ::accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    std::uint8_t bite[1000];
    for (;;) {
      const ssize_t n = ::recv(fd, bite, sizeof bite, 0);
      if (n <= 0) break;
      received.Add(bite, static_cast<std::size_t>(n));
    }
    ::close(fd);
  });

  auto sender = CSocket::Create();
  sender->SetSndbuf(16384);
  sender->SetRcvbuf(16384);
  sender->SetRemoteHost("127.0.0.1");
  sender->SetRemotePort(test::LocalPortOf(listener));
  StreamHash sent;
  ByteSource source;
  std::vector<std::uint8_t> block;
  bool saw_pending = false;
  bool closed = false;
  bool failed = false;
  int round = 0;
  sender->OnSendComplete = [&] {
    ASSERT_EQ(sender->m_lngBufferLen, 0);
    if (sent.count == kTotal) {
      sender->CloseSocket();
      return;
    }
    // Blocks of changing, odd sizes around a megabyte.
    block.resize(std::min<std::uint64_t>(kTotal - sent.count, (1 << 20) + 4099 * (round++ % 17)));
    source.Fill(block);
    sent.Add(block.data(), block.size());
    sender->SendData(block, static_cast<double>(block.size()), false);
    saw_pending = saw_pending || sender->m_lngBufferLen > 0;
  };
  sender->OnClose = [&] { closed = true; };
  sender->OnError = [&] { failed = true; };
  sender->Connect();
  PumpUntil([&] { return closed || failed; });
  reader.join();
  ::close(listener);

  EXPECT_FALSE(failed) << EnsureErrorRecord().get_Description();
  EXPECT_TRUE(saw_pending) << "the reader was meant to be slower than the sender";
  EXPECT_EQ(sent.count, kTotal);
  EXPECT_EQ(received.count, kTotal);
  EXPECT_EQ(received.value, sent.value);
}

}  // namespace
}  // namespace tarvik
