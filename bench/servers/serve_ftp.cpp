// Starts one of the test fixture's real FTP servers for the transfer benchmark and prints
// "port user password root" on one line; the server runs until standard input closes.
//   serve_ftp vsftpd
#include <iostream>
#include <string>

#include "tests/support/real_ftp_servers.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: serve_ftp pyftpdlib|vsftpd|pureftpd|proftpd\n";
    return 2;
  }
  try {
    const tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get(argv[1]);
    std::cout << server.Port() << " " << server.User() << " " << server.Password() << " "
              << server.RootDir().string() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
      if (line.rfind("give ", 0) == 0) server.GiveToAccount(line.substr(5));
      std::cout << "ok" << std::endl;
    }
  } catch (const std::exception& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
  return 0;
}
