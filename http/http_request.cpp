#include "http/http_request.h"

namespace tarvik {

std::string BuildGetRequest(const HttpAddress& address, std::int64_t range_from, bool to_proxy) {
  const std::string host = HostWithPort(address);
  const std::string target = to_proxy ? "http://" + host + address.target : address.target;
  std::string request = "GET " + target + " HTTP/1.1\r\n";
  request += "Accept: *.*, */*\r\n";
  if (range_from > 0) request += "Range: bytes=" + std::to_string(range_from) + "-\r\n";
  request += "User-Agent: Tarvik Software Downloader\r\n";
  request += "Referer: " + address.host + "\r\n";
  request += "Host: " + host + "\r\n";
  request += "Pragma: no-cache\r\n";
  request += "Cache-Control: no-cache\r\n";
  request += "Connection: close\r\n\r\n";
  return request;
}

std::string BuildConnectRequest(const HttpAddress& address) {
  const std::string authority = address.host + ":" + std::to_string(address.port);
  return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n\r\n";
}

}  // namespace tarvik
