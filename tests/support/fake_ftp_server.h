// A scripted FTP server for protocol tests: it plays a list of expected commands and canned replies
// on 127.0.0.1, records every command it receives, and fails the running test on any surprise.
//
// The server runs on a thread of its own, so the client under test may run its message loop on the
// test thread: nothing here makes the test thread wait, except WaitFinished() and the destructor.
//
//   FakeFtpServer server;
//   server.Reply("220 Fake server ready")                       // greeting, unprompted
//       .Expect("USER u").Reply("331 Password required")
//       .Expect("PASS p").Reply("230 Logged in")
//       .Expect("TYPE I").Reply("200 Type set")
//       .Expect("PASV").ReplyPasv()                              // 227 with its own data listener
//       .Expect("RETR file.bin").Reply("150 Opening")
//       .SendData("file contents")                               // accept, send, close
//       .Reply("226 Transfer complete");
//   server.Start();
//   control.Port = server.Port(); ... run the client ...
//   EXPECT_TRUE(server.WaitFinished());
//   EXPECT_EQ(server.Commands(), (std::vector<std::string>{"USER u", "PASS p", ...}));
//
// How the script is played:
// - Steps run in order. A step that talks on the control connection first accepts one when none
//   is open (so after Drop() or Reset() the next such step waits for the client to reconnect).
// - Expect...() reads one command line. A line that differs from the expectation, or that does
//   not end in CR LF, fails the test (ADD_FAILURE naming the step and the line received); the
//   server then answers every further command with "500 Unexpected command" and plays nothing
//   more. A failure is always reported before the script counts as finished.
// - After the last step, "QUIT" is answered with "221 Goodbye" and the connection is closed; any
//   other command, or a new control connection, fails the test. Every command is recorded.
// - Data connections follow the latest of ReplyPasv() (passive: the client connects to the
//   server's listener) and ExpectPort() (active: the server connects to the address the client
//   sent). A data step opens the connection when it is not yet open.
// - Destroying the server waits up to 5 s for an unfinished script, reports the step it stopped
//   at as a test failure, then closes every socket.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tarvik::test {

class FakeFtpServer {
 public:
  // Binds 127.0.0.1 on an ephemeral port and listens at once: Port() is valid before Start().
  FakeFtpServer();
  ~FakeFtpServer();
  FakeFtpServer(const FakeFtpServer&) = delete;
  FakeFtpServer& operator=(const FakeFtpServer&) = delete;

  // ---- Script building (before Start). Each returns *this for chaining. ----

  // Reads one command and requires it to equal `command` exactly (without its CR LF).
  FakeFtpServer& Expect(std::string command);
  // Reads one command matching `pattern`, where '*' matches any run of characters and '?' one.
  FakeFtpServer& ExpectLike(std::string pattern);
  // Reads one command, whatever it is (it is still recorded).
  FakeFtpServer& ExpectAny();
  // Reads "PORT h1,h2,h3,h4,p1,p2" and makes that address the target of active data connections.
  FakeFtpServer& ExpectPort();
  // Waits until the client closes the control connection; a command arriving instead fails the
  // test.
  FakeFtpServer& ExpectClose();

  // Sends `text` as one write: the lines of `text` (separated by '\n') each end in CR LF, so a
  // multi-line reply such as "220-Hello\n220-More\n220 Ready" arrives in one piece.
  FakeFtpServer& Reply(std::string text);
  // Sends exactly these bytes in one write, e.g. a final line without its CR LF: ReplyRaw("550 ").
  FakeFtpServer& ReplyRaw(std::string bytes);
  // Sends `text` framed like Reply(), one byte per TCP segment about a millisecond apart.
  FakeFtpServer& ReplyByteByByte(std::string text);
  // Sends `text` framed like Reply() in two writes: its first `at` bytes, then, a few milliseconds
  // later, the rest; the pause makes it all but certain that the client reads the first part on
  // its own (a reply cut by TCP at that byte).
  FakeFtpServer& ReplySplit(std::string text, std::size_t at);
  // Opens a data listener on 127.0.0.1 and replies "227 Entering Passive Mode (127,0,0,1,p1,p2).".
  FakeFtpServer& ReplyPasv();
  // The same, announcing `address` ("10,0,0,7") instead of 127,0,0,1; the port is still the real
  // listener's, so a client that ignores the announced address gets its data connection.
  FakeFtpServer& ReplyPasv(std::string address);

  // Opens the data connection (passive: accepts the client's connection; active: connects to it).
  FakeFtpServer& OpenData();
  // Sends bytes on the data connection and keeps it open.
  FakeFtpServer& SendDataPart(std::string bytes);
  // Sends bytes on the data connection, then closes it: a complete download or listing.
  // When the client closes the data connection first (an abort), the step ends early and leaves
  // a line in Notes() instead of failing.
  FakeFtpServer& SendData(std::string bytes);
  // Reads the data connection until the client closes it and records the bytes (see Uploads()).
  FakeFtpServer& ReceiveData();
  // Reads `count` bytes of the data connection (fewer when the client closes it first), records
  // them like ReceiveData() and keeps the connection open.
  FakeFtpServer& ReceiveDataPart(std::size_t count);
  // Closes the data connection in order (FIN).
  FakeFtpServer& CloseData();
  // Resets the data connection (RST).
  FakeFtpServer& ResetData();

  // From here on, answers nothing: commands are still read and recorded, never answered. Last step.
  FakeFtpServer& Stall();
  // Pauses the script until the test calls Release(); commands sent meanwhile wait for later steps.
  FakeFtpServer& Hold();
  // Closes the control connection in order (FIN).
  FakeFtpServer& Drop();
  // Resets the control connection (RST, through SO_LINGER 0).
  FakeFtpServer& Reset();

  // ---- Running ----

  // Starts playing the script on the server's thread.
  void Start();
  // The control port on 127.0.0.1.
  std::uint16_t Port() const { return port_; }
  // Lets a Hold() step go on. Never blocks.
  void Release();

  // True once every step was played (a Stall() counts as played when it starts) or the script
  // failed.
  bool IsFinished() const;
  // Blocks until IsFinished() or the timeout; true when the script was played without failure.
  bool WaitFinished(std::chrono::milliseconds timeout = std::chrono::seconds(10));

  // Every command line received so far, in order, without CR LF.
  std::vector<std::string> Commands() const;
  // The bytes of each ReceiveData() step played so far.
  std::vector<std::string> Uploads() const;
  // The failure messages reported so far (each was also reported with ADD_FAILURE).
  std::vector<std::string> Failures() const;
  // Events that are not failures, e.g. "step 7 (SendData (1048576 bytes)): the client closed the
  // data connection after 65536 of 1048576 bytes (...)".
  std::vector<std::string> Notes() const;
  // How many control connections were accepted so far.
  int ControlConnections() const;

  // A port on 127.0.0.1 where nothing listens (for "connection refused" cases).
  static std::uint16_t ClosedPort();

 private:
  struct Step;
  class Player;

  FakeFtpServer& Add(Step step);
  Player& Started() const;

  std::vector<Step> steps_;         // the script, until Start() hands it to the player
  int listener_ = -1;               // the control listener, until Start() hands it to the player
  std::unique_ptr<Player> player_;  // plays the script on thread_
  std::uint16_t port_ = 0;
  std::thread thread_;
};

}  // namespace tarvik::test
