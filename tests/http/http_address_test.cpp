#include "http/http_address.h"

#include <gtest/gtest.h>

#include "core/errors/numbered_error.h"
#include "http/http_request.h"

namespace tarvik {
namespace {

struct AddressCase {
  const char* address;
  bool secure;
  const char* host;
  std::int32_t port;
  const char* target;
  const char* host_header;
};

TEST(HttpAddressTest, ReadsHostPortAndTarget) {
  const AddressCase cases[] = {
      {"http://host/dir/file.bin", false, "host", 80, "/dir/file.bin", "host"},
      {"host/dir/file.bin", false, "host", 80, "/dir/file.bin", "host"},
      {"http://host:8080/a.bin", false, "host", 8080, "/a.bin", "host:8080"},
      {"http://host", false, "host", 80, "/", "host"},
      {"https://host/a.bin", true, "host", 443, "/a.bin", "host"},
      {"HTTPS://host:8443/a.bin", true, "host", 8443, "/a.bin", "host:8443"},
      {"http://127.0.0.1:40000/x", false, "127.0.0.1", 40000, "/x", "127.0.0.1:40000"},
      {"http://h:65535/x", false, "h", 65535, "/x", "h:65535"},
      {" http:\\\\host\\dir\\f.txt ", false, "host", 80, "/dir/f.txt", "host"},
      {"http://host//dir//f.txt", false, "host", 80, "/dir/f.txt", "host"},
      {"http://host/a b?q=http://x/y", false, "host", 80, "/a b?q=http:/x/y", "host"},
  };
  for (const AddressCase& c : cases) {
    SCOPED_TRACE(c.address);
    const HttpAddress parsed = ParseHttpAddress(c.address);
    EXPECT_EQ(parsed.secure, c.secure);
    EXPECT_EQ(parsed.host, c.host);
    EXPECT_EQ(parsed.port, c.port);
    EXPECT_EQ(parsed.target, c.target);
    EXPECT_EQ(HostWithPort(parsed), c.host_header);
  }
}

TEST(HttpAddressTest, RefusesPortsOutsideTheRangeAndAddressesWithoutHost) {
  for (const char* address : {"http://h:0/x", "http://h:65536/x", "http://h:99999999/x",
                              "http://h:abc/x", "http://h:/x"}) {
    SCOPED_TRACE(address);
    try {
      ParseHttpAddress(address);
      ADD_FAILURE() << "accepted";
    } catch (const NumberedError& error) {
      EXPECT_EQ(error.number(), 6);
      EXPECT_NE(error.description().find(address), std::string::npos) << error.description();
    }
  }
  EXPECT_THROW(ParseHttpAddress("http://"), NumberedError);
  EXPECT_THROW(ParseHttpAddress("http:///"), NumberedError);
}

TEST(HttpRequestTest, OriginFormToServersAbsoluteFormToProxies) {
  const HttpAddress address = ParseHttpAddress("http://host:8080/dir/a.bin");
  const std::string common =
      "User-Agent: Tarvik Software Downloader\r\nReferer: host\r\nHost: host:8080\r\n"
      "Pragma: no-cache\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n";
  EXPECT_EQ(BuildGetRequest(address, 0, false),
            "GET /dir/a.bin HTTP/1.1\r\nAccept: *.*, */*\r\n" + common);
  EXPECT_EQ(BuildGetRequest(address, 0, true),
            "GET http://host:8080/dir/a.bin HTTP/1.1\r\nAccept: *.*, */*\r\n" + common);
  EXPECT_EQ(BuildGetRequest(address, 5'000'000'000, false),
            "GET /dir/a.bin HTTP/1.1\r\nAccept: *.*, */*\r\nRange: bytes=5000000000-\r\n" + common);
  EXPECT_EQ(BuildConnectRequest(ParseHttpAddress("https://host/a")),
            "CONNECT host:443 HTTP/1.1\r\nHost: host:443\r\n\r\n");
}

}  // namespace
}  // namespace tarvik
