// A TLS client session that never touches a socket: the caller hands it the bytes that arrived
// (Feed) and sends the bytes it produces (TakeOutgoing), so it runs on the library's
// notification-driven sockets like any other protocol.
//
// The server's certificate chain is verified against the system's trust store (on Linux
// OpenSSL's, which honours SSL_CERT_FILE and SSL_CERT_DIR; on Windows the system's certificate
// store), and its name (or IP address) against the host the caller asked for. A failed
// verification ends the session with an error naming the host and the reason; there is no way to
// turn verification off.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::platform::tls {

class TlsClient {
 public:
  // A session to `host` (a name or a dotted address): the name it verifies and, for a name, the
  // server name it announces. The handshake starts at once; its first bytes wait in
  // TakeOutgoing(). A session that cannot be set up reports it in Failed()/Error().
  explicit TlsClient(std::string_view host);
  ~TlsClient();
  TlsClient(const TlsClient&) = delete;
  TlsClient& operator=(const TlsClient&) = delete;

  // Ciphertext that arrived; the application bytes it completed are then in Plain(), until the
  // next Feed. False once the session has failed (see Error()).
  bool Feed(const std::uint8_t* data, std::size_t size);
  std::span<const std::uint8_t> Plain() const { return {plain_.data(), plain_size_}; }
  // Application bytes to send; encrypted once the handshake is done (queued until then).
  bool Write(std::string_view plain);
  // Ciphertext to send now (may be empty); the session forgets it.
  std::vector<std::uint8_t> TakeOutgoing();

  bool HandshakeDone() const { return handshake_done_; }
  // The server ended the session in order (close_notify). Wine's Schannel does not report it.
  bool PeerClosed() const { return peer_closed_; }
  bool Failed() const { return !error_.empty(); }
  // "TLS with 127.0.0.1 failed: certificate verify failed (self-signed certificate)".
  const std::string& Error() const { return error_; }

 private:
  struct Handles;
  // Drives the handshake, and with `read` decrypts what arrived into plain_.
  bool Advance(bool read);
  bool Fail(std::string_view what);
  bool FlushPending();

  std::unique_ptr<Handles> handles_;
  std::string host_;
  std::string pending_plain_;        // written before the handshake finished
  std::vector<std::uint8_t> plain_;  // decrypted bytes of the last Feed: the first plain_size_
  std::size_t plain_size_ = 0;
  bool handshake_done_ = false;
  bool peer_closed_ = false;
  std::string error_;
};

}  // namespace tarvik::platform::tls
