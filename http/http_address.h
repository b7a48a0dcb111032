// Web addresses as the download reads them: "http://host:port/path", "https://host/path", or
// without a scheme ("host/dir/file", fetched over plain HTTP).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

struct HttpAddress {
  bool secure = false;     // "https://": over TLS
  std::string host;        // without the port
  std::int32_t port = 80;  // 1..65535; 80 (http) or 443 (https) when the address names none
  std::string target;      // the request target on the server: "/dir/file", "/" without a path
};

// The host part of `address`, with ":port" when the address names one: the text after the
// scheme's "://" up to the first "/" (a doubled "/" counts once), or the whole text when no "/"
// follows. "" for an address without a host.
std::string GetHostFromUrl(std::string_view address);

// The request target: from the first "/" after the host on, or "/" when there is none. Sent as it
// is written, without percent-encoding.
std::string GetRequestTarget(std::string_view address);

// Reads `address` (a missing scheme means "http://"). Raises NumberedError 6 naming the address
// for a port that is not a number from 1 to 65535, and 20005 for an address without a host.
HttpAddress ParseHttpAddress(std::string_view address);

// "host" for the scheme's own port, else "host:port": the Host header and a proxy's target.
std::string HostWithPort(const HttpAddress& address);

}  // namespace tarvik
