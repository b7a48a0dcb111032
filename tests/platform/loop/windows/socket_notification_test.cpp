// Windows Sockets notification through the system's WSAAsyncSelect, on loopback.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/loop/message_loop.h"
#include "platform/loop/winsock.h"
#include "tests/platform/loop/recording_window.h"

namespace tarvik::platform::winsock {
namespace {

constexpr MessageId kSocketMessage = kWmUser + 7;
const std::uint32_t kLoopback = *InetAddr("127.0.0.1");

class SocketNotificationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    StartupData data;
    ASSERT_EQ(Startup(0x0202, data), 0);
  }
  void TearDown() override { Cleanup(); }

  // Pumps until `socket` has had `event`, and returns the error it carried (-1 if it never came).
  int WaitFor(Socket socket, long event) {
    for (int round = 0; round < 1000; ++round) {
      for (const Seen& seen : window_.seen) {
        if (seen.message == kSocketMessage && static_cast<Socket>(seen.wparam) == socket &&
            (seen.lparam & 0xFFFF) == event)
          return static_cast<int>(seen.lparam >> 16);
      }
      WaitForMessage(100);
      ProcessPendingMessages();
    }
    ADD_FAILURE() << "no event " << event << " for socket " << socket;
    return -1;
  }
  // The events `socket` got, in order.
  std::vector<long> EventsOf(Socket socket) const {
    std::vector<long> events;
    for (const Seen& seen : window_.seen)
      if (seen.message == kSocketMessage && static_cast<Socket>(seen.wparam) == socket)
        events.push_back(seen.lparam & 0xFFFF);
    return events;
  }
  RecordingWindow window_;
};

TEST_F(SocketNotificationTest, AConnectionReportsItsEventsToTheWindow) {
  const Socket listener = CreateSocket(kAfInet, kSockStream, kIpProtoTcp);
  ASSERT_EQ(Bind(listener, {kLoopback, 0}), 0);
  ASSERT_EQ(Listen(listener, 1), 0);
  SocketAddress bound;
  ASSERT_EQ(GetSockName(listener, bound), 0);
  ASSERT_EQ(AsyncSelect(listener, window_.handle(), kSocketMessage, kFdAccept), 0);

  const Socket client = CreateSocket(kAfInet, kSockStream, kIpProtoTcp);
  const long all = kFdConnect | kFdRead | kFdWrite | kFdClose;
  ASSERT_EQ(AsyncSelect(client, window_.handle(), kSocketMessage, all), 0);
  EXPECT_EQ(Connect(client, {kLoopback, bound.port}), kSocketError);
  EXPECT_EQ(GetLastError(), kWsaEWouldBlock);
  EXPECT_EQ(WaitFor(client, kFdConnect), 0);
  WaitFor(client, kFdWrite);
  WaitFor(listener, kFdAccept);
  const Socket server = Accept(listener, nullptr);
  ASSERT_NE(server, kInvalidSocket);

  ASSERT_EQ(Send(server, "hello", 5), 5);
  WaitFor(client, kFdRead);
  char buffer[8] = {};
  EXPECT_EQ(Recv(client, buffer, sizeof buffer), 5);
  EXPECT_STREQ(buffer, "hello");
  EXPECT_EQ(CloseSocket(server), 0);
  EXPECT_EQ(WaitFor(client, kFdClose), 0);
  EXPECT_EQ(EventsOf(client), (std::vector<long>{kFdConnect, kFdWrite, kFdRead, kFdClose}));
  EXPECT_EQ(CloseSocket(client), 0);
  EXPECT_EQ(CloseSocket(listener), 0);
}

TEST_F(SocketNotificationTest, RefusedConnectionsAndForeignWindowsFail) {
  const Socket client = CreateSocket(kAfInet, kSockStream, kIpProtoTcp);
  WindowHandle foreign = 0;
  std::thread([&] { foreign = CreateHiddenWindow(); }).join();  // gone with its thread
  EXPECT_EQ(AsyncSelect(client, foreign, kSocketMessage, kFdConnect), kSocketError);
  EXPECT_EQ(GetLastError(), kWsaEInval);
  ASSERT_EQ(AsyncSelect(client, window_.handle(), kSocketMessage, kFdConnect), 0);
  Connect(client, {kLoopback, 1});  // nothing listens on port 1
  EXPECT_EQ(WaitFor(client, kFdConnect), kWsaEConnRefused);
  EXPECT_EQ(CloseSocket(client), 0);
}

}  // namespace
}  // namespace tarvik::platform::winsock
