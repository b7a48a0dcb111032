// Opening data connections: the port offered in active mode and the host used in passive mode.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

std::int32_t PortOf(const std::string& port_command) {
  int h1, h2, h3, h4, p1, p2;
  if (std::sscanf(port_command.c_str(), "PORT %d,%d,%d,%d,%d,%d", &h1, &h2, &h3, &h4, &p1, &p2) !=
      6) {
    return -1;
  }
  return p1 * 256 + p2;
}

TEST(DataConnectionTest, ActivePortsStartInRangeAndCountUp) {
  FakeFtpServer server;
  PlayLogin(server)
      .ExpectPort()
      .Reply("200 PORT ok")
      .SendData("listing")
      .ExpectPort()
      .Reply("200 PORT ok");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  RecordingSink sink;
  t.session.SetTransferSink(&sink);

  t.session.data_connection().SendPORTCommand();
  EXPECT_EQ(t.session.state().ftp_state, FtpStates::ftpFreeState);  // PORT sent
  ASSERT_TRUE(PumpUntil([&] { return sink.closed == 1; }));
  EXPECT_EQ(sink.received, "listing");
  t.session.data_connection().CloseDataConnection();
  t.session.data_connection().SendPORTCommand();
  ASSERT_TRUE(server.WaitFinished());

  const std::vector<std::string> commands = server.Commands();
  ASSERT_EQ(commands.size(), 6u);
  const std::int32_t first = PortOf(commands[4]);
  EXPECT_GE(first, 20000);
  EXPECT_LE(first, 40001);
  EXPECT_EQ(commands[4].rfind("PORT 127,0,0,1,", 0), 0u) << commands[4];
  EXPECT_EQ(PortOf(commands[5]), first + 1);
  t.session.SetTransferSink(nullptr);
}

TEST(DataConnectionTest, PassiveModeConnectsToTheControlHost) {
  // Our own listener on the port the reply announces, on the control connection's host.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  int yes = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(50000);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listener, 1) != 0) {
    ::close(listener);
    GTEST_SKIP() << "port 50000 is in use";
  }
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  RecordingSink sink;
  t.session.SetTransferSink(&sink);

  t.session.data_connection().EstablishPasvDataConnection(
      "227 Entering Passive Mode (10,0,0,7,195,80).");
  EXPECT_EQ(t.session.state().ftp_state, FtpStates::ftpDataConnectionEstablished);
  ASSERT_TRUE(PumpUntil([&] { return sink.connected == 1; }));
  const int accepted = ::accept(listener, nullptr, nullptr);
  EXPECT_GE(accepted, 0);
  ::close(accepted);
  ::close(listener);
  t.session.data_connection().CloseDataConnection();
  t.session.SetTransferSink(nullptr);
}

TEST(DataConnectionTest, BadPassiveReplyIsReported) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  t.session.data_connection().EstablishPasvDataConnection("227 Entering Passive Mode");
  EXPECT_EQ(t.session.ErrorNumber(), 20062);
  EXPECT_EQ(t.session.data_connection().socket().State(), SocketState::kClosed);
}

}  // namespace
}  // namespace tarvik::test
