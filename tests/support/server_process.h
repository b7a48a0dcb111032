// Starting and stopping a test server process.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::test {

struct RunAs {
  uid_t uid;
  gid_t gid;
};

// Starts `argv` in a process group of its own with standard output and error appended to
// `output`, optionally as another user. The process gets SIGTERM when the calling thread ends,
// so a test process that dies leaves no server behind. The calling process becomes the reaper of
// orphaned descendants, so that StopServerProcess() can reap the server's session processes.
// Returns the PID, or -1 (see `error`).
pid_t StartServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& output,
                         std::optional<RunAs> run_as, std::string& error);

// Waits until `pid` listens on 127.0.0.1:`port` (true), or until it exits or `limit` passes
// (false, with the reason in `error`; the process is left for StopServerProcess() to reap).
bool WaitUntilListening(pid_t pid, std::uint16_t port, std::chrono::milliseconds limit,
                        std::string& error);

// Ends the process and its group (SIGTERM, then SIGKILL after a grace period) and reaps it.
void StopServerProcess(pid_t pid);

}  // namespace tarvik::test
