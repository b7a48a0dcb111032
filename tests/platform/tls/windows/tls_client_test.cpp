// Sessions with the test fixture's nginx (tests/support/real_http_servers.h), which
// scripts/wine-platform-test.sh starts on this machine and names in the environment:
//   TARVIK_HTTPS_PORTS   "<good> <wrong name> <self-signed> <unknown issuer>" ports on 127.0.0.1
//   TARVIK_HTTPS_CA      the private CA's certificate (PEM), trusted here through the Root store
//   TARVIK_HTTPS_FILE    a file nginx serves at "/<its name>"
#include "platform/tls/tls_client.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/windows_api.h"

namespace tarvik::platform::tls {
namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string ReadWhole(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// Puts the PEM certificate at `path` into the machine's Root store.
bool TrustCertificate(const std::string& path) {
  const std::string pem = ReadWhole(path);
  ::DWORD size = 0;
  if (!CryptStringToBinaryA(pem.data(), static_cast<::DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                            nullptr, &size, nullptr, nullptr)) {
    return false;
  }
  std::string der(size, '\0');
  if (!CryptStringToBinaryA(pem.data(), static_cast<::DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER,
                            reinterpret_cast<::BYTE*>(der.data()), &size, nullptr, nullptr)) {
    return false;
  }
  const ::HCERTSTORE store =
      CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
  if (store == nullptr) return false;
  const bool added = CertAddEncodedCertificateToStore(
      store, X509_ASN_ENCODING, reinterpret_cast<const ::BYTE*>(der.data()), size,
      CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  CertCloseStore(store, 0);
  return added;
}

struct Exchange {
  std::string plain;  // everything the server answered
  std::string error;
};

// Sends `request` through a session with `host` to 127.0.0.1:`port` and takes the answer until
// the server closes or the session fails.
Exchange Fetch(const std::string& host, std::uint16_t port, const std::string& request) {
  Exchange result;
  const ::SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ::sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(socket, reinterpret_cast<const ::sockaddr*>(&address), sizeof address) != 0) {
    closesocket(socket);
    result.error = "connect failed";
    return result;
  }
  TlsClient tls(host);
  tls.Write(request);  // waits for the handshake
  const auto send_outgoing = [&] {
    const std::vector<std::uint8_t> bytes = tls.TakeOutgoing();
    if (!bytes.empty())
      ::send(socket, reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()),
             0);
  };
  char buffer[16384];
  for (;;) {
    send_outgoing();
    if (tls.Failed() || tls.PeerClosed()) break;
    const int got = ::recv(socket, buffer, sizeof buffer, 0);
    if (got <= 0) break;
    tls.Feed(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(got));
    result.plain.append(reinterpret_cast<const char*>(tls.Plain().data()), tls.Plain().size());
  }
  send_outgoing();
  closesocket(socket);
  result.error = tls.Error();
  return result;
}

class SchannelSessionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    std::istringstream ports(Environment("TARVIK_HTTPS_PORTS"));
    ports >> good_ >> wrong_name_ >> self_signed_ >> unknown_issuer_;
    trusted_ = TrustCertificate(Environment("TARVIK_HTTPS_CA"));
  }
  void SetUp() override {
    ASSERT_NE(unknown_issuer_, 0) << "TARVIK_HTTPS_PORTS names no servers";
    ASSERT_TRUE(trusted_) << "the CA of TARVIK_HTTPS_CA could not be trusted";
  }
  static inline std::uint16_t good_ = 0, wrong_name_ = 0, self_signed_ = 0, unknown_issuer_ = 0;
  static inline bool trusted_ = false;
};

TEST_F(SchannelSessionTest, DownloadsAFileByteForByte) {
  const std::string file = Environment("TARVIK_HTTPS_FILE");
  const std::string expected = ReadWhole(file);
  ASSERT_GT(expected.size(), 100000u) << file;
  const std::string name = file.substr(file.find_last_of("\\/") + 1);
  for (const char* host : {"127.0.0.1", "localhost"}) {
    SCOPED_TRACE(host);
    const Exchange got =
        Fetch(host, good_,
              "GET /" + name + " HTTP/1.1\r\nHost: " + host + "\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(got.error, "");
    EXPECT_EQ(got.plain.substr(0, 15), "HTTP/1.1 200 OK");
    const std::size_t body = got.plain.find("\r\n\r\n");
    ASSERT_NE(body, std::string::npos);
    EXPECT_TRUE(got.plain.compare(body + 4, std::string::npos, expected) == 0)
        << got.plain.size() - body - 4 << " bytes instead of " << expected.size();
  }
}

TEST_F(SchannelSessionTest, RefusesUntrustedCertificatesWithTheHostAndTheReason) {
  const struct {
    const char* host;
    std::uint16_t port;
    const char* error;
  } cases[] = {
      {"127.0.0.1", self_signed_,
       "TLS with 127.0.0.1 failed: certificate verify failed (self-signed certificate)"},
      {"localhost", unknown_issuer_,
       "TLS with localhost failed: certificate verify failed (unable to get local issuer "
       "certificate)"},
      {"127.0.0.1", wrong_name_,
       "TLS with 127.0.0.1 failed: certificate verify failed (IP address mismatch)"},
      {"localhost", wrong_name_,
       "TLS with localhost failed: certificate verify failed (hostname mismatch)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    const Exchange got = Fetch(c.host, c.port, "GET / HTTP/1.0\r\n\r\n");
    EXPECT_EQ(got.error, c.error);
    EXPECT_EQ(got.plain, "");  // the request never left
  }
}

}  // namespace
}  // namespace tarvik::platform::tls
