// The request lines the download sends: a GET with the fixed header set, and the CONNECT that
// opens a tunnel through a proxy for an "https://" address.
#pragma once

#include <cstdint>
#include <string>

#include "http/http_address.h"

namespace tarvik {

// The GET for `address`, asking for the bytes from `range_from` on when it is above 0 (a
// resume). To a server the target is the path ("GET /dir/file HTTP/1.1"); to a proxy it is the
// absolute address ("GET http://host:8080/dir/file HTTP/1.1"), which forward proxies require.
std::string BuildGetRequest(const HttpAddress& address, std::int64_t range_from, bool to_proxy);

// "CONNECT host:port HTTP/1.1" with its Host line: asks a proxy for a tunnel to the server.
std::string BuildConnectRequest(const HttpAddress& address);

}  // namespace tarvik
