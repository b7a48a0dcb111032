// A scripted web server for what real servers will not do: a header in 1-byte pieces (or trickling
// in slowly), a header larger than any receive, a stall, a close or a reset in the middle of a
// body. It plays its steps on a thread of its own on 127.0.0.1 and records every request header it
// reads.
//
//   ScriptedHttpServer server;
//   server.ExpectRequest()                                  // accepts, reads up to the empty line
//       .SendByteByByte("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n")
//       .Send("abc")
//       .Close();
//   server.Start();
//   ... fetch http://127.0.0.1:<Port()>/file ...
//   EXPECT_TRUE(server.WaitFinished());
//   EXPECT_EQ(server.Requests()[0].substr(0, 14), "GET /file HTTP");
//
// A step that reads or writes first accepts a connection when none is open, so after Close() the
// next ExpectRequest() waits for the client's next connection. A client that never connects, or
// closes before a step is done, fails the test (ADD_FAILURE) when the server is destroyed.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::test {

class ScriptedHttpServer {
 public:
  ScriptedHttpServer();
  ~ScriptedHttpServer();
  ScriptedHttpServer(const ScriptedHttpServer&) = delete;
  ScriptedHttpServer& operator=(const ScriptedHttpServer&) = delete;

  // Reads one request header (up to and including its empty line) and records it.
  ScriptedHttpServer& ExpectRequest();
  // Sends the bytes in one write.
  ScriptedHttpServer& Send(std::string bytes);
  // Sends the bytes one per write, a millisecond apart, so that each arrives on its own.
  ScriptedHttpServer& SendByteByByte(std::string bytes);
  // Sends the bytes one per write, `gap` apart. A client that closes the connection meanwhile ends
  // the step early, which is no failure.
  ScriptedHttpServer& SendTrickle(std::string bytes, std::chrono::milliseconds gap);
  // Closes the connection in order (FIN).
  ScriptedHttpServer& Close();
  // Resets the connection (RST, through SO_LINGER 0).
  ScriptedHttpServer& Reset();
  // Keeps the connection open and silent until the client closes it or the server is destroyed.
  ScriptedHttpServer& Stall();

  void Start();
  std::uint16_t Port() const { return port_; }
  // Every request header read so far, in order.
  std::vector<std::string> Requests() const;
  // True once every step was played without failure (a Stall counts once it has begun).
  bool WaitFinished();

 private:
  struct Step {
    enum class Kind { kExpectRequest, kSend, kSendByteByByte, kClose, kReset, kStall } kind;
    std::string bytes;
    std::chrono::milliseconds gap{1};  // kSendByteByByte: between two bytes
    bool until_closed = false;         // kSendByteByByte: a client that closes ends it early
  };
  void Play();
  bool EnsureConnection();
  bool PlayStep(const Step& step);

  std::vector<Step> steps_;
  int listener_ = -1;
  int connection_ = -1;
  std::uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> finished_{false};
  std::atomic<bool> failed_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::string failure_;
};

}  // namespace tarvik::test
