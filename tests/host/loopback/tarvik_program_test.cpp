// The tarvik program run as a user runs it: its help, its member list, a session against a real
// server, and its exit statuses when a call fails, is refused or finds no control.
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::host {
namespace {

struct ProgramRun {
  int exit_code = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

using test::ReadHostFile;
using test::ShellQuoted;

class TarvikProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-host-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  // Runs `program` with `args` in the private root, standard input from /dev/null; `launcher`
  // (a command line) starts it when given.
  ProgramRun Execute(const std::string& program, const std::vector<std::string>& args,
                     const std::string& launcher = "") {
    std::string command =
        "TARVIK_ROOT=" + ShellQuoted(root_.string()) + " " + launcher + " " + ShellQuoted(program);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    const std::filesystem::path out = root_ / "out.txt";
    const std::filesystem::path err = root_ / "err.txt";
    command += " </dev/null >" + ShellQuoted(out.string()) + " 2>" + ShellQuoted(err.string());
    const int status = std::system(command.c_str());
    ProgramRun run;
    run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadHostFile(out);
    run.err = ReadHostFile(err);
    return run;
  }
  ProgramRun Tarvik(const std::vector<std::string>& args, const std::string& launcher = "") {
    return Execute(TARVIK_HOST_PROGRAM, args, launcher);
  }
  void Register(const std::vector<std::string>& switches = {}) {
    std::vector<std::string> args = switches;
    args.push_back(std::filesystem::canonical(TARVIK_SERVER_LIBRARY).string());
    const ProgramRun run = Execute(TARVIK_REGSVR32, args);
    ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  }

  std::filesystem::path root_;
};

TEST_F(TarvikProgramTest, HelpExplainsUsage) {
  const ProgramRun run = Tarvik({"--help"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_NE(run.out.find("Usage: tarvik"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("--members"), std::string::npos);
  // Without steps it shows the help too, and says that nothing was done.
  const ProgramRun bare = Tarvik({});
  EXPECT_EQ(bare.exit_code, 2);
  EXPECT_NE(bare.out.find("Usage: tarvik"), std::string::npos);
}

TEST_F(TarvikProgramTest, ListsTheMembersWithTheirDispids) {
  Register();
  const ProgramRun run = Tarvik({"--members"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("_FtpLibrary {2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("0x6003204D  method  Connect() As Boolean"), std::string::npos);
  EXPECT_NE(run.out.find("0x60032084  method  SendCommand(FtpCmd As String, Arguments As String) "
                         "As String"),
            std::string::npos);
  EXPECT_NE(run.out.find("0x68032021  get/put ServerName As String"), std::string::npos);
  EXPECT_NE(run.out.find("0x68032008  put/get Rcvbuf As Long"), std::string::npos);
  EXPECT_NE(run.out.find("0x68031FFA  get     Connected As Boolean"), std::string::npos);
  EXPECT_NE(run.out.find("0x00000002  event   OnServerMessage()"), std::string::npos);
  EXPECT_NE(run.out.find("members available"), std::string::npos);

  // With --all the published members this build lacks are listed too, marked.
  const ProgramRun all = Tarvik({"--members", "--all"});
  ASSERT_EQ(all.exit_code, 0) << all.err;
  EXPECT_GE(all.out.size(), run.out.size());
  EXPECT_NE(all.out.find("RegExists"), std::string::npos) << all.out;
}

TEST_F(TarvikProgramTest, ReadsAndWritesPropertiesAndLocalFiles) {
  Register();
  std::filesystem::create_directories(root_ / "work");
  const std::string folder = (root_ / "work").string();
  const std::string file = folder + "/note.txt";
  const ProgramRun run =
      Tarvik({"Connected", "Port=0", "Port", "Timeout=6001", "Timeout",
              "LocalFileWrite(" + file + ", \"hello, world\", True)", "LocalFileRead(" + file + ")",
              "LocalPath=" + folder + "/", "LocalPath"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  std::vector<std::string> lines;
  std::istringstream out(run.out);
  for (std::string line; std::getline(out, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 6u) << run.out;
  EXPECT_EQ(lines[0], "False");  // Connected, read first
  EXPECT_EQ(lines[1], "21");     // Port 0 is replaced
  EXPECT_EQ(lines[2], "30");     // Timeout 6001 is replaced
  EXPECT_EQ(lines[3], "True");
  EXPECT_EQ(lines[4], "hello, world");
  EXPECT_EQ(ReadHostFile(file), "hello, world\r\n");
  // The folder became a drive path (Z: is the whole file system by default), still a folder.
  EXPECT_EQ(lines[5].rfind("Z:\\", 0), 0u) << lines[5];
  EXPECT_EQ(lines[5].substr(lines[5].size() - 6), "\\work\\") << lines[5];
}

TEST_F(TarvikProgramTest, RefusedCallsStopWithStatusTwo) {
  Register();
  ProgramRun run = Tarvik({"Conect"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("'Conect' is not a member of _FtpLibrary"), std::string::npos) << run.err;
  run = Tarvik({"Connect(now)"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("Connect"), std::string::npos) << run.err;
  run = Tarvik({"Port=many"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("Port"), std::string::npos) << run.err;
  // The steps before the refused one ran; those after it did not.
  run = Tarvik({"Version", "Nope", "Connected"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "4.6.0.3\n");
}

TEST_F(TarvikProgramTest, UnregisteredControlIsNotCreated) {
  ProgramRun run = Tarvik({"Connected"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.err.find("cannot create TarvikFtp.FtpLibrary"), std::string::npos) << run.err;
  Register();
  Register({"/u"});
  run = Tarvik({"--class", "{31AE647D-11D1-4E6A-BE2D-90157640019A}", "Connected"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.err.find("{31AE647D-11D1-4E6A-BE2D-90157640019A}"), std::string::npos) << run.err;
}

TEST_F(TarvikProgramTest, FailedConnectExitsWithErrorNumberAndInfo) {
  Register();
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  close(fd);  // nothing listens there now
  const ProgramRun run =
      Tarvik({"ServerName=127.0.0.1", "Port=" + std::to_string(ntohs(address.sin_port)), "Connect",
              "Connected"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("Connect failed\nErrorNumber: 10061\nErrorInfo: "), std::string::npos)
      << run.err;
  EXPECT_EQ(run.out, "");  // Connected was not read
}

class TarvikSessionTest : public TarvikProgramTest {};

TEST_F(TarvikSessionTest, RunsASessionAgainstARealServer) {
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("hosted");
  server.PutFile("hosted/one.txt", "1");
  Register();
  const ProgramRun run =
      Tarvik({"-v", "ServerName=" + server.Host(), "Port=" + std::to_string(server.Port()),
              "Username=" + server.User(), "Password=" + server.Password(), "Connect",
              "SendCommand(SYST, \"\")", "GetCurrentDirectory", "Connected",
              "GetFtpDirectoryInfo(/hosted/)", "Disconnect"});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  EXPECT_EQ(run.out.substr(0, 30), "True\n215 UNIX Type: L8\n/\nTrue\n") << run.out;
  // A collection prints one line per entry, its properties by name.
  EXPECT_NE(run.out.find("IsDirectory=False  FileSize=1  "), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("FileName=one.txt  FilePath=/hosted/one.txt"), std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.substr(run.out.size() - 5), "True\n");
  // Server messages on standard error: commands sent, replies received, the password hidden.
  EXPECT_NE(run.err.find("> USER " + server.User() + "\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("> PASS ********\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("< 230"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("> SYST"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(server.Password()), std::string::npos);
}

// The lines of `text` that start with `prefix`, in order.
std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& prefix) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(prefix)) lines.push_back(line);
  }
  return lines;
}

TEST_F(TarvikSessionTest, VerboseShowsTheServerAndEveryReplyLineInOrder) {
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("shown");
  server.PutFile("shown/a.txt", "a");
  Register();
  const ProgramRun run =
      Tarvik({"-v", "ServerName=" + server.Host(), "Port=" + std::to_string(server.Port()),
              "Username=" + server.User(), "Password=" + server.Password(), "Passive=False",
              "GetFtpDirectoryInfo(/shown/)", "SendCommand(STAT, \"\")", "Disconnect"});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  EXPECT_EQ(
      run.err.rfind(
          "Connecting to " + server.Host() + " port " + std::to_string(server.Port()) + "\n", 0),
      0u)
      << run.err;
  // Commands without argument are their bare verb; the listing's preliminary and final replies
  // come in active mode too.
  const std::vector<std::string> sent = LinesStartingWith(run.err, "> ");
  EXPECT_NE(std::find(sent.begin(), sent.end(), "> PWD"), sent.end()) << run.err;
  EXPECT_NE(run.err.find("> LIST\n< 1"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\n< 226"), std::string::npos) << run.err;
  // Each line of the multi-line reply, in the server's order and words.
  const std::string stat_reply = run.out.substr(run.out.find("211-"));
  std::string shown;
  std::istringstream lines(stat_reply.substr(0, stat_reply.find("211 ") + 4));
  for (std::string line; std::getline(lines, line);) shown += "< " + line + "\n";
  shown.resize(shown.size() - 1);
  EXPECT_NE(run.err.find("> STAT\n" + shown), std::string::npos) << run.err << run.out;
  EXPECT_NE(run.err.find("<  Connected to: "), std::string::npos) << run.err;
}

// pyftpdlib refuses "LIST -al " with its trailing blank as a bad path.
TEST_F(TarvikSessionTest, ListAllListsOnAServerStrictAboutBlanks) {
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("all");
  server.PutFile("all/.hidden", "h");
  Register();
  const ProgramRun run =
      Tarvik({"ServerName=" + server.Host(), "Port=" + std::to_string(server.Port()),
              "Username=" + server.User(), "Password=" + server.Password(), "ListAll=True",
              "GetFtpDirectoryInfo(/all/)"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("FileName=.hidden"), std::string::npos) << run.out;
}

TEST_F(TarvikSessionTest, QuestionsAnswerFalseAndARefusedCommandFails) {
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("asked");
  Register();
  const std::vector<std::string> login = {
      "ServerName=" + server.Host(), "Port=" + std::to_string(server.Port()),
      "Username=" + server.User(), "Password=" + server.Password()};
  for (const char* question :
       {"ExistFile(/asked/none.txt)", "ExistFile(/none/none.txt)", "ExistDirectory(/asked/none)",
        "ExistDirectory(/none/none)"}) {
    std::vector<std::string> args = login;
    args.push_back(question);
    const ProgramRun run = Tarvik(args);
    EXPECT_EQ(run.exit_code, 0) << question << ": " << run.err;
    EXPECT_EQ(run.out, "False\n") << question;
  }
  std::vector<std::string> args = login;
  args.insert(args.end(), {"SendCommand(XYZZY, \"\")", "Connected"});
  const ProgramRun refused = Tarvik(args);
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("SendCommand failed\nErrorNumber: 16500\n"), std::string::npos)
      << refused.err;
  EXPECT_EQ(refused.out, "");  // Connected was not read
}

// The process's file size limit ends a download part way with its reason, as Windows words it,
// instead of ending tarvik; what was written stays for a resume.
TEST_F(TarvikSessionTest, FileSizeLimitFailsTheDownloadWithItsReason) {
  constexpr std::size_t kLimit = 1 << 20;
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("limit");
  server.PutFile("limit/big.bin", std::string(3 * kLimit, 'x'));
  Register();
  const std::filesystem::path target = root_ / "big.bin";
  const ProgramRun run =
      Tarvik({"ServerName=" + server.Host(), "Port=" + std::to_string(server.Port()),
              "Username=" + server.User(), "Password=" + server.Password(), "RedoTimes=0",
              "RemotePath=/limit/big.bin", "LocalPath=" + target.string(), "Download"},
             "prlimit --fsize=" + std::to_string(kLimit));
  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_NE(run.err.find("ErrorNumber: 223\n"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("The file size exceeds the limit allowed and cannot be saved."),
            std::string::npos)
      << run.err;
  EXPECT_EQ(std::filesystem::file_size(target), kLimit);
}

}  // namespace
}  // namespace tarvik::host
