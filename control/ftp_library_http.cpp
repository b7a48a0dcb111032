// The control's HTTP download and its proxy properties.
#include "control/ftp_library.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

constexpr std::int32_t kDefaultProxyPort = 80;

}  // namespace

bool FtpLibrary::DownloadHttpFile() {
  ContainerWindow() = ContainerWindowFromSite();
  return http_.DownloadHttpFile(proxy_);
}

std::string FtpLibrary::get_ProxyHost() const {
  return proxy_.host;
}
void FtpLibrary::put_ProxyHost(std::string_view value) {
  proxy_.host = platform::Trim(value, platform::kSpaces);
}
std::int32_t FtpLibrary::get_ProxyPort() const {
  return proxy_.port;
}
// Every port 1..65535 is valid; anything else leaves the default.
void FtpLibrary::put_ProxyPort(std::int32_t value) {
  proxy_.port = value >= 1 && value <= 65535 ? value : kDefaultProxyPort;
}

}  // namespace tarvik
