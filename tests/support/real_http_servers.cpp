#include "tests/support/real_http_servers.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "tests/support/loopback_sockets.h"
#include "tests/support/server_process.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kStartLimit{20};

std::string ReadWhole(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteWhole(const fs::path& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << text;
  if (!file) throw std::runtime_error("cannot write " + path.string());
}

// Runs an openssl command line in `dir`; its output goes to dir/openssl.log.
void OpenSsl(const fs::path& dir, const std::string& arguments) {
  const std::string command =
      "cd '" + dir.string() + "' && openssl " + arguments + " >>openssl.log 2>&1";
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("openssl " + arguments + " failed:\n" +
                             ReadWhole(dir / "openssl.log"));
  }
}

// A new CA: `name`.key and `name`.pem.
void MakeAuthority(const fs::path& dir, const std::string& name, const std::string& subject) {
  OpenSsl(dir,
          "req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 -keyout " +
              name + ".key -out " + name + ".pem -subj '/CN=" + subject + "'");
}

// A key and a certificate request for `name`, signed by the CA `ca` with `alt_names` as its names.
void IssueCertificate(const fs::path& dir, const std::string& name, const std::string& alt_names,
                      const std::string& ca = "ca") {
  WriteWhole(dir / (name + ".ext"), "subjectAltName=" + alt_names + "\n");
  OpenSsl(dir, "req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + name +
                   ".key -out " + name + ".csr -subj /CN=" + name);
  OpenSsl(dir, "x509 -req -in " + name + ".csr -CA " + ca + ".pem -CAkey " + ca +
                   ".key -CAcreateserial -days 2 -out " + name + ".pem -extfile " + name + ".ext");
}

std::string ServerBlock(std::uint16_t port, const std::string& certificate, const fs::path& dir,
                        const fs::path& root) {
  std::string block = "  server {\n    listen 127.0.0.1:" + std::to_string(port);
  if (!certificate.empty()) {
    block += " ssl;\n    ssl_certificate " + (dir / (certificate + ".pem")).string() +
             ";\n    ssl_certificate_key " + (dir / (certificate + ".key")).string() + ";\n";
  } else {
    block += ";\n";
  }
  block += "    root " + root.string() + ";\n";
  block += "    location /chunked/ { ssi on; ssi_types *; }\n";
  block += "    location = /moved { return 301 /; }\n";
  block += "    location /slow/ { limit_rate 1m; }\n";
  block += "  }\n";
  return block;
}

}  // namespace

RealHttpServers& RealHttpServers::Get() {
  static std::unique_ptr<RealHttpServers> servers;
  static std::string failure;
  if (servers) return *servers;
  if (!failure.empty()) throw std::runtime_error(failure);
  std::unique_ptr<RealHttpServers> fresh(new RealHttpServers());
  try {
    fresh->Start();
  } catch (const std::exception& error) {
    failure = error.what();
    throw;
  }
  servers = std::move(fresh);
  return *servers;
}

RealHttpServers::~RealHttpServers() {
  if (proxy_pid_ > 0) StopServerProcess(proxy_pid_);
  if (nginx_pid_ > 0) StopServerProcess(nginx_pid_);
  std::error_code ignored;
  if (!dir_.empty()) fs::remove_all(dir_, ignored);
}

void RealHttpServers::Start() {
  std::string pattern = (fs::temp_directory_path() / "tarvik-web-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("cannot create a folder for the web servers: " + ErrnoText(errno));
  }
  dir_ = pattern;
  root_ = dir_ / "root";
  fs::create_directories(root_ / "chunked");
  fs::create_directories(root_ / "slow");
  fs::create_directories(dir_ / "temp");
  MakeCertificates();
  StartNginx();
  StartProxy();
}

void RealHttpServers::MakeCertificates() {
  MakeAuthority(dir_, "ca", "Tarvik Test CA");
  ca_file_ = dir_ / "ca.pem";
  IssueCertificate(dir_, "good", "IP:127.0.0.1,DNS:localhost");
  IssueCertificate(dir_, "wrong", "DNS:other.example");
  MakeAuthority(dir_, "stranger-ca", "Tarvik Stranger CA");  // never trusted anywhere
  IssueCertificate(dir_, "stranger", "IP:127.0.0.1,DNS:localhost", "stranger-ca");
  OpenSsl(dir_,
          "req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 "
          "-keyout self.key -out self.pem -subj /CN=127.0.0.1 "
          "-addext subjectAltName=IP:127.0.0.1");
}

void RealHttpServers::StartNginx() {
  http_port_ = PickFreeLoopbackPort();
  https_port_ = PickFreeLoopbackPort();
  wrong_name_port_ = PickFreeLoopbackPort();
  self_signed_port_ = PickFreeLoopbackPort();
  unknown_issuer_port_ = PickFreeLoopbackPort();
  const fs::path temp = dir_ / "temp";
  std::string config = "daemon off;\nmaster_process on;\nworker_processes 1;\nuser root root;\n";
  config += "error_log " + (dir_ / "nginx-error.log").string() + " warn;\n";
  config += "pid " + (dir_ / "nginx.pid").string() + ";\n";
  config += "events { worker_connections 64; }\nhttp {\n";
  config += "  access_log off;\n  sendfile on;\n  default_type application/octet-stream;\n";
  config += "  types { text/html html; }\n";
  for (const char* kind : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
    config += "  " + std::string(kind) + "_temp_path " + (temp / kind).string() + ";\n";
  }
  config += ServerBlock(http_port_, "", dir_, root_);
  config += ServerBlock(https_port_, "good", dir_, root_);
  config += ServerBlock(wrong_name_port_, "wrong", dir_, root_);
  config += ServerBlock(self_signed_port_, "self", dir_, root_);
  config += ServerBlock(unknown_issuer_port_, "stranger", dir_, root_);
  config += "}\n";
  WriteWhole(dir_ / "nginx.conf", config);
  std::string error;
  const pid_t pid = StartServerProcess(
      {"/usr/sbin/nginx", "-p", dir_.string(), "-e", (dir_ / "nginx-error.log").string(), "-c",
       (dir_ / "nginx.conf").string()},
      dir_ / "nginx-output.log", std::nullopt, error);
  if (pid <= 0 || !WaitUntilListening(pid, unknown_issuer_port_, kStartLimit, error)) {
    if (pid > 0) StopServerProcess(pid);
    throw std::runtime_error("nginx could not be started: " + error + "\n" + Output());
  }
  nginx_pid_ = pid;
}

void RealHttpServers::StartProxy() {
  proxy_port_ = PickFreeLoopbackPort();
  std::string config = "Port " + std::to_string(proxy_port_) + "\nListen 127.0.0.1\n";
  config += "Timeout 60\nMaxClients 32\nAllow 127.0.0.1\nDisableViaHeader Yes\n";
  config += "LogLevel Warning\nLogFile \"" + (dir_ / "tinyproxy.log").string() + "\"\n";
  WriteWhole(dir_ / "tinyproxy.conf", config);
  std::string error;
  const pid_t pid =
      StartServerProcess({"/usr/bin/tinyproxy", "-d", "-c", (dir_ / "tinyproxy.conf").string()},
                         dir_ / "tinyproxy-output.log", std::nullopt, error);
  if (pid <= 0 || !WaitUntilListening(pid, proxy_port_, kStartLimit, error)) {
    if (pid > 0) StopServerProcess(pid);
    throw std::runtime_error("tinyproxy could not be started: " + error + "\n" + Output());
  }
  proxy_pid_ = pid;
}

fs::path RealHttpServers::PutFile(const std::string& relative, const std::string& bytes) const {
  const fs::path file = root_ / relative;
  fs::create_directories(file.parent_path());
  WriteWhole(file, bytes);
  return file;
}

std::string RealHttpServers::Output() const {
  std::string output;
  for (const char* name :
       {"nginx-output.log", "nginx-error.log", "tinyproxy-output.log", "tinyproxy.log"}) {
    output += "--- " + std::string(name) + " ---\n" + ReadWhole(dir_ / name);
  }
  return output;
}

}  // namespace tarvik::test
