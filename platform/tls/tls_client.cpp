// The parts of a TLS session that do not depend on the system's TLS library.
#include "platform/tls/tls_client.h"

#include <string>
#include <utility>

namespace tarvik::platform::tls {

// What the caller wrote before the handshake finished goes out once it has.
bool TlsClient::FlushPending() {
  if (pending_plain_.empty()) return true;
  const std::string plain = std::move(pending_plain_);
  pending_plain_.clear();
  return Write(plain);
}

}  // namespace tarvik::platform::tls
