#include "tests/support/server_process.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

constexpr std::chrono::milliseconds kPollStep{5};
constexpr std::chrono::seconds kStopGrace{5};

// The socket inode listening on 127.0.0.1:port (or on any address), from /proc/net/tcp.
std::string ListeningInode(std::uint16_t port) {
  std::ifstream table("/proc/net/tcp");
  std::string line;
  std::getline(table, line);  // header
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid, timeout, inode;
    fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> uid >>
        timeout >> inode;
    std::size_t colon = local.find(':');
    if (state != "0A" || colon == std::string::npos) continue;  // 0A: LISTEN
    std::string address = local.substr(0, colon);
    if (address != "0100007F" && address != "00000000") continue;
    if (std::stoul(local.substr(colon + 1), nullptr, 16) == port) return inode;
  }
  return "";
}

// Whether `pid` holds the socket with that inode.
bool ProcessHoldsSocket(pid_t pid, const std::string& inode) {
  std::error_code error;
  std::string wanted = "socket:[" + inode + "]";
  for (const auto& entry :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
    std::error_code link_error;
    if (std::filesystem::read_symlink(entry.path(), link_error).string() == wanted) return true;
  }
  return false;
}

// What a child reports, in one write, when it fails before running the server program.
struct ChildFailure {
  char step[16];  // the call that failed
  int code;       // its errno
};

std::string ExitText(const siginfo_t& info) {
  if (info.si_code == CLD_EXITED) return "exited with status " + std::to_string(info.si_status);
  return "was ended by signal " + std::to_string(info.si_status);
}

}  // namespace

pid_t StartServerProcess(const std::vector<std::string>& argv, const std::filesystem::path& output,
                         std::optional<RunAs> run_as, std::string& error) {
  // Everything the child needs is prepared before fork: after it, only plain system calls.
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  int in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
  if (out < 0 || in < 0) {
    error = "cannot open " + output.string() + ": " + ErrnoText(errno);
    if (out >= 0) ::close(out);
    if (in >= 0) ::close(in);
    return -1;
  }
  // Session processes that outlive their server come back to this process, which reaps them
  // when it stops the server, instead of leaving zombies to the system.
  ::prctl(PR_SET_CHILD_SUBREAPER, 1);
  // The child reports a failure before exec through this pipe; the pipe closes on exec, so an
  // empty read means the server program is running (and no longer holds this process's sockets).
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) {
    error = "pipe failed: " + ErrnoText(errno);
    ::close(out);
    ::close(in);
    return -1;
  }
  pid_t parent = ::getpid();
  pid_t pid = ::fork();
  if (pid == 0) {
    auto fail = [&](const char* step) {
      ChildFailure failure{};
      failure.code = errno;
      std::strncpy(failure.step, step, sizeof failure.step - 1);
      [[maybe_unused]] ssize_t written = ::write(report[1], &failure, sizeof failure);
      ::_exit(127);
    };
    ::setpgid(0, 0);
    if (::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(out, 2) < 0) fail("dup2");
    ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);  // nothing else of this process reaches the server
    if (run_as && ::setgroups(0, nullptr) != 0) fail("setgroups");
    if (run_as && ::setgid(run_as->gid) != 0) fail("setgid");
    if (run_as && ::setuid(run_as->uid) != 0) fail("setuid");
    // Set after the change of user, which would clear it.
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(125);
    ::execv(args[0], args.data());
    fail("exec");
  }
  int fork_error = errno;
  ::close(report[1]);
  ::close(out);
  ::close(in);
  if (pid < 0) {
    ::close(report[0]);
    error = "fork failed: " + ErrnoText(fork_error);
    return -1;
  }
  ChildFailure failure{};
  ssize_t length;
  while ((length = ::read(report[0], &failure, sizeof failure)) < 0 && errno == EINTR) {
  }
  ::close(report[0]);
  if (length > 0) {
    error = std::string(failure.step) + " failed for " + argv[0] + ": " + ErrnoText(failure.code);
    StopServerProcess(pid);
    return -1;
  }
  return pid;
}

bool WaitUntilListening(pid_t pid, std::uint16_t port, std::chrono::milliseconds limit,
                        std::string& error) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    siginfo_t info{};  // not reaped here: StopServerProcess() does that
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid) {
      error =
          "the server " + ExitText(info) + " before it listened on port " + std::to_string(port);
      return false;
    }
    std::string inode = ListeningInode(port);
    if (!inode.empty() && ProcessHoldsSocket(pid, inode)) return true;
    if (std::chrono::steady_clock::now() > deadline) {
      error = "the server did not listen on port " + std::to_string(port) + " within " +
              std::to_string(limit.count()) + " ms";
      return false;
    }
    std::this_thread::sleep_for(kPollStep);
  }
}

void StopServerProcess(pid_t pid) {
  if (pid <= 0) return;
  ::kill(-pid, SIGTERM);
  // Wait for the exit without reaping: while the process is a zombie its PID, and so its group's
  // id, cannot be reused, so the group can still be addressed safely.
  auto deadline = std::chrono::steady_clock::now() + kStopGrace;
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == 0) {
    if (std::chrono::steady_clock::now() > deadline) break;
    std::this_thread::sleep_for(kPollStep);
  }
  ::kill(-pid, SIGKILL);  // what is left of the group: session processes, or a server that hangs
  // Reap the server and every member of its group that came back to this process.
  int status = 0;
  while (::waitpid(-pid, &status, 0) > 0) {
  }
}

}  // namespace tarvik::test
