#include "platform/tls/windows/certificate_check.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/text/windows/wide_text.h"

namespace tarvik::platform::tls {
namespace {

// The address `host` names in the byte form a certificate lists it in; empty for a name.
std::string AddressBytes(const std::string& host) {
  std::array<unsigned char, 16> bytes{};
  if (inet_pton(AF_INET, host.c_str(), bytes.data()) == 1)
    return std::string(reinterpret_cast<const char*>(bytes.data()), 4);
  if (inet_pton(AF_INET6, host.c_str(), bytes.data()) == 1)
    return std::string(reinterpret_cast<const char*>(bytes.data()), 16);
  return {};
}

// Whether the certificate lists `address` among its alternative names. Name matching for host
// names is left to the system's policy; for addresses it is done here, as the system's policy
// compares names only.
bool ListsAddress(const ::CERT_CONTEXT& certificate, const std::string& address) {
  const ::CERT_EXTENSION* extension =
      CertFindExtension(szOID_SUBJECT_ALT_NAME2, certificate.pCertInfo->cExtension,
                        certificate.pCertInfo->rgExtension);
  if (extension == nullptr) return false;
  ::CERT_ALT_NAME_INFO* names = nullptr;
  ::DWORD size = 0;
  if (!CryptDecodeObjectEx(X509_ASN_ENCODING, X509_ALTERNATE_NAME, extension->Value.pbData,
                           extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr, &names,
                           &size)) {
    return false;
  }
  bool found = false;
  for (::DWORD i = 0; i < names->cAltEntry && !found; ++i) {
    const ::CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
    found = entry.dwAltNameChoice == CERT_ALT_NAME_IP_ADDRESS &&
            entry.IPAddress.cbData == address.size() &&
            std::memcmp(entry.IPAddress.pbData, address.data(), address.size()) == 0;
  }
  LocalFree(names);
  return found;
}

// What is wrong with the chain itself ("" when nothing is), in the words the posix build uses for
// the same fault. Checked here as well as by the policy, which under Wine passes a chain that
// ends at a certificate of an unknown issuer.
std::string ChainFailure(const ::CERT_CHAIN_CONTEXT& chain) {
  const ::DWORD status = chain.TrustStatus.dwErrorStatus;
  const ::DWORD length = chain.cChain > 0 ? chain.rgpChain[0]->cElement : 0;
  if (status & CERT_TRUST_IS_PARTIAL_CHAIN) return "unable to get local issuer certificate";
  if (status & CERT_TRUST_IS_UNTRUSTED_ROOT)
    return length <= 1 ? "self-signed certificate" : "self-signed certificate in certificate chain";
  if (status & CERT_TRUST_IS_NOT_SIGNATURE_VALID) return "certificate signature failure";
  if (status & CERT_TRUST_IS_NOT_TIME_VALID) return "certificate has expired";
  if (status & CERT_TRUST_IS_REVOKED) return "certificate revoked";
  if (status & CERT_TRUST_IS_NOT_VALID_FOR_USAGE) return "unsupported certificate purpose";
  return {};
}

// The reason the policy refused a chain that is good in itself: the name, mostly.
std::string PolicyFailure(::DWORD error, bool address) {
  if (error == static_cast<::DWORD>(CERT_E_CN_NO_MATCH))
    return address ? "IP address mismatch" : "hostname mismatch";
  char text[32];
  std::snprintf(text, sizeof text, "error 0x%08lX", static_cast<unsigned long>(error));
  return text;
}

struct ChainDeleter {
  void operator()(const ::CERT_CHAIN_CONTEXT* chain) const { CertFreeCertificateChain(chain); }
};
struct CertificateDeleter {
  void operator()(const ::CERT_CONTEXT* certificate) const {
    CertFreeCertificateContext(certificate);
  }
};

}  // namespace

bool IsAddress(const std::string& host) {
  return !AddressBytes(host).empty();
}

std::string CheckServerCertificate(::CtxtHandle& context, const std::string& host) {
  const ::CERT_CONTEXT* presented = nullptr;
  if (QueryContextAttributesW(&context, SECPKG_ATTR_REMOTE_CERT_CONTEXT, &presented) != SEC_E_OK ||
      presented == nullptr) {
    return "certificate verify failed (no certificate)";
  }
  const std::unique_ptr<const ::CERT_CONTEXT, CertificateDeleter> certificate(presented);

  char server_auth[] = szOID_PKIX_KP_SERVER_AUTH;
  char* usages[] = {server_auth};
  ::CERT_CHAIN_PARA chain_para{};
  chain_para.cbSize = sizeof chain_para;
  chain_para.RequestedUsage.dwType = USAGE_MATCH_TYPE_OR;
  chain_para.RequestedUsage.Usage.cUsageIdentifier = 1;
  chain_para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  const ::CERT_CHAIN_CONTEXT* built = nullptr;
  // The certificates the server sent along are in the certificate's own store.
  if (!CertGetCertificateChain(nullptr, certificate.get(), nullptr, certificate->hCertStore,
                               &chain_para, 0, nullptr, &built)) {
    return "certificate verify failed (no chain)";
  }
  const std::unique_ptr<const ::CERT_CHAIN_CONTEXT, ChainDeleter> chain(built);
  if (const std::string failure = ChainFailure(*chain); !failure.empty())
    return "certificate verify failed (" + failure + ")";

  const std::string address = AddressBytes(host);
  std::wstring server_name = WideFromUtf8(host);
  ::HTTPSPolicyCallbackData https{};
  https.cbSize = sizeof https;
  https.dwAuthType = AUTHTYPE_SERVER;
  // An address is compared below; without a name the policy checks the chain alone.
  https.pwszServerName = address.empty() ? server_name.data() : nullptr;
  ::CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &https;
  ::CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  if (!CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain.get(), &policy, &status))
    return "certificate verify failed (policy)";
  if (status.dwError != 0) {
    return "certificate verify failed (" + PolicyFailure(status.dwError, !address.empty()) + ")";
  }
  if (!address.empty() && !ListsAddress(*certificate, address))
    return "certificate verify failed (IP address mismatch)";
  return {};
}

}  // namespace tarvik::platform::tls
