// The download against real nginx, directly and through tinyproxy, over HTTP and HTTPS.
#include <stdlib.h>

#include <gtest/gtest.h>

#include <fstream>

#include "tests/http/loopback/http_fixture.h"
#include "tests/support/real_http_servers.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

struct Route {
  const char* name;
  bool https;
  bool proxy;
};

void PrintTo(const Route& route, std::ostream* out) {
  *out << route.name;
}

constexpr Route kRoutes[] = {{"Http", false, false},
                             {"Https", true, false},
                             {"HttpViaProxy", false, true},
                             {"HttpsViaProxy", true, true}};

// Whether two files hold the same bytes (read in pieces, so 1 GiB costs no memory).
bool SameContents(const fs::path& a, const fs::path& b) {
  if (fs::file_size(a) != fs::file_size(b)) return false;
  std::ifstream left(a, std::ios::binary), right(b, std::ios::binary);
  std::vector<char> x(1 << 20), y(1 << 20);
  while (left && right) {
    left.read(x.data(), static_cast<std::streamsize>(x.size()));
    right.read(y.data(), static_cast<std::streamsize>(y.size()));
    if (left.gcount() != right.gcount() ||
        !std::equal(x.begin(), x.begin() + left.gcount(), y.begin())) {
      return false;
    }
  }
  return true;
}

class RealWebServerTest : public HttpDownloadTest, public ::testing::WithParamInterface<Route> {
 protected:
  void SetUp() override {
    HttpDownloadTest::SetUp();
    web_ = &RealHttpServers::Get();
    // The fixture's private CA is the trust store of this process.
    ::setenv("SSL_CERT_FILE", web_->CaFile().c_str(), 1);
    if (GetParam().proxy) {
      control().put_ProxyHost("127.0.0.1");
      control().put_ProxyPort(web_->ProxyPort());
    }
    control().put_Overwrite(true);
  }
  void TearDown() override {
    for (const fs::path& file : served_) fs::remove(file);
    HttpDownloadTest::TearDown();
  }

  std::string Url(const std::string& path, std::uint16_t https_port = 0) const {
    if (GetParam().https) {
      return "https://127.0.0.1:" +
             std::to_string(https_port != 0 ? https_port : web_->HttpsPort()) + path;
    }
    return "http://127.0.0.1:" + std::to_string(web_->HttpPort()) + path;
  }
  // A file served under a name of this test (parallel test processes share the server).
  std::string Serve(const std::string& name, const std::string& bytes) {
    const std::string unique = std::to_string(::getpid()) + "-" + name;
    served_.push_back(web_->PutFile(unique, bytes));
    return "/" + unique;
  }
  void ExpectSameFile(const std::string& path, const fs::path& local) {
    EXPECT_TRUE(SameContents(web_->DocumentRoot() / path.substr(1), local)) << path;
  }

  RealHttpServers* web_ = nullptr;
  std::vector<fs::path> served_;
};

TEST_P(RealWebServerTest, CopiesEmptyAndMebibyteFiles) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1} << 20}) {
    SCOPED_TRACE(size);
    const std::string path = Serve(std::to_string(size) + ".bin", RandomBytes(size, 11));
    ASSERT_TRUE(Fetch(Url(path), "copy.bin")) << Error();
    ExpectSameFile(path, local_ / "copy.bin");
    EXPECT_EQ(control().get_Percent(), 100);
    EXPECT_EQ(control().get_FileSize(), static_cast<double>(size));
    EXPECT_EQ(control().get_FtpState(), FtpStates::ftpDownloadCompleted);
  }
}

TEST_P(RealWebServerTest, CopiesAGibibyte) {
  // Sparse, with random blocks spread over it so that misplaced pieces show.
  const std::string path = Serve("gib.bin", "");
  const fs::path source = web_->DocumentRoot() / path.substr(1);
  {
    std::fstream out(source, std::ios::binary | std::ios::in | std::ios::out);
    for (std::uint32_t block = 0; block < 16; ++block) {
      out.seekp(static_cast<std::streamoff>(block) * (64 << 20) + block * 4099);
      out << RandomBytes(4096, block);
    }
  }
  fs::resize_file(source, std::uintmax_t{1} << 30);
  int events = 0;
  hosted_.on_transfer = [&] { ++events; };
  ASSERT_TRUE(Fetch(Url(path), "gib.bin")) << Error();
  EXPECT_TRUE(SameContents(source, local_ / "gib.bin"));
  EXPECT_GE(events, 1);
}

TEST_P(RealWebServerTest, ResumesWithRangeAndTakesACompleteFileAsDone) {
  const std::string bytes = RandomBytes(1 << 20, 21);
  const std::string path = Serve("resume.bin", bytes);
  WriteHostFile(local_ / "resume.bin", bytes.substr(0, 300'001));
  control().put_Overwrite(false);
  ASSERT_TRUE(Fetch(Url(path), "resume.bin")) << Error();
  ExpectSameFile(path, local_ / "resume.bin");
  // Asked again, the server answers 416: nothing to fetch, nothing changed.
  const auto written = fs::last_write_time(local_ / "resume.bin");
  ASSERT_TRUE(Fetch(Url(path), "resume.bin")) << Error();
  EXPECT_EQ(fs::last_write_time(local_ / "resume.bin"), written);
  ExpectSameFile(path, local_ / "resume.bin");
}

TEST_P(RealWebServerTest, RefusalsNameTheirReason) {
  const std::string page =
      Serve("oops.html", "<html><head><title>Internal Error: file withheld</title></head></html>");
  web_->PutFile("chunked/" + std::to_string(::getpid()) + ".html", "chunked body");
  served_.push_back(web_->DocumentRoot() / "chunked" / (std::to_string(::getpid()) + ".html"));
  const struct {
    std::string path;
    long error;
    std::string info;
  } cases[] = {
      {"/missing-" + std::to_string(::getpid()) + ".bin", 18404, "File Not Found"},
      {"/moved", 18301, "Moved Permanently"},
      {"/chunked/" + std::to_string(::getpid()) + ".html", 18002, "Fail to get file size"},
      {page, 18000, "Internal Error: file withheld"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_FALSE(Fetch(Url(c.path), "refused.bin"));
    EXPECT_EQ(control().get_ErrorNumber(), c.error) << Error();
    EXPECT_EQ(control().get_ErrorInfo(), c.info);
  }
  EXPECT_FALSE(fs::exists(local_ / "refused.bin") && fs::file_size(local_ / "refused.bin") > 0);
}

TEST_P(RealWebServerTest, MaxSizeRefusesALargerFile) {
  const std::string path = Serve("large.bin", RandomBytes((1 << 20) + 1, 4));
  control().put_MaxSize(1);
  EXPECT_FALSE(Fetch(Url(path), "large.bin"));
  EXPECT_EQ(control().get_ErrorNumber(), 20003) << Error();
  EXPECT_EQ(control().get_ErrorInfo(), "Can't transfer the file whose size more than 1M");
  control().put_MaxSize(2);
  EXPECT_TRUE(Fetch(Url(path), "large.bin")) << Error();
}

TEST_P(RealWebServerTest, ThreeAddressesIntoOneFolder) {
  std::string addresses;
  std::vector<std::string> paths;
  for (int i = 0; i < 3; ++i) {
    paths.push_back(Serve("three-" + std::to_string(i) + ".bin", RandomBytes(5000 + i, i)));
    addresses += (i > 0 ? "|" : "") + Url(paths.back());
  }
  ASSERT_TRUE(Fetch(addresses, "folder\\")) << Error();
  for (const std::string& path : paths) ExpectSameFile(path, local_ / "folder" / path.substr(1));
  EXPECT_EQ(control().get_QueueTotal(), 3);
  EXPECT_EQ(control().get_TransferredRemoteFiles(), addresses);
}

TEST_P(RealWebServerTest, ServerClosingMidBodyFailsAndKeepsThePart) {
  // nginx ends the connection when the file it sends shrinks under it.
  const std::string name = "slow/" + std::to_string(::getpid()) + ".bin";
  const fs::path source = web_->PutFile(name, RandomBytes(4 << 20, 8));
  served_.push_back(source);
  bool cut = false;
  hosted_.on_transfer = [&] {
    if (!cut) fs::resize_file(source, 1 << 20);
    cut = true;
  };
  EXPECT_FALSE(Fetch(Url("/" + name), "cut.bin"));
  EXPECT_EQ(control().get_ErrorNumber(), 18006) << Error();
  const auto kept = fs::file_size(local_ / "cut.bin");
  EXPECT_GT(kept, 0u);
  EXPECT_LT(kept, 4u << 20);
}

// Only the HTTPS routes have certificates to refuse.
using UntrustedCertificateTest = RealWebServerTest;

TEST_P(UntrustedCertificateTest, IsRefusedWithTheHostAndTheReason) {
  const std::string path = Serve("secret.bin", "secret");
  const struct {
    std::uint16_t port;
    const char* reason;
  } cases[] = {{web_->SelfSignedPort(), "self-signed certificate"},
               {web_->WrongNamePort(), "IP address mismatch"},
               {web_->UnknownIssuerPort(), "unable to get local issuer certificate"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    EXPECT_FALSE(Fetch(Url(path, c.port), "secret.bin"));
    EXPECT_EQ(control().get_ErrorNumber(), 18005) << Error();
    EXPECT_NE(
        control().get_ErrorInfo().find("TLS with 127.0.0.1 failed: certificate verify failed"),
        std::string::npos)
        << Error();
    EXPECT_NE(control().get_ErrorInfo().find(c.reason), std::string::npos) << Error();
    EXPECT_FALSE(fs::exists(local_ / "secret.bin") && fs::file_size(local_ / "secret.bin") > 0);
  }
}

std::string RouteName(const ::testing::TestParamInfo<Route>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Routes, RealWebServerTest, ::testing::ValuesIn(kRoutes), RouteName);
INSTANTIATE_TEST_SUITE_P(Routes, UntrustedCertificateTest,
                         ::testing::Values(kRoutes[1], kRoutes[3]), RouteName);

}  // namespace
}  // namespace tarvik::test
