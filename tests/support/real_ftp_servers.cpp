#include "tests/support/real_ftp_servers.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/support/loopback_sockets.h"
#include "tests/support/server_configs.h"
#include "tests/support/server_process.h"
#include "tests/support/test_account.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds kStartLimit{20};
constexpr int kStartAttempts = 3;  // a fresh port each time: another process may take the first
// Passive ports: a block of kPassivePerServer ports per server, below both the ephemeral range
// and the ports clients pick for active mode, placed by PID so that parallel test processes
// rarely share ports (the servers try other ports of their range when one is taken).
constexpr int kPassiveBase = 10000;
constexpr int kPassivePerServer = 16;
constexpr int kPassiveBlocks = 150;

std::string ReadWhole(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void ChownOne(const fs::path& path, uid_t uid, gid_t gid) {
  if (::lchown(path.c_str(), uid, gid) != 0) {
    throw std::runtime_error("cannot give " + path.string() +
                             " to the test account: " + ErrnoText(errno));
  }
}

}  // namespace

// The servers this process started; stopped, and their folders removed, when the process ends.
class RealServerRegistry {
 public:
  ~RealServerRegistry() {
    // A forked copy of the test process (a death test, say) leaves the servers to their owner.
    if (::getpid() != owner_) return;
    for (auto& [name, entry] : entries_) StopServerProcess(entry.pid);
    if (!base_.empty()) {
      std::error_code ignored;
      fs::remove_all(base_, ignored);
    }
  }

  RealFtpServer& Get(const std::string& name) {
    std::lock_guard lock(mutex_);
    const auto& names = RealServers::Names();
    auto known = std::find(names.begin(), names.end(), name);
    if (known == names.end()) throw std::invalid_argument("unknown FTP server \"" + name + "\"");
    Entry& entry = entries_[name];
    if (entry.pid > 0) return entry.server;
    if (!entry.failure.empty()) throw std::runtime_error(entry.failure);
    try {
      Start(name, static_cast<int>(known - names.begin()), entry);
    } catch (const std::exception& error) {
      entry.failure = error.what();
      throw;
    }
    return entry.server;
  }

 private:
  struct Entry {
    RealFtpServer server;
    pid_t pid = -1;
    std::string failure;  // why it could not start, repeated to every later caller
    ServerLaunch launch;  // how it was started, for a restart
    std::optional<RunAs> run_as;
  };

 public:
  void Restart(const std::string& name) {
    Entry& entry = Started(name);
    StopServerProcess(entry.pid);
    entry.pid = -1;
    std::string error;
    // The listening port is taken again; a moment may pass before the system gives it back.
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
      const pid_t pid = StartServerProcess(entry.launch.argv, entry.server.output_files_.front(),
                                           entry.run_as, error);
      if (pid > 0 && WaitUntilListening(pid, entry.server.port_, kStartLimit, error)) {
        entry.pid = pid;
        return;
      }
      StopServerProcess(pid);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    entry.failure = name + " could not be restarted: " + error;
    throw std::runtime_error(entry.failure + "\n--- its output ---\n" + entry.server.Output());
  }

 private:
  Entry& Started(const std::string& name) {
    Get(name);
    std::lock_guard lock(mutex_);
    return entries_[name];
  }

  // The private folder of this process: readable by the test account, which runs the sessions.
  const fs::path& Base() {
    if (base_.empty()) {
      std::string pattern = (fs::temp_directory_path() / "tarvik-servers-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a folder for the test servers: " +
                                 ErrnoText(errno));
      }
      base_ = pattern;
      fs::permissions(base_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    }
    return base_;
  }

  void Start(const std::string& name, int index, Entry& entry) {
    const TestAccount& account = EnsureTestAccount();
    ServerSetting setting;
    setting.name = name;
    setting.dir = Base() / name;
    setting.root = setting.dir / "root";
    setting.anonymous = AnonymousDirFor(name, setting.dir);
    setting.account = &account;
    int block = static_cast<int>(::getpid() % kPassiveBlocks) * 4 + index;
    setting.passive_low = static_cast<std::uint16_t>(kPassiveBase + block * kPassivePerServer);
    setting.passive_high = static_cast<std::uint16_t>(setting.passive_low + kPassivePerServer - 1);
    fs::create_directories(setting.root);
    ChownOne(setting.root, account.uid, account.gid);
    if (!setting.anonymous.empty()) fs::create_directories(setting.anonymous);

    RealFtpServer& server = entry.server;
    server.name_ = name;
    server.user_ = account.name;
    server.password_ = account.password;
    server.root_dir_ = setting.root;
    server.anonymous_dir_ = setting.anonymous;
    server.account_uid_ = account.uid;
    server.account_gid_ = account.gid;
    fs::path output = setting.dir / "output.txt";

    std::string error;
    for (int attempt = 0; attempt < kStartAttempts; ++attempt) {
      setting.port = PickFreeLoopbackPort();
      ServerLaunch launch = PrepareServer(setting);
      server.port_ = setting.port;
      server.output_files_ = {output};
      server.output_files_.insert(server.output_files_.end(), launch.extra_logs.begin(),
                                  launch.extra_logs.end());
      std::optional<RunAs> run_as;
      if (launch.as_account) run_as = RunAs{account.uid, account.gid};
      pid_t pid = StartServerProcess(launch.argv, output, run_as, error);
      if (pid > 0 && WaitUntilListening(pid, setting.port, kStartLimit, error)) {
        entry.pid = pid;
        entry.launch = std::move(launch);
        entry.run_as = run_as;
        return;
      }
      StopServerProcess(pid);
    }
    throw std::runtime_error(name + " could not be started: " + error + "\n--- its output ---\n" +
                             server.Output());
  }

  std::mutex mutex_;
  std::map<std::string, Entry> entries_;
  fs::path base_;             // the private folder of this process's servers
  pid_t owner_ = ::getpid();  // the process that started them
};

namespace {

RealServerRegistry& TheRegistry() {
  static RealServerRegistry registry;
  return registry;
}

}  // namespace

const std::vector<std::string>& RealServers::Names() {
  static const std::vector<std::string> names = {"pyftpdlib", "vsftpd", "pureftpd", "proftpd"};
  return names;
}

RealFtpServer& RealServers::Get(const std::string& name) {
  return TheRegistry().Get(name);
}

void RealServers::Restart(const std::string& name) {
  TheRegistry().Restart(name);
}

fs::path RealFtpServer::LocalPath(const std::string& remote_path) const {
  std::size_t start = remote_path.find_first_not_of('/');
  if (start == std::string::npos) return root_dir_;
  fs::path relative = fs::path(remote_path.substr(start)).lexically_normal();
  if (!relative.empty() && *relative.begin() == "..") {
    throw std::invalid_argument("\"" + remote_path + "\" leaves the server's root folder");
  }
  return root_dir_ / relative;
}

fs::path RealFtpServer::FreshDir(const std::string& relative) const {
  fs::path dir = LocalPath(relative);
  if (dir == root_dir_) {
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
    return dir;
  }
  fs::remove_all(dir);
  fs::create_directories(dir);
  // Every folder from the root down belongs to the account, so the server may write in each.
  for (fs::path step = dir; step != root_dir_ && step.has_relative_path();
       step = step.parent_path()) {
    ChownOne(step, account_uid_, account_gid_);
  }
  return dir;
}

fs::path RealFtpServer::PutFile(const std::string& relative, const std::string& bytes) const {
  fs::path file = LocalPath(relative);
  fs::path parent = file.parent_path();
  if (!fs::is_directory(parent)) FreshDir(fs::relative(parent, root_dir_).string());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
  ChownOne(file, account_uid_, account_gid_);
  return file;
}

std::string RealFtpServer::GetFile(const std::string& relative) const {
  fs::path file = LocalPath(relative);
  if (!fs::is_regular_file(file)) {
    ADD_FAILURE() << name_ << ": " << file << " does not exist";
    return "";
  }
  return ReadWhole(file);
}

void RealFtpServer::GiveToAccount(const fs::path& path) const {
  ChownOne(path, account_uid_, account_gid_);
  if (!fs::is_directory(fs::symlink_status(path))) return;
  for (const auto& entry : fs::recursive_directory_iterator(path)) {
    ChownOne(entry.path(), account_uid_, account_gid_);
  }
}

std::string RealFtpServer::Output() const {
  std::string all;
  for (const fs::path& file : output_files_) {
    if (!fs::exists(file)) continue;
    all += "[" + file.filename().string() + "]\n" + ReadWhole(file);
  }
  return all;
}

}  // namespace tarvik::test
