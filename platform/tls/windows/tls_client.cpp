// The Windows build has no TLS yet: every session fails at once, naming the host and the reason,
// so that an "https://" download ends with that error instead of sending plain text.
#include "platform/tls/tls_client.h"

namespace tarvik::platform::tls {

struct TlsClient::Handles {};

TlsClient::TlsClient(std::string_view host) : host_(host) {
  Fail("TLS is not available in this build of the library");
}

TlsClient::~TlsClient() = default;

bool TlsClient::Feed(const std::uint8_t*, std::size_t) {
  return false;
}

bool TlsClient::Write(std::string_view) {
  return false;
}

std::vector<std::uint8_t> TlsClient::TakeOutgoing() {
  return {};
}

bool TlsClient::Advance(bool) {
  return false;
}

bool TlsClient::Fail(std::string_view what) {
  if (error_.empty()) error_ = "TLS with " + host_ + " failed: " + std::string(what);
  return false;
}

bool TlsClient::FlushPending() {
  return false;
}

}  // namespace tarvik::platform::tls
