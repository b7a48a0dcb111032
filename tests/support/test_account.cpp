#include "tests/support/test_account.h"

#include <crypt.h>
#include <fcntl.h>
#include <pwd.h>
#include <shadow.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace tarvik::test {
namespace {

constexpr const char* kName = "tarviktest";
constexpr const char* kPassword = "Tarvik.Test.1";
constexpr const char* kHome = "/var/lib/tarviktest";
// Held while the account is checked and changed, so that parallel test processes do not race
// on the password files.
constexpr const char* kLockFile = "/tmp/tarvik-test-account.lock";

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    throw std::runtime_error("test account: \"" + command + "\" failed");
  }
}

bool AccountIsReady(const std::string& hash) {
  const passwd* entry = ::getpwnam(kName);
  if (entry == nullptr || std::string(entry->pw_dir) != kHome) return false;
  const spwd* shadow = ::getspnam(kName);
  return shadow != nullptr && hash == shadow->sp_pwdp && std::filesystem::is_directory(kHome);
}

TestAccount Prepare() {
  if (::geteuid() != 0) {
    throw std::runtime_error(
        "the real FTP servers need root: they run their sessions as the account " +
        std::string(kName));
  }
  std::string hash = Sha512CryptHash(kPassword);
  int lock = ::open(kLockFile, O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  if (lock >= 0) ::flock(lock, LOCK_EX);
  try {
    if (!AccountIsReady(hash)) {
      // A shell listed in /etc/shells: the login check of some servers requires one.
      if (::getpwnam(kName) == nullptr) {
        Run(std::string("useradd -M -s /bin/bash -c 'Tarvik FTP test account' ") + kName);
      }
      Run(std::string("usermod -d ") + kHome + " -p '" + hash + "' " + kName);
      std::filesystem::create_directories(kHome);
      const passwd* entry = ::getpwnam(kName);
      if (entry == nullptr || ::chown(kHome, entry->pw_uid, entry->pw_gid) != 0) {
        throw std::runtime_error("test account: cannot give " + std::string(kHome) + " to " +
                                 kName);
      }
    }
  } catch (...) {
    if (lock >= 0) ::close(lock);
    throw;
  }
  if (lock >= 0) ::close(lock);
  const passwd* entry = ::getpwnam(kName);
  if (entry == nullptr)
    throw std::runtime_error("test account: " + std::string(kName) + " is missing");
  return TestAccount{kName, kPassword, hash, kHome, entry->pw_uid, entry->pw_gid};
}

}  // namespace

std::string Sha512CryptHash(const std::string& password) {
  auto data = std::make_unique<crypt_data>();
  const char* hash = ::crypt_r(password.c_str(), "$6$TarvikTest$", data.get());
  if (hash == nullptr || hash[0] == '*') throw std::runtime_error("crypt_r failed");
  return hash;
}

const TestAccount& EnsureTestAccount() {
  static const TestAccount account = Prepare();
  return account;
}

}  // namespace tarvik::test
