#include "net/socket_support.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include "net/csocket.h"
#include "socket_fixture.h"
#include "tests/support/loopback_sockets.h"

namespace tarvik {
namespace {

namespace ws = platform::winsock;
using MSocketSupport::State;

TEST(SocketSupportConversions, WordsAreUnsigned) {
  struct Row {
    std::int32_t value;
    std::int32_t low;
    std::int32_t high;
  };
  const Row rows[] = {
      {0, 0, 0},
      {0x00010002, 2, 1},
      {static_cast<std::int32_t>(0x80000000u), 0, 32768},
      {-1, 65535, 65535},
      {static_cast<std::int32_t>(0x27BD0010u), 16, 10173},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MSocketSupport::LoWord(row.value), row.low) << row.value;
    EXPECT_EQ(MSocketSupport::HiWord(row.value), row.high) << row.value;
  }
}

TEST(SocketSupportConversions, PortsOutsideSixteenBitsOverflow) {
  EXPECT_EQ(MSocketSupport::PortToUnsignedShort(0), 0);
  EXPECT_EQ(MSocketSupport::PortToUnsignedShort(32768), 32768);
  EXPECT_EQ(MSocketSupport::PortToUnsignedShort(65535), 65535);
  for (std::int32_t bad : {-1, 65536, 70000}) {
    try {
      MSocketSupport::PortToUnsignedShort(bad);
      ADD_FAILURE() << bad << " was taken";
    } catch (const NumberedError& e) {
      EXPECT_EQ(e.number(), 6);
    }
  }
}

using SocketSupportTest = SocketTest;

TEST_F(SocketSupportTest, ResolvesNamesToDottedText) {
  MSocketSupport::InitWinsockService();
  EXPECT_EQ(MSocketSupport::ResolveHostName("127.0.0.1"), "127.0.0.1");
  EXPECT_EQ(MSocketSupport::ResolveHostName("localhost"), "127.0.0.1");
  EXPECT_EQ(MSocketSupport::ResolveHostName("no-such-host.invalid"), "");
  EXPECT_EQ(MSocketSupport::ResolveHostName(""), "");
}

TEST_F(SocketSupportTest, StartupReportsTheDatagramSizeAndCleanupWaitsForTheRegistry) {
  EXPECT_EQ(MSocketSupport::InitWinsockService(), 65467);
  EXPECT_TRUE(State().WinsockStarted);
  EXPECT_NE(State().WinsockMessage, 0u);
  EXPECT_EQ(State().WinsockMessage, platform::RegisterWindowMessage("TarvikFtp.WinsockMessage"));
  {
    auto socket = CSocket::Create();
    socket->Listen();
    ASSERT_EQ(socket->State(), SocketState::kListening);
    MSocketSupport::CleanupWinsockService();
    EXPECT_TRUE(State().WinsockStarted) << "a registered socket keeps the service";
  }
  EXPECT_FALSE(State().SocketRegistry);
  EXPECT_FALSE(State().WinsockStarted) << "the last socket object stopped it";
}

TEST_F(SocketSupportTest, TheWindowExistsExactlyWhileSocketsAreRegistered) {
  EXPECT_EQ(State().NotifyWindow, 0u);
  EXPECT_FALSE(State().SocketRegistry);
  auto first = CSocket::Create();
  auto second = CSocket::Create();
  EXPECT_EQ(State().NotifyWindow, 0u) << "creating an object registers nothing";
  first->Listen();
  const platform::WindowHandle window = State().NotifyWindow;
  ASSERT_NE(window, 0u);
  EXPECT_TRUE(platform::IsWindow(window));
  ASSERT_TRUE(State().SocketRegistry);
  EXPECT_EQ(State().SocketRegistry->size(), 1u);
  second->Listen();
  EXPECT_EQ(State().NotifyWindow, window) << "one window serves every socket of the thread";
  EXPECT_EQ(State().SocketRegistry->size(), 2u);
  first->CloseSocket();
  EXPECT_EQ(State().NotifyWindow, window);
  EXPECT_EQ(State().SocketRegistry->size(), 1u);
  second->CloseSocket();
  EXPECT_EQ(State().NotifyWindow, 0u);
  EXPECT_FALSE(State().SocketRegistry);
  EXPECT_FALSE(platform::IsWindow(window));
  first->Listen();
  EXPECT_NE(State().NotifyWindow, 0u);
  EXPECT_NE(State().NotifyWindow, window) << "registering again makes a new window";
  first->CloseSocket();
}

TEST_F(SocketSupportTest, RegistrationRefusesADuplicateAndRemovalNeedsAnEntry) {
  EXPECT_FALSE(MSocketSupport::UnregisterSocket(5)) << "no registry yet";
  auto socket = CSocket::Create();
  socket->Listen();
  const auto handle = socket->SocketHandle();
  EXPECT_FALSE(MSocketSupport::RegisterSocket(handle, socket.get()));
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 457);
  EXPECT_FALSE(MSocketSupport::UnregisterSocket(ws::kInvalidSocket));
  try {
    MSocketSupport::UnregisterSocket(handle + 1000);
    ADD_FAILURE() << "a missing key was removed";
  } catch (const NumberedError& e) {
    EXPECT_EQ(e.number(), 5);
  }
  socket->CloseSocket();
}

TEST_F(SocketSupportTest, ANotificationForAnUnregisteredHandleIsDroppedSilently) {
  auto socket = CSocket::Create();
  EventLog log;
  Record(socket, log);
  socket->Listen();
  const auto handle = socket->SocketHandle();
  const auto& state = State();
  // A handle nobody registered, and this socket's handle after it was closed.
  platform::PostMessage(state.NotifyWindow, state.WinsockMessage, 999'999,
                        ws::MakeSelectReply(ws::kFdRead, 0));
  platform::PostMessage(state.NotifyWindow, state.WinsockMessage, 999'999,
                        ws::MakeSelectReply(ws::kFdClose, ws::kWsaEConnReset));
  auto other = CSocket::Create();
  other->Listen();  // keeps the window alive once `socket` is closed
  const auto window = state.NotifyWindow;
  socket->CloseSocket();
  platform::PostMessage(window, state.WinsockMessage, static_cast<platform::WParam>(handle),
                        ws::MakeSelectReply(ws::kFdAccept, 0));
  Settle();
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 0) << "nothing was reported";
  EXPECT_EQ(state.LastSocketEvent, 0) << "nothing was dispatched";
  other->CloseSocket();
}

TEST_F(SocketSupportTest, OtherMessagesToTheWindowAreIgnored) {
  auto socket = CSocket::Create();
  socket->Listen();
  EXPECT_EQ(MSocketSupport::WindowProc(State().NotifyWindow, platform::kWmUser, 0, 0), 0);
  EXPECT_EQ(MSocketSupport::WindowProc(State().NotifyWindow, platform::kWmTimer, 1, 0), 0);
  EXPECT_EQ(State().LastSocketEvent, 0);
  socket->CloseSocket();
}

// A connected pair: a CSocket client and a plain server side, with the client's first events
// (connect, ready to send) already handled.
class ConnectPendingTest : public SocketTest {
 protected:
  void SetUp() override {
    SocketTest::SetUp();
    listener_ = test::ListenOnLoopback();
    ASSERT_GE(listener_, 0);
    client_ = CSocket::Create();
    Record(client_, log_);
    client_->SetRemoteHost("127.0.0.1");
    client_->SetRemotePort(test::LocalPortOf(listener_));
    client_->SetRcvbuf(65536);
    client_->SetSndbuf(65536);
    client_->Connect();
    PumpUntil([&] { return log_.Has("SendComplete"); });
    server_ = ::accept(listener_, nullptr, nullptr);
    ASSERT_GE(server_, 0);
    ASSERT_EQ(State().LastSocketEvent, MSocketSupport::kEventWrite);
    log_.events.clear();
  }
  void TearDown() override {
    client_.reset();
    if (server_ >= 0) ::close(server_);
    ::close(listener_);
    SocketTest::TearDown();
  }
  void Post(long event, int error) {
    platform::PostMessage(State().NotifyWindow, State().WinsockMessage,
                          static_cast<platform::WParam>(client_->SocketHandle()),
                          ws::MakeSelectReply(event, error));
  }

  int listener_ = -1;
  int server_ = -1;
  std::shared_ptr<CSocket> client_;
  EventLog log_;
};

TEST_F(ConnectPendingTest, ReadyToSendThenDataPassesAndClearsTheFlag) {
  State().ConnectPending = true;
  ASSERT_EQ(::send(server_, "220 ready\r\n", 11, 0), 11);
  PumpUntil([&] { return !log_.events.empty(); });
  EXPECT_EQ(log_.events, std::vector<std::string>{"DataArrival:11"});
  EXPECT_FALSE(State().ConnectPending);
  EXPECT_EQ(client_->State(), SocketState::kConnected);
}

TEST_F(ConnectPendingTest, ReadyToSendThenCloseBecomesAFailedConnectWithoutEvents) {
  State().ConnectPending = true;
  ::close(server_);
  server_ = -1;
  PumpUntil([&] { return client_->State() != SocketState::kConnected; });
  Settle();
  EXPECT_FALSE(State().ConnectPending);
  EXPECT_EQ(client_->State(), SocketState::kError);
  EXPECT_EQ(client_->SocketHandle(), -1);
  EXPECT_TRUE(log_.events.empty()) << "a failed close ends without any event";
  EXPECT_NE(LogText().find("PostSocketEvent:lngError=16006"), std::string::npos);
}

TEST_F(ConnectPendingTest, ReadyToSendThenANotificationWithItsOwnErrorKeepsFlagAndError) {
  State().ConnectPending = true;
  Post(ws::kFdRead, ws::kWsaEConnReset);
  PumpUntil([&] { return !log_.events.empty(); });
  EXPECT_TRUE(State().ConnectPending) << "the notification's own error leaves the flag alone";
  EXPECT_EQ(log_.events, std::vector<std::string>{"Error:10054"});
  EXPECT_EQ(client_->m_lngEventErrorNumber, ws::kWsaEConnReset);
  EXPECT_EQ(client_->m_lngPostEventErrorID, MSocketSupport::kEventRead);
  EXPECT_EQ(client_->State(), SocketState::kError);
  State().ConnectPending = false;
}

TEST_F(ConnectPendingTest, TheRuleOnlyAppliesRightAfterReadyToSend) {
  ASSERT_EQ(::send(server_, "x", 1, 0), 1);
  PumpUntil([&] { return log_.Has("DataArrival:1"); });
  State().ConnectPending = true;  // the last event is now data ready, not ready to send
  Post(ws::kFdWrite, 0);
  PumpUntil([&] { return log_.Has("SendComplete"); });
  EXPECT_TRUE(State().ConnectPending);
  EXPECT_EQ(client_->State(), SocketState::kConnected);
  State().ConnectPending = false;
}

}  // namespace
}  // namespace tarvik
