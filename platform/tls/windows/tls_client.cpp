// The session runs on Schannel through SSPI with memory buffers: InitializeSecurityContext takes
// the handshake records that arrived and gives the ones to send, EncryptMessage and
// DecryptMessage wrap and unwrap application data. Schannel's own certificate check is turned
// off; the chain and the name are checked against the system's store once the handshake is done
// (certificate_check.h), so that every failure is reported in the same words.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/text/windows/wide_text.h"
#include "platform/tls/tls_client.h"
#include "platform/tls/windows/certificate_check.h"

namespace tarvik::platform::tls {
namespace {

constexpr ::ULONG kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                    ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                    ISC_REQ_STREAM | ISC_REQ_EXTENDED_ERROR;

// The system's text for an SSPI status, with its number.
std::string StatusText(const char* what, ::SECURITY_STATUS status) {
  wchar_t* text = nullptr;
  const ::DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<::DWORD>(status), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 ? Utf8FromWide(std::wstring_view(text, length)) : "";
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  char number[16];
  std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(status));
  return std::string(what) + ": " + (message.empty() ? "" : message + " ") + "(" + number + ")";
}

// Keeps the last `extra` bytes of `bytes` (what a call left unread), or nothing.
void KeepTail(std::vector<std::uint8_t>& bytes, unsigned long extra) {
  if (extra == 0 || extra > bytes.size()) {
    bytes.clear();
    return;
  }
  bytes.erase(bytes.begin(), bytes.end() - static_cast<std::ptrdiff_t>(extra));
}

}  // namespace

struct TlsClient::Handles {
  ::CredHandle credentials{};
  ::CtxtHandle context{};
  bool have_credentials = false;
  bool have_context = false;
  ::SecPkgContext_StreamSizes sizes{};
  std::wstring target;                 // the name announced; empty for an address
  std::vector<std::uint8_t> incoming;  // ciphertext not used yet
  std::vector<std::uint8_t> outgoing;  // ciphertext to send
  ~Handles() {
    if (have_context) DeleteSecurityContext(&context);
    if (have_credentials) FreeCredentialsHandle(&credentials);
  }
  // Runs the handshake over what arrived; SEC_E_OK once it is complete.
  ::SECURITY_STATUS Step();
};

::SECURITY_STATUS TlsClient::Handles::Step() {
  for (;;) {
    const bool first = !have_context;
    if (!first && incoming.empty()) return SEC_E_INCOMPLETE_MESSAGE;
    ::SecBuffer input[2] = {
        {static_cast<unsigned long>(incoming.size()), SECBUFFER_TOKEN, incoming.data()},
        {0, SECBUFFER_EMPTY, nullptr}};
    ::SecBufferDesc input_desc{SECBUFFER_VERSION, 2, input};
    ::SecBuffer output[1] = {{0, SECBUFFER_TOKEN, nullptr}};
    ::SecBufferDesc output_desc{SECBUFFER_VERSION, 1, output};
    ::ULONG attributes = 0;
    const ::SECURITY_STATUS status = InitializeSecurityContextW(
        &credentials, first ? nullptr : &context, target.empty() ? nullptr : target.data(),
        kContextRequest, 0, 0, first ? nullptr : &input_desc, 0, &context, &output_desc,
        &attributes, nullptr);
    if (first && (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_OK)) have_context = true;
    if (output[0].pvBuffer != nullptr) {
      const auto* token = static_cast<const std::uint8_t*>(output[0].pvBuffer);
      outgoing.insert(outgoing.end(), token, token + output[0].cbBuffer);
      FreeContextBuffer(output[0].pvBuffer);
    }
    if (status == SEC_E_INCOMPLETE_MESSAGE) return status;
    if (status != SEC_E_OK && status != SEC_I_CONTINUE_NEEDED &&
        status != SEC_I_INCOMPLETE_CREDENTIALS) {
      return status;
    }
    if (!first) KeepTail(incoming, input[1].BufferType == SECBUFFER_EXTRA ? input[1].cbBuffer : 0);
    if (status == SEC_E_OK) return status;
  }
}

TlsClient::TlsClient(std::string_view host) : handles_(std::make_unique<Handles>()), host_(host) {
  Handles& h = *handles_;
  if (!IsAddress(host_)) h.target = WideFromUtf8(host_);
  ::SCHANNEL_CRED settings{};
  settings.dwVersion = SCHANNEL_CRED_VERSION;
  settings.grbitEnabledProtocols = SP_PROT_TLS1_2_CLIENT | SP_PROT_TLS1_3_CLIENT;
  settings.dwFlags = SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_DEFAULT_CREDS;
  wchar_t package[] = UNISP_NAME_W;
  const ::SECURITY_STATUS status =
      AcquireCredentialsHandleW(nullptr, package, SECPKG_CRED_OUTBOUND, nullptr, &settings, nullptr,
                                nullptr, &h.credentials, nullptr);
  if (status != SEC_E_OK) {
    Fail(StatusText("setup", status));
    return;
  }
  h.have_credentials = true;
  Advance(false);
}

TlsClient::~TlsClient() = default;

bool TlsClient::Fail(std::string_view what) {
  if (error_.empty()) error_ = "TLS with " + host_ + " failed: " + std::string(what);
  return false;
}

bool TlsClient::Advance(bool read) {
  Handles& h = *handles_;
  if (!handshake_done_) {
    const ::SECURITY_STATUS status = h.Step();
    if (status == SEC_E_INCOMPLETE_MESSAGE) return true;
    if (status != SEC_E_OK) return Fail(StatusText("handshake", status));
    const std::string refused = CheckServerCertificate(h.context, host_);
    if (!refused.empty()) return Fail(refused);
    const ::SECURITY_STATUS sized =
        QueryContextAttributesW(&h.context, SECPKG_ATTR_STREAM_SIZES, &h.sizes);
    if (sized != SEC_E_OK) return Fail(StatusText("setup", sized));
    handshake_done_ = true;
    if (!FlushPending()) return false;
  }
  if (!read) return true;
  while (!h.incoming.empty() && !peer_closed_) {
    ::SecBuffer buffers[4] = {
        {static_cast<unsigned long>(h.incoming.size()), SECBUFFER_DATA, h.incoming.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    ::SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const ::SECURITY_STATUS status = DecryptMessage(&h.context, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) return true;
    if (status == SEC_I_CONTEXT_EXPIRED) {
      peer_closed_ = true;
      h.incoming.clear();
      return true;
    }
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE) return Fail(StatusText("read", status));
    unsigned long extra = 0;
    for (const ::SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.cbBuffer > 0) {
        // The decrypted bytes lie inside `incoming`: copied out before it is trimmed.
        plain_.resize(plain_size_ + buffer.cbBuffer);
        std::memcpy(plain_.data() + plain_size_, buffer.pvBuffer, buffer.cbBuffer);
        plain_size_ += buffer.cbBuffer;
      } else if (buffer.BufferType == SECBUFFER_EXTRA) {
        extra = buffer.cbBuffer;
      }
    }
    KeepTail(h.incoming, extra);
    // Handshake messages after the handshake (a TLS 1.3 session ticket, a new key) go back
    // through the handshake; what is written meanwhile waits for its end.
    if (status == SEC_I_RENEGOTIATE) {
      handshake_done_ = false;
      return Advance(true);
    }
  }
  return true;
}

bool TlsClient::Feed(const std::uint8_t* data, std::size_t size) {
  plain_size_ = 0;
  if (Failed()) return false;
  handles_->incoming.insert(handles_->incoming.end(), data, data + size);
  return Advance(true);
}

bool TlsClient::Write(std::string_view plain) {
  if (Failed()) return false;
  if (!handshake_done_) {
    pending_plain_.append(plain);
    return true;
  }
  Handles& h = *handles_;
  const std::size_t header = h.sizes.cbHeader;
  const std::size_t trailer = h.sizes.cbTrailer;
  while (!plain.empty()) {
    const std::size_t piece = std::min<std::size_t>(plain.size(), h.sizes.cbMaximumMessage);
    // Each record is encrypted in place at the end of the outgoing bytes.
    const std::size_t start = h.outgoing.size();
    h.outgoing.resize(start + header + piece + trailer);
    std::uint8_t* record = h.outgoing.data() + start;
    std::memcpy(record + header, plain.data(), piece);
    ::SecBuffer buffers[4] = {
        {static_cast<unsigned long>(header), SECBUFFER_STREAM_HEADER, record},
        {static_cast<unsigned long>(piece), SECBUFFER_DATA, record + header},
        {static_cast<unsigned long>(trailer), SECBUFFER_STREAM_TRAILER, record + header + piece},
        {0, SECBUFFER_EMPTY, nullptr}};
    ::SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const ::SECURITY_STATUS status = EncryptMessage(&h.context, 0, &desc, 0);
    if (status != SEC_E_OK) {
      h.outgoing.resize(start);
      return Fail(StatusText("write", status));
    }
    // The trailer may come out shorter than its room.
    h.outgoing.resize(start + buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer);
    plain.remove_prefix(piece);
  }
  return true;
}

std::vector<std::uint8_t> TlsClient::TakeOutgoing() {
  std::vector<std::uint8_t> bytes;
  bytes.swap(handles_->outgoing);
  return bytes;
}

}  // namespace tarvik::platform::tls
