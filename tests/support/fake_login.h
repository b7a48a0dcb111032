// Login scripts for the scripted server, as the test sessions log in (user "u", password "p").
#pragma once

#include <string>

#include "tests/support/fake_ftp_server.h"

namespace tarvik::test {

// The greeting and the user-and-password exchange.
inline FakeFtpServer& PlayUserAndPassword(FakeFtpServer& server,
                                          const std::string& greeting = "220 Fake server ready") {
  return server.Reply(greeting)
      .Expect("USER u")
      .Reply("331 Password required")
      .Expect("PASS p")
      .Reply("230 Logged in");
}

// The whole login of a session with default settings: user and password, the keep-alive probe
// (NOOP) and the PWD that names `home` as the home folder.
inline FakeFtpServer& PlayLogin(FakeFtpServer& server,
                                const std::string& greeting = "220 Fake server ready",
                                const std::string& home = "/home/u") {
  return PlayUserAndPassword(server, greeting)
      .Expect("NOOP")
      .Reply("200 NOOP ok")
      .Expect("PWD")
      .Reply("257 \"" + home + "\" is the current directory");
}

}  // namespace tarvik::test
