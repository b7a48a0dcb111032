// Registration of a server library inside the setup program: the library is loaded and its
// DllRegisterServer runs on a thread of its own, waited for at most a time limit. The entry's
// result is not examined; a library, entry or thread that cannot be had, and an entry still
// running at the limit, are failures.
#pragma once

#include <chrono>
#include <string>

namespace tarvik::setup {

inline constexpr std::chrono::milliseconds kRegistrationLimit{10000};

enum class Registration {
  kDone,
  kNotLoaded,     // the library does not load
  kNoEntry,       // it exports no DllRegisterServer
  kNoThread,      // no thread could be started
  kStillRunning,  // the entry did not return within the limit; its thread goes on
};

// Registers the library at the host path `library`.
Registration RegisterInProcess(const std::string& library, std::chrono::milliseconds limit);

}  // namespace tarvik::setup
