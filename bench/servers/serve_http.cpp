// Starts the test fixture's nginx and tinyproxy for the HTTP benchmark and prints
// "http_port https_port proxy_port ca_file document_root wrong_name_port self_signed_port
// unknown_issuer_port" on one line; they run until standard input closes.
#include <iostream>
#include <string>

#include "tests/support/real_http_servers.h"

int main() {
  try {
    const tarvik::test::RealHttpServers& web = tarvik::test::RealHttpServers::Get();
    std::cout << web.HttpPort() << " " << web.HttpsPort() << " " << web.ProxyPort() << " "
              << web.CaFile().string() << " " << web.DocumentRoot().string() << " "
              << web.WrongNamePort() << " " << web.SelfSignedPort() << " "
              << web.UnknownIssuerPort() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
  } catch (const std::exception& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
  return 0;
}
