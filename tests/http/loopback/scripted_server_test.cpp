// The download against a scripted server: what real servers will not do on request — headers cut
// into pieces or trickling in, bodies that look like headers, stalls, resets and early closes —
// and the exact requests.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "tests/http/loopback/http_fixture.h"
#include "tests/support/fake_ftp_server.h"
#include "tests/support/scripted_http_server.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

std::string OkHeader(std::size_t length, const std::string& extra = "") {
  return "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n" + extra +
         "Content-Length: " + std::to_string(length) + "\r\n\r\n";
}

std::string Address(const ScriptedHttpServer& server, const std::string& path) {
  return "http://127.0.0.1:" + std::to_string(server.Port()) + path;
}

using ScriptedServerTest = HttpDownloadTest;

TEST_F(ScriptedServerTest, HeaderInOneBytePiecesAndBodyThatLooksLikeAHeader) {
  // The body starts with header names; the header itself comes one byte per arrival.
  const std::string body =
      "Content-Length: 5\r\nContent-Type: text/plain\r\n\r\n" + RandomBytes(3000);
  ScriptedHttpServer server;
  server.ExpectRequest().SendByteByByte(OkHeader(body.size())).Send(body).Close();
  server.Start();
  ASSERT_TRUE(Fetch(Address(server, "/dir/a.bin"))) << Error();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_TRUE(ReadHostFile(local_ / "a.bin") == body);
  ASSERT_EQ(server.Requests().size(), 1u);
  const std::string request = server.Requests()[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /dir/a.bin HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"),
            std::string::npos)
      << request;
  EXPECT_EQ(request.find("Range:"), std::string::npos);
}

TEST_F(ScriptedServerTest, HeaderLargerThanAnyReceive) {
  control().put_Rcvbuf(64);  // each receive takes at most 64 bytes
  std::string filler;
  for (int i = 0; i < 60; ++i)
    filler += "X-Filler-" + std::to_string(i) + ": " + std::string(200, 'f') + "\r\n";
  const std::string body = RandomBytes(10000, 3);
  ScriptedHttpServer server;
  server.ExpectRequest().Send(OkHeader(body.size(), filler) + body).Close();
  server.Start();
  ASSERT_TRUE(Fetch(Address(server, "/big-header.bin"))) << Error();
  EXPECT_TRUE(ReadHostFile(local_ / "big-header.bin") == body);
}

TEST_F(ScriptedServerTest, CloseMidBodyFailsKeepsThePartAndTheNextCallResumesWithRange) {
  const std::string body = RandomBytes(1000, 5);
  ScriptedHttpServer server;
  server.ExpectRequest()
      .Send(OkHeader(body.size()) + body.substr(0, 400))
      .Close()
      .ExpectRequest()
      .Send(
          "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 400-999/1000\r\n"
          "Content-Length: 600\r\n\r\n" +
          body.substr(400))
      .Close();
  server.Start();
  EXPECT_FALSE(Fetch(Address(server, "/part.bin")));
  EXPECT_EQ(control().get_ErrorNumber(), 18006) << Error();
  EXPECT_NE(control().get_ErrorInfo().find("400 of 1000 bytes"), std::string::npos) << Error();
  EXPECT_EQ(ReadHostFile(local_ / "part.bin"), body.substr(0, 400));

  control().put_Overwrite(false);  // resume
  ASSERT_TRUE(Fetch(Address(server, "/part.bin"))) << Error();
  EXPECT_TRUE(ReadHostFile(local_ / "part.bin") == body);
  ASSERT_EQ(server.Requests().size(), 2u);
  EXPECT_NE(server.Requests()[1].find("\r\nRange: bytes=400-\r\n"), std::string::npos);
}

TEST_F(ScriptedServerTest, AResumeAnsweredFromAnotherOffsetIsRefused) {
  WriteHostFile(local_ / "r.bin", std::string(400, 'a'));
  ScriptedHttpServer server;
  server.ExpectRequest()
      .Send(
          "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-999/1000\r\n"
          "Content-Length: 1000\r\n\r\n" +
          std::string(1000, 'b'))
      .Close();
  server.Start();
  control().put_Overwrite(false);
  EXPECT_FALSE(Fetch(Address(server, "/r.bin")));
  EXPECT_EQ(control().get_ErrorNumber(), 18001) << Error();
  EXPECT_EQ(ReadHostFile(local_ / "r.bin"), std::string(400, 'a'));
}

TEST_F(ScriptedServerTest, StallMidBodyIsEndedByTheWatchdog) {
  ScriptedHttpServer server;
  server.ExpectRequest().Send(OkHeader(1000) + std::string(300, 's')).Stall();
  server.Start();
  // Below the property's 30 s floor, so that the watchdog ends it within the test's time.
  control().Session().settings().timeout_seconds = 1;
  EXPECT_FALSE(Fetch(Address(server, "/stall.bin")));
  EXPECT_EQ(control().get_ErrorNumber(), 20004) << Error();
  EXPECT_EQ(fs::file_size(local_ / "stall.bin"), 300u);
  EXPECT_EQ(control().get_FtpState(), FtpStates::ftpFreeState);
}

// With Timeout at 1 s: a reset in the middle of the body fails at once with the socket's error and
// keeps what arrived; a header that trickles in, each byte well within Timeout of the last, still
// has to be whole within Timeout.
TEST_F(ScriptedServerTest, AResetOrATricklingHeaderEndsTheDownload) {
  const std::string part = RandomBytes(300, 9);
  const struct {
    const char* file;
    std::function<void(ScriptedHttpServer&)> play;
    long error;
    std::string kept;
  } cases[] = {
      {"reset.bin", [&](ScriptedHttpServer& s) { s.Send(OkHeader(100000) + part).Reset(); }, 10054,
       part},
      {"trickle.bin",
       [](ScriptedHttpServer& s) {
         s.SendTrickle(OkHeader(3) + "abc", std::chrono::milliseconds(300));
       },
       20004, ""},
  };
  // Below the property's 30 s floor, so that a stall would show within the test's time.
  control().Session().settings().timeout_seconds = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ScriptedHttpServer server;
    c.play(server.ExpectRequest());
    server.Start();
    EXPECT_FALSE(Fetch(Address(server, std::string("/") + c.file)));
    EXPECT_EQ(control().get_ErrorNumber(), c.error) << Error();
    EXPECT_EQ(ReadHostFile(local_ / c.file), c.kept);
    EXPECT_TRUE(server.WaitFinished());
  }
}

TEST_F(ScriptedServerTest, AbortFromTheProgressEventCancels) {
  ScriptedHttpServer server;
  server.ExpectRequest().Send(OkHeader(100000) + std::string(5000, 'z')).Stall();
  server.Start();
  int events = 0;
  hosted_.on_transfer = [&] {
    ++events;
    EXPECT_TRUE(control().Abort());
  };
  EXPECT_FALSE(Fetch(Address(server, "/abort.bin")));
  EXPECT_EQ(control().get_ErrorNumber(), 16010) << Error();
  EXPECT_GE(events, 1);
  EXPECT_EQ(fs::file_size(local_ / "abort.bin"), 5000u);
}

TEST_F(ScriptedServerTest, AProxyGetsTheAbsoluteAddress) {
  ScriptedHttpServer proxy;
  proxy.ExpectRequest().Send(OkHeader(3) + "abc").Close();
  proxy.Start();
  control().put_ProxyHost(" 127.0.0.1 ");
  control().put_ProxyPort(proxy.Port());
  ASSERT_TRUE(Fetch("http://files.example.invalid:8080/a/b.bin")) << Error();
  EXPECT_EQ(ReadHostFile(local_ / "b.bin"), "abc");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  const std::string request = proxy.Requests()[0];
  EXPECT_EQ(request.substr(0, request.find("\r\n")),
            "GET http://files.example.invalid:8080/a/b.bin HTTP/1.1");
  EXPECT_NE(request.find("\r\nHost: files.example.invalid:8080\r\n"), std::string::npos);
}

TEST_F(ScriptedServerTest, ResponsesWithoutUsableHeaderFail) {
  const struct {
    const char* response;
    long error;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n", 18002},
      {"HTTP/1.1 200 OK\r\nContent-Length: many\r\n\r\nabc", 18002},
      {"HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n", 18302},
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n", 18000},  // closed inside the header
      {"", 18004},                                           // closed without a word
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.response);
    ScriptedHttpServer server;
    server.ExpectRequest().Send(c.response).Close();
    server.Start();
    EXPECT_FALSE(Fetch(Address(server, "/bad.bin")));
    EXPECT_EQ(control().get_ErrorNumber(), c.error) << Error();
    EXPECT_TRUE(server.WaitFinished());
  }
  EXPECT_EQ(control().get_ErrorInfo(), "Connect failed(No response from server)");
}

TEST_F(ScriptedServerTest, BadInputGetsAClearErrorAndTouchesNothing) {
  WriteHostFile(local_ / "keep.bin", "old");
  const struct {
    std::string remote;
    std::string local;
    long error;
  } cases[] = {
      {"", DrivePath(local_ / "keep.bin"), 20005},
      {"http://127.0.0.1/keep.bin", "", 20006},
      {"http://127.0.0.1:70000/keep.bin", DrivePath(local_ / "keep.bin"), 6},
      {"http://127.0.0.1:1/x.bin", "C:x.bin", 20011},
      {"http://127.0.0.1:" + std::to_string(FakeFtpServer::ClosedPort()) + "/keep.bin",
       DrivePath(local_ / "keep.bin"), 10061},
  };
  control().put_Overwrite(true);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.remote + " -> " + c.local);
    control().put_RemotePath(c.remote);
    control().put_LocalPath(c.local);
    EXPECT_FALSE(control().DownloadHttpFile());
    EXPECT_EQ(control().get_ErrorNumber(), c.error) << Error();
    EXPECT_FALSE(control().get_ErrorInfo().empty());
    EXPECT_EQ(ReadHostFile(local_ / "keep.bin"), "old");
  }
}

}  // namespace
}  // namespace tarvik::test
