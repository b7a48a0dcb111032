// The thread side of FakeFtpServer: plays the script on the sockets and keeps what it saw.
// Everything the test thread reads goes through the mutex; the sockets belong to the thread.
#pragma once

#include <netinet/in.h>

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/fake_ftp_server.h"

namespace tarvik::test {

struct FakeFtpServer::Step {
  enum class Kind {
    kExpect,          // text: the exact command
    kExpectLike,      // text: a pattern with '*' and '?'
    kExpectAny,       //
    kExpectPort,      //
    kExpectClose,     //
    kSend,            // text: bytes to send in one write
    kSendByteByByte,  // text: bytes to send one at a time
    kSendAfterPause,  // text: bytes to send in one write after a short pause
    kPasv,            // text: the address to announce ("h1,h2,h3,h4")
    kOpenData,        //
    kSendDataPart,    // text: bytes
    kSendData,        // text: bytes
    kReceiveData,     //
    kReceiveDataPart, // count: bytes to receive before the next step
    kCloseData,       //
    kResetData,       //
    kStall,           //
    kHold,            //
    kDrop,            //
    kReset,           //
  };
  Kind kind;
  std::string text;
  std::size_t count = 0;

  // How the step is named in failure messages, e.g. Expect "PASS p".
  std::string Describe() const;
};

class FakeFtpServer::Player {
 public:
  // Takes ownership of the listening control socket.
  Player(int control_listener, std::vector<Step> steps);
  ~Player();

  // The thread body: plays the script, then serves what comes after it until Stop().
  void Run();
  // Makes Run() return soon; safe from any thread.
  void Stop();
  void Release();

  bool IsFinished() const;
  bool WaitFinished(std::chrono::milliseconds timeout);
  // The step the script is waiting at, for reports; empty when finished.
  std::string PendingStep() const;

  std::vector<std::string> Commands() const;
  std::vector<std::string> Uploads() const;
  std::vector<std::string> Failures() const;
  std::vector<std::string> Notes() const;
  int ControlConnections() const;

 private:
  enum class Outcome { kDone, kFailed, kStopped };
  enum class Read { kLine, kClosed, kStopped };

  Outcome Play(const Step& step);
  Outcome PlayExpect(const Step& step);
  Outcome PlayExpectClose();
  Outcome PlaySend(const std::string& bytes, bool byte_by_byte);
  Outcome PlayPasv(const std::string& address);
  Outcome PlayOpenData();
  Outcome PlaySendData(const std::string& bytes, bool close_after);
  // Receives until the client closes the data connection or, when `at_least` is given, until
  // that many bytes arrived (the connection then stays open).
  Outcome PlayReceiveData(std::size_t at_least = 0);
  Outcome PlayHold();
  // After the last step (or a failure): QUIT gets 221, anything else a 500 and, unless the script
  // already failed, a test failure.
  void ServeAfterScript();
  // Reads and records commands without answering until Stop().
  void ServeStall();

  // Waits until `fd` is ready for `events`; false when the server is stopping.
  bool WaitFor(int fd, short events);
  // Accepts a control connection when none is open; false when stopping.
  bool EnsureControl();
  // Reads one command line (recorded, without its line end); `crlf` tells whether it ended in CR
  // LF.
  Read ReadCommand(std::string& line, bool& crlf);
  // Sends everything; false when stopping or when the peer is gone (errno tells). `sent_count`,
  // when given, receives how many bytes went out.
  bool SendAll(int fd, const std::string& bytes, std::size_t* sent_count = nullptr);
  // The outcome of a step whose sending ended with `all_sent`.
  Outcome Sent(bool all_sent);
  void CloseControl(bool reset);
  void CloseData(bool reset);

  // Records the failure, reports it to the running test and ends the script.
  Outcome Fail(const std::string& message);
  // "step 3 (Expect "PASS p")": the step being played.
  std::string Where() const;
  std::string WhereLocked() const;
  bool Failed() const;
  bool Stopping() const;
  void MarkFinished();

  int control_listener_;
  int control_ = -1;             // the open control connection, or -1
  int data_listener_ = -1;       // passive listener announced by the latest 227, or -1
  int data_ = -1;                // the open data connection, or -1
  bool active_mode_ = false;     // true after ExpectPort(), false after a 227
  sockaddr_in active_target_{};  // where active data connections go
  std::string inbox_;            // control bytes received and not yet split into commands
  int stop_fd_;                  // eventfd, readable once Stop() was called
  std::vector<Step> steps_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool stopping_ = false;
  int releases_ = 0;           // Release() calls not yet taken by Hold() steps
  std::size_t next_step_ = 0;  // index of the step being played
  bool finished_ = false;
  bool failed_ = false;
  int control_connections_ = 0;
  std::vector<std::string> commands_;
  std::vector<std::string> uploads_;
  std::vector<std::string> failures_;
  std::vector<std::string> notes_;  // events worth knowing that are not failures
};

}  // namespace tarvik::test
