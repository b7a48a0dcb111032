#include "tests/support/real_ftp_servers.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "tests/support/selftest/plain_ftp_client.h"

namespace tarvik::test {
namespace {

// The three-digit code that begins a reply.
std::string Code(const std::string& reply) {
  return reply.substr(0, 3);
}

// Logs in; true when the server accepted.
bool LogIn(PlainFtpClient& client, const std::string& user, const std::string& password) {
  std::string greeting = client.ReadReply();
  if (Code(greeting) != "220") return false;
  std::string reply = client.Command("USER " + user);
  if (Code(reply) == "331") reply = client.Command("PASS " + password);
  return Code(reply) == "230";
}

// Runs a shell command; its standard output and error, and its exit status.
std::string Shell(const std::string& command, int& status) {
  std::string output;
  FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("popen failed");
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  status = ::pclose(pipe);
  return output;
}

std::string ReadLocal(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class RealServerSelfTest : public RealFtpServerTest {
 protected:
  std::string Url(const std::string& path) const {
    const RealFtpServer& s = Server();
    return "ftp://" + s.User() + ":" + s.Password() + "@" + s.Host() + ":" +
           std::to_string(s.Port()) + path;
  }
};

TEST_P(RealServerSelfTest, LogsInAndListsInPassiveMode) {
  RealFtpServer& s = Server();
  s.FreshDir("passive");
  s.PutFile("passive/hello.txt", "hello");

  PlainFtpClient client(s.Port());
  ASSERT_TRUE(client.Connected());
  ASSERT_TRUE(LogIn(client, s.User(), s.Password())) << s.Output();
  EXPECT_EQ(Code(client.Command("CWD /passive")), "250");
  EXPECT_EQ(Code(client.Command("TYPE A")), "200");
  std::string pasv = client.Command("PASV");
  ASSERT_EQ(Code(pasv), "227") << pasv;
  int data = PlainFtpClient::ConnectPassive(pasv);
  ASSERT_GE(data, 0) << pasv;
  std::string opening = client.Command("LIST");
  EXPECT_TRUE(Code(opening) == "150" || Code(opening) == "125") << opening;
  EXPECT_NE(PlainFtpClient::ReadAll(data).find("hello.txt"), std::string::npos);
  EXPECT_EQ(Code(client.ReadReply()), "226");
}

TEST_P(RealServerSelfTest, ListsInActiveMode) {
  RealFtpServer& s = Server();
  s.FreshDir("active");
  s.PutFile("active/world.txt", "world");

  PlainFtpClient client(s.Port());
  ASSERT_TRUE(LogIn(client, s.User(), s.Password())) << s.Output();
  EXPECT_EQ(Code(client.Command("CWD /active")), "250");
  std::string argument;
  int listener = PlainFtpClient::ListenActive(argument);
  ASSERT_GE(listener, 0);
  EXPECT_EQ(Code(client.Command("PORT " + argument)), "200");
  std::string opening = client.Command("LIST");
  EXPECT_TRUE(Code(opening) == "150" || Code(opening) == "125") << opening;
  int data = ::accept(listener, nullptr, nullptr);
  ::close(listener);
  ASSERT_GE(data, 0);
  EXPECT_NE(PlainFtpClient::ReadAll(data).find("world.txt"), std::string::npos);
  EXPECT_EQ(Code(client.ReadReply()), "226");
}

TEST_P(RealServerSelfTest, DeletesAndOverwritesFilesTheTestPlaced) {
  RealFtpServer& s = Server();
  s.FreshDir("placed");
  std::filesystem::path doomed = s.PutFile("placed/doomed.txt", "bye");
  s.PutFile("placed/kept.txt", "old");

  PlainFtpClient client(s.Port());
  ASSERT_TRUE(LogIn(client, s.User(), s.Password())) << s.Output();
  EXPECT_EQ(Code(client.Command("DELE /placed/doomed.txt")), "250");
  EXPECT_FALSE(std::filesystem::exists(doomed));
  EXPECT_EQ(Code(client.Command("TYPE I")), "200");
  int data = PlainFtpClient::ConnectPassive(client.Command("PASV"));
  ASSERT_GE(data, 0);
  std::string opening = client.Command("STOR /placed/kept.txt");
  EXPECT_TRUE(Code(opening) == "150" || Code(opening) == "125") << opening;
  PlainFtpClient::WriteAll(data, "new contents");
  EXPECT_EQ(Code(client.ReadReply()), "226");
  EXPECT_EQ(s.GetFile("placed/kept.txt"), "new contents");
}

TEST_P(RealServerSelfTest, TransfersWithAnIndependentClient) {
  RealFtpServer& s = Server();
  std::filesystem::path dir = s.FreshDir("curl/deep");
  std::string payload(1 << 20, '\0');
  for (std::size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7 % 251);
  s.PutFile("curl/deep/down.bin", payload);
  std::filesystem::path local = dir.parent_path() / "local-copy.bin";

  int status = 0;
  std::string output = Shell(
      "curl -sS --max-time 60 -o '" + local.string() + "' " + Url("/curl/deep/down.bin"), status);
  ASSERT_EQ(status, 0) << output << s.Output();
  EXPECT_EQ(ReadLocal(local), payload);

  output = Shell(
      "curl -sS --max-time 60 -P 127.0.0.1 -T '" + local.string() + "' " + Url("/curl/deep/up.bin"),
      status);
  ASSERT_EQ(status, 0) << output << s.Output();
  EXPECT_EQ(s.GetFile("/curl/deep/up.bin"), payload);
}

TEST_P(RealServerSelfTest, AnonymousLoginSeesTheAnonymousFolder) {
  RealFtpServer& s = Server();
  if (!s.AllowsAnonymous()) GTEST_SKIP() << s.Name() << " offers no anonymous login here";
  // Named after the process: the anonymous folder of one server is shared by every process.
  std::string name = "public-" + std::to_string(::getpid()) + ".txt";
  std::filesystem::path file = s.AnonymousDir() / name;
  std::ofstream(file) << "public";

  PlainFtpClient client(s.Port());
  bool logged_in = LogIn(client, "anonymous", "guest@example.com");
  std::string pasv = logged_in ? client.Command("PASV") : "";
  int data = PlainFtpClient::ConnectPassive(pasv);
  std::string listing;
  if (data >= 0) {
    client.Command("NLST");
    listing = PlainFtpClient::ReadAll(data);
  }
  std::filesystem::remove(file);
  ASSERT_TRUE(logged_in) << s.Output();
  ASSERT_GE(data, 0) << pasv;
  EXPECT_NE(listing.find(name), std::string::npos) << listing;
  EXPECT_EQ(Code(client.ReadReply()), "226");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServerSelfTest, AllRealServers(), RealServerParamName);

TEST(RealServersTest, KnowsTheFourServersAndRefusesOthers) {
  EXPECT_EQ(RealServers::Names(),
            (std::vector<std::string>{"pyftpdlib", "vsftpd", "pureftpd", "proftpd"}));
  EXPECT_THROW(RealServers::Get("no-such-server"), std::invalid_argument);
}

TEST(RealServersTest, KeepsTestFilesInsideTheRoot) {
  RealFtpServer& s = RealServers::Get("pureftpd");
  EXPECT_EQ(s.LocalPath("/a/b.txt"), s.RootDir() / "a/b.txt");
  EXPECT_EQ(s.LocalPath("a/./b.txt"), s.RootDir() / "a/b.txt");
  EXPECT_THROW(s.LocalPath("/a/../../escape"), std::invalid_argument);

  s.PutFile("x/y/z.txt", "1");
  EXPECT_EQ(s.GetFile("/x/y/z.txt"), "1");
  s.FreshDir("/");
  EXPECT_TRUE(std::filesystem::is_empty(s.RootDir()));
  struct stat root {};
  ASSERT_EQ(::stat(s.RootDir().c_str(), &root), 0);
  const passwd* account = ::getpwnam(s.User().c_str());
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(root.st_uid, account->pw_uid);  // still writable by the server
}

}  // namespace
}  // namespace tarvik::test
