#include "http/http_address.h"

#include <algorithm>
#include <cctype>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

constexpr long kInvalidPort = 6;

// The address from its host on: no scheme, "\" as "/", runs of "/" as one, no leading "/".
std::string WithoutScheme(std::string_view address) {
  std::string text(platform::Trim(address, platform::kSpacesAndTabs));
  std::replace(text.begin(), text.end(), '\\', '/');
  const std::size_t scheme = text.find("://");
  if (scheme != std::string::npos) text.erase(0, scheme + 3);
  std::string folded;
  for (char c : text) {
    if (c == '/' && !folded.empty() && folded.back() == '/') continue;
    folded += c;
  }
  if (!folded.empty() && folded.front() == '/') folded.erase(0, 1);
  return folded;
}

}  // namespace

std::string GetHostFromUrl(std::string_view address) {
  const std::string rest = WithoutScheme(address);
  return rest.substr(0, rest.find('/'));
}

std::string GetRequestTarget(std::string_view address) {
  const std::string rest = WithoutScheme(address);
  const std::size_t slash = rest.find('/');
  return slash == std::string::npos ? "/" : rest.substr(slash);
}

HttpAddress ParseHttpAddress(std::string_view address) {
  HttpAddress parsed;
  parsed.secure = platform::ToLowerAscii(platform::Trim(address, platform::kSpacesAndTabs))
                      .rfind("https://", 0) == 0;
  parsed.port = parsed.secure ? 443 : 80;
  parsed.host = GetHostFromUrl(address);
  parsed.target = GetRequestTarget(address);
  const std::size_t colon = parsed.host.find(':', 1);
  if (colon != std::string::npos) {
    const std::string digits = parsed.host.substr(colon + 1);
    const bool numeric = !digits.empty() && digits.size() <= 5 &&
                         std::all_of(digits.begin(), digits.end(),
                                     [](unsigned char c) { return std::isdigit(c) != 0; });
    const long port = numeric ? std::stol(digits) : 0;
    if (port < 1 || port > 65535) {
      Raise(kInvalidPort, "Invalid port [ " + digits + " ] in [ " +
                              std::string(platform::Trim(address, platform::kSpacesAndTabs)) +
                              " ]: a port is a number from 1 to 65535");
    }
    parsed.port = static_cast<std::int32_t>(port);
    parsed.host.erase(colon);
  }
  if (parsed.host.empty()) Raise(ErrorCode::kInputRemotePath);
  return parsed;
}

std::string HostWithPort(const HttpAddress& address) {
  const std::int32_t own_port = address.secure ? 443 : 80;
  if (address.port == own_port) return address.host;
  return address.host + ":" + std::to_string(address.port);
}

}  // namespace tarvik
