// The operating-system account that the real test servers run their sessions as, and the one
// user name and password every real server accepts.
#pragma once

#include <sys/types.h>

#include <string>

namespace tarvik::test {

struct TestAccount {
  std::string name;           // user name for logins and for the account
  std::string password;       // password for logins
  std::string password_hash;  // SHA-512 crypt hash of the password (cheap to check per login)
  std::string home;           // the account's home folder (exists; servers change into it)
  uid_t uid = 0;
  gid_t gid = 0;
};

// Returns the account, creating it or resetting its password first when needed. Needs root;
// throws std::runtime_error otherwise or when the system tools fail. Serialised between processes.
const TestAccount& EnsureTestAccount();

// The SHA-512 crypt hash of `password` with a fixed salt.
std::string Sha512CryptHash(const std::string& password);

}  // namespace tarvik::test
