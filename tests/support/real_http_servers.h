// Real web servers from the distribution's packages for interoperability tests: nginx, serving one
// folder over plain HTTP and over HTTPS, and tinyproxy as a forward proxy in front of it.
//
// Started on first use in the test process on free 127.0.0.1 ports (from the system's ephemeral
// range, so above 32767), with generated configuration and certificates in a private folder, and
// stopped when the process exits. The certificates come from a private CA made for the run:
// CaFile() is its certificate, to be named by SSL_CERT_FILE so that TLS clients trust it.
//
// nginx listens five times over the same folder:
//   HttpPort()          plain HTTP
//   HttpsPort()         HTTPS, certificate of the private CA for 127.0.0.1 and "localhost"
//   WrongNamePort()     HTTPS, certificate of the private CA for "other.example" only
//   SelfSignedPort()    HTTPS, a self-signed certificate for 127.0.0.1
//   UnknownIssuerPort() HTTPS, for 127.0.0.1 and "localhost" from a CA that nobody trusts
// Paths of its own: "/chunked/..." answers with chunked encoding (no Content-Length),
// "/moved" redirects (301) to "/", and "/slow/..." serves files at 1 MB/s.
//
//   RealHttpServers& web = RealHttpServers::Get();   // throws std::runtime_error when it fails
//   web.PutFile("a.bin", bytes);                      // http://127.0.0.1:<HttpPort()>/a.bin
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace tarvik::test {

class RealHttpServers {
 public:
  static RealHttpServers& Get();

  std::uint16_t HttpPort() const { return http_port_; }
  std::uint16_t HttpsPort() const { return https_port_; }
  std::uint16_t WrongNamePort() const { return wrong_name_port_; }
  std::uint16_t SelfSignedPort() const { return self_signed_port_; }
  std::uint16_t UnknownIssuerPort() const { return unknown_issuer_port_; }
  std::uint16_t ProxyPort() const { return proxy_port_; }
  const std::filesystem::path& CaFile() const { return ca_file_; }
  // The folder served at "/".
  const std::filesystem::path& DocumentRoot() const { return root_; }
  // Writes `bytes` to DocumentRoot()/relative (creating folders).
  std::filesystem::path PutFile(const std::string& relative, const std::string& bytes) const;
  // What nginx and tinyproxy wrote to their logs so far (for failure messages).
  std::string Output() const;

  ~RealHttpServers();

 private:
  RealHttpServers() = default;
  void Start();
  void MakeCertificates();
  void StartNginx();
  void StartProxy();

  std::filesystem::path dir_;
  std::filesystem::path root_;
  std::filesystem::path ca_file_;
  std::uint16_t http_port_ = 0;
  std::uint16_t https_port_ = 0;
  std::uint16_t wrong_name_port_ = 0;
  std::uint16_t self_signed_port_ = 0;
  std::uint16_t unknown_issuer_port_ = 0;
  std::uint16_t proxy_port_ = 0;
  int nginx_pid_ = -1;
  int proxy_pid_ = -1;
};

}  // namespace tarvik::test
