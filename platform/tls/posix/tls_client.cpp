#include "platform/tls/tls_client.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>

namespace tarvik::platform::tls {
namespace {

// Plaintext is taken from the session in pieces of this size.
constexpr std::size_t kReadPiece = 256 * 1024;

bool IsAddress(const std::string& host) {
  unsigned char buffer[16];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
         inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

// The last error of the OpenSSL queue as text ("" when none), the queue emptied.
std::string TakeLibraryError() {
  std::string text;
  for (unsigned long code; (code = ERR_get_error()) != 0;) {
    char buffer[256];
    ERR_error_string_n(code, buffer, sizeof buffer);
    const char* reason = ERR_reason_error_string(code);
    text = reason != nullptr ? reason : buffer;
  }
  return text;
}

}  // namespace

struct TlsClient::Handles {
  SSL_CTX* context = nullptr;
  SSL* session = nullptr;
  BIO* incoming = nullptr;  // owned by the session once attached
  BIO* outgoing = nullptr;
  ~Handles() {
    if (session != nullptr) SSL_free(session);  // frees both memory buffers
    if (context != nullptr) SSL_CTX_free(context);
  }
};

TlsClient::TlsClient(std::string_view host) : handles_(std::make_unique<Handles>()), host_(host) {
  ERR_clear_error();
  Handles& h = *handles_;
  h.context = SSL_CTX_new(TLS_client_method());
  if (h.context == nullptr) {
    Fail("setup");
    return;
  }
  SSL_CTX_set_min_proto_version(h.context, TLS1_2_VERSION);
  // The system's trust store; SSL_CERT_FILE and SSL_CERT_DIR replace its file and folder.
  if (SSL_CTX_set_default_verify_paths(h.context) != 1) {
    Fail("trust store");
    return;
  }
  SSL_CTX_set_verify(h.context, SSL_VERIFY_PEER, nullptr);
  h.session = SSL_new(h.context);
  h.incoming = BIO_new(BIO_s_mem());
  h.outgoing = BIO_new(BIO_s_mem());
  if (h.session == nullptr || h.incoming == nullptr || h.outgoing == nullptr) {
    if (h.incoming != nullptr) BIO_free(h.incoming);
    if (h.outgoing != nullptr) BIO_free(h.outgoing);
    Fail("setup");
    return;
  }
  SSL_set_bio(h.session, h.incoming, h.outgoing);
  X509_VERIFY_PARAM* param = SSL_get0_param(h.session);
  if (IsAddress(host_)) {
    if (X509_VERIFY_PARAM_set1_ip_asc(param, host_.c_str()) != 1) {
      Fail("setup");
      return;
    }
  } else {
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (SSL_set1_host(h.session, host_.c_str()) != 1 ||
        SSL_set_tlsext_host_name(h.session, host_.c_str()) != 1) {
      Fail("setup");
      return;
    }
  }
  SSL_set_connect_state(h.session);
  Advance(false);
}

TlsClient::~TlsClient() = default;

bool TlsClient::Fail(std::string_view what) {
  if (!error_.empty()) return false;
  std::string reason = TakeLibraryError();
  if (handles_->session != nullptr) {
    const long verify = SSL_get_verify_result(handles_->session);
    if (verify != X509_V_OK) {
      reason =
          "certificate verify failed (" + std::string(X509_verify_cert_error_string(verify)) + ")";
    }
  }
  error_ = "TLS with " + host_ + " failed: " + (reason.empty() ? std::string(what) : reason);
  return false;
}

bool TlsClient::Advance(bool read) {
  SSL* session = handles_->session;
  if (!handshake_done_) {
    const int result = SSL_do_handshake(session);
    if (result != 1) {
      const int reason = SSL_get_error(session, result);
      if (reason == SSL_ERROR_WANT_READ || reason == SSL_ERROR_WANT_WRITE) return true;
      return Fail("handshake");
    }
    handshake_done_ = true;
    if (!FlushPending()) return false;
  }
  if (!read) return true;
  for (;;) {
    // The buffer only grows, so its bytes are cleared once, not on every arrival.
    if (plain_.size() < plain_size_ + kReadPiece) plain_.resize(plain_size_ + kReadPiece);
    std::size_t got = 0;
    const int result = SSL_read_ex(session, plain_.data() + plain_size_, kReadPiece, &got);
    if (result == 1) {
      plain_size_ += got;
      continue;
    }
    const int reason = SSL_get_error(session, result);
    if (reason == SSL_ERROR_WANT_READ || reason == SSL_ERROR_WANT_WRITE) return true;
    if (reason == SSL_ERROR_ZERO_RETURN) {
      peer_closed_ = true;
      return true;
    }
    return Fail("read");
  }
}

bool TlsClient::Feed(const std::uint8_t* data, std::size_t size) {
  plain_size_ = 0;
  if (Failed()) return false;
  if (size > 0 && BIO_write(handles_->incoming, data, static_cast<int>(size)) <= 0) {
    return Fail("buffer");
  }
  return Advance(true);
}

bool TlsClient::Write(std::string_view plain) {
  if (Failed()) return false;
  if (!handshake_done_) {
    pending_plain_.append(plain);
    return true;
  }
  std::size_t written = 0;
  if (!plain.empty() &&
      SSL_write_ex(handles_->session, plain.data(), plain.size(), &written) != 1) {
    return Fail("write");
  }
  return true;
}

std::vector<std::uint8_t> TlsClient::TakeOutgoing() {
  std::vector<std::uint8_t> bytes;
  if (handles_->outgoing == nullptr) return bytes;
  const std::size_t waiting = BIO_ctrl_pending(handles_->outgoing);
  bytes.resize(waiting);
  if (waiting > 0) {
    const int got = BIO_read(handles_->outgoing, bytes.data(), static_cast<int>(waiting));
    bytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
  }
  return bytes;
}

}  // namespace tarvik::platform::tls
