#include "net/csocket.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "platform/text/code_page.h"
#include "socket_fixture.h"
#include "tests/support/loopback_sockets.h"

namespace tarvik {
namespace {

namespace ws = platform::winsock;

std::string Text(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Reads from a plain socket until `count` bytes came or the peer closed.
std::string ReadPlain(int fd, std::size_t count) {
  std::string got;
  char buffer[4096];
  while (got.size() < count) {
    const ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, count - got.size()), 0);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

// Reads `count` bytes from a plain socket while the loop keeps running, so that a CSocket on this
// thread can go on sending.
std::string ReadWhilePumping(int fd, std::size_t count) {
  std::string got;
  std::vector<char> buffer(1 << 16);
  while (got.size() < count) {
    const ssize_t n =
        ::recv(fd, buffer.data(), std::min(buffer.size(), count - got.size()), MSG_DONTWAIT);
    if (n == 0) break;
    if (n > 0) got.append(buffer.data(), static_cast<std::size_t>(n));
    platform::WaitForMessage(0);
    platform::ProcessPendingMessages();
  }
  return got;
}

// A CSocket client connected to a plain loopback server socket.
class ConnectedSocketTest : public SocketTest {
 protected:
  void SetUp() override {
    SocketTest::SetUp();
    listener_ = test::ListenOnLoopback();
    ASSERT_GE(listener_, 0);
    client_ = CSocket::Create();
    Record(client_, log_);
    client_->m_strType = "[Test]";
    client_->SetRcvbuf(4096);  // small receives: a few kilobytes make many arrivals
    client_->SetSndbuf(65536);
    client_->SetRemoteHost("127.0.0.1");
    client_->SetRemotePort(test::LocalPortOf(listener_));
    client_->Connect();
    EXPECT_EQ(client_->State(), SocketState::kConnecting);
    PumpUntil([&] { return log_.Has("SendComplete"); });
    server_ = ::accept(listener_, nullptr, nullptr);
    ASSERT_GE(server_, 0);
  }
  void TearDown() override {
    client_.reset();
    if (server_ >= 0) ::close(server_);
    ::close(listener_);
    SocketTest::TearDown();
  }
  void CloseServer() {
    ::close(server_);
    server_ = -1;
  }

  int listener_ = -1;
  int server_ = -1;
  std::shared_ptr<CSocket> client_;
  EventLog log_;
};

TEST_F(SocketTest, ConnectToAClosedPortReportsRefusedAndEndsInError) {
  auto socket = CSocket::Create();
  EventLog log;
  Record(socket, log);
  socket->SetRemoteHost("127.0.0.1");
  socket->SetRemotePort(test::PickFreeLoopbackPort());
  socket->Connect();
  EXPECT_EQ(socket->State(), SocketState::kConnecting);
  PumpUntil([&] { return !log.events.empty(); });
  Settle();
  EXPECT_EQ(log.events, std::vector<std::string>{"Error:10061"});
  EXPECT_EQ(socket->State(), SocketState::kError);
  EXPECT_EQ(socket->SocketHandle(), -1);
  EXPECT_EQ(socket->m_lngEventErrorNumber, 10061);
  EXPECT_EQ(socket->m_lngPostEventErrorID, 16);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "--PostSocketEvent--ErrorDeal---");
  EXPECT_EQ(EnsureErrorRecord().get_Description(), "Connection refused");
}

TEST_F(ConnectedSocketTest, AConnectRaisesConnectThenOneSendComplete) {
  EXPECT_EQ(log_.events, (std::vector<std::string>{"Connect", "SendComplete"}));
  EXPECT_EQ(client_->State(), SocketState::kConnected);
  EXPECT_EQ(client_->LocalIP(), "127.0.0.1");
  sockaddr_in peer{};
  socklen_t length = sizeof peer;
  ASSERT_EQ(::getpeername(server_, reinterpret_cast<sockaddr*>(&peer), &length), 0);
  EXPECT_EQ(client_->LocalPort(), ntohs(peer.sin_port));
  EXPECT_FALSE(client_->LocalHostName().empty());
  Settle();
  EXPECT_EQ(log_.events.size(), 2u);
}

TEST_F(ConnectedSocketTest, SendCompleteNeverComesFromInsideSendData) {
  bool inside_send = false;
  int completions = 0;
  client_->OnSendComplete = [&] {
    EXPECT_FALSE(inside_send);
    ++completions;
  };
  double length = 0;
  inside_send = true;
  client_->SendData("USER anonymous\r\n", length, false, true);
  inside_send = false;
  EXPECT_EQ(length, 16);
  EXPECT_EQ(completions, 0);
  EXPECT_EQ(client_->m_lngBufferLen, 0);
  PumpUntil([&] { return completions > 0; });
  Settle();
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(ReadPlain(server_, 16), "USER anonymous\r\n");
}

// Code page 1252 as the system's for the scope of a test (the default follows the locale).
struct Western1252 {
  Western1252() { EXPECT_TRUE(platform::SetAnsiCodePage(1252)); }
  ~Western1252() { platform::SetAnsiCodePage(0); }
};

TEST_F(ConnectedSocketTest, TextIsSentInTheAnsiCodePageUpToTheCallersCount) {
  const Western1252 code_page;
  double length = 100;  // more than the text has: only what exists is sent
  client_->SendData("caf\xC3\xA9!", length, false, false);
  EXPECT_EQ(ReadPlain(server_, 5), "caf\xE9!");
  double utf8_length = 0;
  client_->SendData("caf\xC3\xA9", utf8_length, false, true);
  EXPECT_EQ(utf8_length, 5);
  EXPECT_EQ(ReadPlain(server_, 5), "caf\xC3\xA9");
  double short_length = 2;
  client_->SendData("abcdef", short_length, false, false);
  const std::vector<std::uint8_t> bytes = {1, 2, 3, 4};
  client_->SendData(bytes, 3, false);
  EXPECT_EQ(ReadPlain(server_, 5), std::string("ab\x01\x02\x03"));
}

TEST_F(ConnectedSocketTest, ReceivedDataIsTakenOrPeeked) {
  const Western1252 code_page;
  std::string first;
  client_->OnDataArrival = [&](double n) {
    EXPECT_EQ(client_->BytesReceived(), n);
    std::string peeked;
    client_->PeekData(peeked);
    EXPECT_EQ(client_->BytesReceived(), n);
    client_->GetData(first);
    EXPECT_EQ(peeked, first);
    EXPECT_EQ(client_->BytesReceived(), 0);
    std::string again = "unchanged";
    client_->GetData(again);
    EXPECT_EQ(again, "unchanged") << "nothing left: the target is left alone";
  };
  ASSERT_EQ(::send(server_, "230 ok \xE9", 8, 0), 8);
  PumpUntil([&] { return !first.empty(); });
  EXPECT_EQ(first, "230 ok \xC3\xA9") << "text arrives from the ANSI code page";
}

TEST_F(ConnectedSocketTest, ASecondArrivalReplacesUnreadBytes) {
  int arrivals = 0;
  client_->OnDataArrival = [&](double) { ++arrivals; };  // takes nothing
  ASSERT_EQ(::send(server_, "first", 5, 0), 5);
  PumpUntil([&] { return arrivals == 1; });
  ASSERT_EQ(::send(server_, "second", 6, 0), 6);
  PumpUntil([&] { return arrivals == 2; });
  std::vector<std::uint8_t> data;
  client_->GetData(data);
  EXPECT_EQ(Text(data), "second");
}

TEST_F(ConnectedSocketTest, APeerResetEndsInErrorWithoutAnyEvent) {
  log_.events.clear();
  test::ResetAndClose(server_);
  server_ = -1;
  PumpUntil([&] { return client_->State() != SocketState::kConnected; });
  Settle();
  EXPECT_EQ(client_->State(), SocketState::kError);
  EXPECT_EQ(client_->SocketHandle(), -1);
  EXPECT_TRUE(log_.events.empty());
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 0) << "nothing was recorded";
  EXPECT_NE(LogText().find("PostSocketEvent:lngError=10054"), std::string::npos);
}

TEST_F(ConnectedSocketTest, ClosingAConnectedSocketWaitsForThePeer) {
  log_.events.clear();
  const int handle = client_->SocketHandle();
  client_->CloseSocket();
  EXPECT_EQ(client_->State(), SocketState::kClosing);
  EXPECT_EQ(client_->SocketHandle(), handle);
  char byte;
  EXPECT_EQ(::recv(server_, &byte, 1, 0), 0) << "the sending side is shut down";
  Settle();
  EXPECT_TRUE(log_.events.empty());
  EXPECT_EQ(client_->SocketHandle(), handle) << "the handle stays until the peer closes";
  CloseServer();
  PumpUntil([&] { return log_.Has("Close"); });
  EXPECT_EQ(log_.events, std::vector<std::string>{"Close"});
  EXPECT_EQ(client_->State(), SocketState::kClosed);
  EXPECT_EQ(client_->SocketHandle(), -1);
}

TEST_F(ConnectedSocketTest, APeerCloseDeliversEveryWaitingByteBeforeClose) {
  log_.events.clear();
  std::string sent;
  for (int i = 0; sent.size() < 100'000; ++i) sent += std::to_string(i) + ",";
  ASSERT_EQ(::send(server_, sent.data(), sent.size(), 0), static_cast<ssize_t>(sent.size()));
  CloseServer();  // all of it is in the system before the first notification is handled
  PumpUntil([&] { return log_.Has("Close"); });
  EXPECT_EQ(Text(log_.bytes), sent);
  EXPECT_EQ(log_.events.back(), "Close");
  EXPECT_GT(log_.events.size(), 2u) << "4096-byte receives: many arrivals";
  EXPECT_EQ(client_->State(), SocketState::kClosed);
}

TEST_F(ConnectedSocketTest, AnOwnerReusingOneVectorGetsEveryByteInOrder) {
  std::vector<std::uint8_t> reused;
  reused.reserve(1 << 16);  // large enough to take the receive buffer's place
  std::string collected;
  bool closed = false;
  int arrivals = 0;
  client_->OnDataArrival = [&](double n) {
    client_->GetData(reused);
    EXPECT_EQ(reused.size(), static_cast<std::size_t>(n));
    collected.append(reused.begin(), reused.end());
    // What the owner leaves in its vector must not leak into a later arrival, whether it keeps
    // the vector as it came or shrinks it.
    if (++arrivals % 3 == 0) reused.resize(1);
  };
  client_->OnClose = [&] { closed = true; };
  std::string sent;
  for (int i = 0; sent.size() < 300'000; ++i) sent += std::to_string(i * 31) + ";";
  for (std::size_t at = 0; at < sent.size(); at += 70'001) {
    const std::string piece = sent.substr(at, 70'001);
    ASSERT_EQ(::send(server_, piece.data(), piece.size(), 0), static_cast<ssize_t>(piece.size()));
    PumpUntil([&] { return collected.size() >= at + piece.size(); });
  }
  CloseServer();
  PumpUntil([&] { return closed; });
  EXPECT_EQ(collected, sent);
}

TEST_F(ConnectedSocketTest, PendingBytesGoOutInOrderBeforeSendComplete) {
  log_.events.clear();
  std::vector<std::uint8_t> block(8 << 20);
  for (std::size_t i = 0; i < block.size(); ++i)
    block[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  client_->SendData(block, static_cast<double>(block.size()), false);
  EXPECT_GT(client_->m_lngBufferLen, 0) << "the peer reads nothing yet: the system took only part";
  // A second send while bytes are pending queues behind them.
  const std::vector<std::uint8_t> tail = {'E', 'N', 'D'};
  client_->SendData(tail, 3, false);
  Settle();
  EXPECT_FALSE(log_.Has("SendComplete"));
  const std::string received = ReadWhilePumping(server_, block.size() + 3);
  PumpUntil([&] { return log_.Has("SendComplete"); });
  EXPECT_EQ(client_->m_lngBufferLen, 0);
  EXPECT_EQ(received, std::string(block.begin(), block.end()) + "END");
  EXPECT_EQ(std::count(log_.events.begin(), log_.events.end(), "SendComplete"), 1);
}

TEST_F(ConnectedSocketTest, SettingBufferLenToZeroDropsPendingBytes) {
  log_.events.clear();
  std::vector<std::uint8_t> block(8 << 20, 'x');
  client_->SendData(block, static_cast<double>(block.size()), false);
  const auto pending = static_cast<std::size_t>(client_->m_lngBufferLen);
  ASSERT_GT(pending, 0u);
  client_->m_lngBufferLen = 0;
  const std::vector<std::uint8_t> next = {'n'};
  client_->SendData(next, 1, false);
  // The peer gets what the system had taken, then the new byte: none of the dropped ones.
  const std::string received = ReadWhilePumping(server_, block.size() - pending + 1);
  ASSERT_EQ(received.size(), block.size() - pending + 1);
  EXPECT_EQ(received, std::string(block.size() - pending, 'x') + "n");
  PumpUntil([&] { return log_.Has("SendComplete"); });
  EXPECT_EQ(client_->m_lngBufferLen, 0);
}

TEST_F(ConnectedSocketTest, ConnectingAConnectedSocketRetriesOnceThenReports) {
  log_.events.clear();
  client_->Connect();
  EXPECT_EQ(log_.events, std::vector<std::string>{"Error:10056"});
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "CSocket.Connect");
  EXPECT_NE(LogText().find("CloseSocket And Connect"), std::string::npos);
}

TEST_F(ConnectedSocketTest, AnOwnerMayDropItsLastReferenceInsideAHandler) {
  bool dropped = false;
  client_->OnDataArrival = [&](double) {
    client_.reset();  // the notification holds its own reference until it returns
    dropped = true;
  };
  ASSERT_EQ(::send(server_, "x", 1, 0), 1);
  PumpUntil([&] { return dropped; });
  EXPECT_EQ(MSocketSupport::State().SocketRegistry, std::nullopt) << "the object went away";
}

TEST_F(ConnectedSocketTest, AnErrorRaisedByAHandlerTakesTheFailurePath) {
  log_.events.clear();
  client_->OnDataArrival = [](double) { Raise(16550, "550 No such file"); };
  ASSERT_EQ(::send(server_, "x", 1, 0), 1);
  PumpUntil([&] { return !log_.events.empty(); });
  EXPECT_EQ(log_.events, std::vector<std::string>{"Error:16550"});
  EXPECT_EQ(client_->m_lngPostEventErrorID, MSocketSupport::kEventRead);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "--PostSocketEvent--ErrorDeal---");
}

TEST_F(SocketTest, ListenAcceptAndTalk) {
  auto listener = CSocket::Create();
  auto server = CSocket::Create();
  auto client = CSocket::Create();
  EventLog listener_log, server_log, client_log;
  Record(listener, listener_log);
  Record(server, server_log);
  Record(client, client_log);
  listener->OnConnectionRequest = [&](std::int32_t id) {
    listener_log.events.push_back("ConnectionRequest");
    server->Accept(id);
  };
  const std::uint16_t port = test::PickFreeLoopbackPort();
  listener->SetLocalPort(port);
  listener->Listen();
  ASSERT_EQ(listener->State(), SocketState::kListening);
  client->SetRemoteHost("localhost");
  EXPECT_EQ(client->RemoteHost(), "127.0.0.1");
  client->SetRemotePort(port);
  client->Connect();
  PumpUntil([&] { return client_log.Has("SendComplete") && server_log.Has("SendComplete"); });
  EXPECT_EQ(listener_log.events, std::vector<std::string>{"ConnectionRequest"});
  EXPECT_EQ(server->State(), SocketState::kConnected);
  EXPECT_EQ(server->RemoteHost(), "127.0.0.1");
  EXPECT_EQ(server->RemotePort(), client->LocalPort());
  EXPECT_EQ(server->LocalPort(), port);
  EXPECT_EQ(server_log.events, std::vector<std::string>{"SendComplete"});
  double length = 0;
  client->SendData("hello server", length, false, true);
  PumpUntil([&] { return server_log.bytes.size() == 12; });
  EXPECT_EQ(Text(server_log.bytes), "hello server");
  server->CloseSocket();
  PumpUntil([&] { return client_log.Has("Close"); });
  PumpUntil([&] { return server_log.Has("Close"); });
  EXPECT_EQ(client->State(), SocketState::kClosed);
  EXPECT_EQ(server->State(), SocketState::kClosed);
  listener->CloseSocket();
  EXPECT_EQ(listener->State(), SocketState::kClosed);
  EXPECT_EQ(listener->SocketHandle(), -1);
  Settle();
  EXPECT_EQ(listener_log.events.size(), 1u) << "closing a listening socket raises nothing";
}

TEST_F(SocketTest, ListeningOnAPortInUseEndsInErrorWithoutAHandle) {
  const int taken = test::ListenOnLoopback();
  auto socket = CSocket::Create();
  EventLog log;
  Record(socket, log);
  socket->SetLocalPort(test::LocalPortOf(taken));
  socket->Bind(0, "127.0.0.1");
  EXPECT_EQ(log.events, std::vector<std::string>{"Error:10048"});
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "CSocket.Bind");
  socket->Listen();
  EXPECT_EQ(socket->State(), SocketState::kError);
  EXPECT_EQ(socket->SocketHandle(), -1);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "CSocket.Listen");
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 10022);
  ::close(taken);
}

TEST_F(SocketTest, BadArgumentsAreReportedNotThrown) {
  auto socket = CSocket::Create();
  EventLog log;
  Record(socket, log);
  MSocketSupport::State().ConnectPending = true;
  double length = 3;
  socket->SendData("abc", length, false, false);
  EXPECT_EQ(EnsureErrorRecord().get_Number(), ErrorCode::kNoSocket);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "CSocket.SendData");
  EXPECT_EQ(EnsureErrorRecord().get_Description(),
            "Wrong protocol or connection state for the requested transaction or request.");
  EXPECT_FALSE(MSocketSupport::State().ConnectPending) << "every socket error report clears it";
  socket->Accept(-1);
  EXPECT_EQ(EnsureErrorRecord().get_Number(), ws::kWsaENotSock);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "CSocket.Accept");
  socket->Bind(70000, "");
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 6);
  socket->Bind(0, "not.an.address");
  EXPECT_EQ(EnsureErrorRecord().get_Number(), ws::kWsaEAddrNotAvail);
  EXPECT_EQ(log.events.size(), 4u);
}

TEST_F(SocketTest, ConnectNeedsAHostThatResolved) {
  auto socket = CSocket::Create();
  EventLog log;
  Record(socket, log);
  socket->Connect();
  EXPECT_EQ(log.events, std::vector<std::string>{"Error:20001"});
  EXPECT_EQ(EnsureErrorRecord().get_Description(), "Hostname Required");
  EXPECT_EQ(socket->State(), SocketState::kClosed);
  EnsureErrorRecord().Clear();
  socket->SetRemoteHost("   ");
  EXPECT_EQ(socket->RemoteHost(), "");
  socket->SetRemoteHost("  no-such-host.invalid ");
  EXPECT_EQ(socket->RemoteHost(), "no-such-host.invalid");
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 11001);
  socket->Connect();
  EXPECT_EQ(log.events.back(), "Error:20002");
  EXPECT_EQ(EnsureErrorRecord().get_Description(), "Unable to resolve host");
  EXPECT_EQ(socket->State(), SocketState::kClosed);
}

TEST_F(SocketTest, TheListeningObjectMayAcceptTheConnectionItself) {
  auto listener = CSocket::Create();
  auto client = CSocket::Create();
  EventLog listener_log, client_log;
  Record(listener, listener_log);
  Record(client, client_log);
  listener->OnConnectionRequest = [&](std::int32_t id) { listener->Accept(id); };
  const std::uint16_t port = test::PickFreeLoopbackPort();
  listener->SetLocalPort(port);
  listener->Listen();
  const auto listening_handle = listener->SocketHandle();
  client->SetRemoteHost("127.0.0.1");
  client->SetRemotePort(port);
  client->Connect();
  PumpUntil([&] { return listener_log.Has("SendComplete") && client_log.Has("SendComplete"); });
  EXPECT_EQ(listener->State(), SocketState::kConnected);
  EXPECT_NE(listener->SocketHandle(), listening_handle);
  EXPECT_EQ(MSocketSupport::State().SocketRegistry->size(), 2u) << "the listening handle is gone";
  // Nobody listens on the port any more.
  auto late = CSocket::Create();
  EventLog late_log;
  Record(late, late_log);
  late->SetRemoteHost("127.0.0.1");
  late->SetRemotePort(port);
  late->Connect();
  PumpUntil([&] { return !late_log.events.empty(); });
  EXPECT_EQ(late_log.events, std::vector<std::string>{"Error:10061"});
}

TEST_F(SocketTest, AnObjectStillWorksAfterAnotherOneStoppedWindowsSockets) {
  auto survivor = CSocket::Create();
  CSocket::Create().reset();  // no socket registered: its destruction stops the service
  ASSERT_FALSE(MSocketSupport::State().WinsockStarted);
  ASSERT_EQ(ws::CreateSocket(ws::kAfInet, ws::kSockStream, ws::kIpProtoTcp), ws::kInvalidSocket);
  ASSERT_EQ(ws::GetLastError(), ws::kWsaNotInitialised);
  EventLog log;
  Record(survivor, log);
  survivor->Listen();
  EXPECT_EQ(survivor->State(), SocketState::kListening);
  EXPECT_TRUE(log.events.empty());
  survivor->CloseSocket();
}

TEST(CSocketProperties, RemotePortReadsTwentyOneUntilValid) {
  auto socket = CSocket::Create();
  EXPECT_EQ(socket->RemotePort(), 21);
  for (std::int32_t bad : {0, -5, 70000}) {
    socket->SetRemotePort(bad);
    EXPECT_EQ(socket->RemotePort(), 21) << bad;
  }
  socket->SetRemotePort(2121);
  EXPECT_EQ(socket->RemotePort(), 2121);
  EXPECT_EQ(socket->State(), SocketState::kClosed);
  EXPECT_EQ(socket->SocketHandle(), -1);
  EXPECT_EQ(socket->m_lngBufferLen, 0);
}

}  // namespace
}  // namespace tarvik
