// The soak of bench/soak_bench.py: thousands of consecutive transfers on one control, checked one
// by one, while the process's memory and descriptors are sampled.
//
//   soak_transfers SERVER COUNT LOCAL_FOLDER
//
// Starts SERVER (pyftpdlib, vsftpd, pureftpd, proftpd) from the test fixture, creates the control
// through the registry by its ProgID and drives it through its dispatch interface as the tarvik
// host does (the library must be registered in TARVIK_ROOT), connects once and runs COUNT
// transfers: downloads and uploads alternating, each a new file, an overwrite of a different file
// or a resume of a partial one, sizes from 0 bytes to 3 MiB. Every transfer's result and the
// whole target are checked; the first failure ends the run with status 1.
//
// Output, one line per sample (before the first transfer and after every 100th):
//   sample TRANSFERS VMRSS_KIB VMHWM_KIB DESCRIPTORS
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "host/call_step.h"
#include "host/host_session.h"
#include "platform/loop/message_loop.h"
#include "tests/support/real_ftp_servers.h"

namespace {

namespace fs = std::filesystem;
using tarvik::host::CallStep;
using tarvik::host::HostSession;

constexpr int kSampleEvery = 100;
constexpr std::size_t kBlock = 64 << 10;
// Sizes around the block and buffer boundaries of the transfer code, up to a few MiB.
constexpr std::array<std::uint64_t, 10> kSizes = {0,     1,      517,     10240,         65535,
                                                  65536, 200000, 1 << 20, (2 << 20) + 3, 3 << 20};
// Names are reused so that the folders stay small; a file is prepared anew for each transfer.
constexpr int kNames = 16;

// The byte at `offset` of the contents with `seed`: any range can be made again for checking.
char ContentByte(std::uint64_t seed, std::uint64_t offset) {
  std::uint64_t z = seed * 0x9E3779B97F4A7C15ULL + (offset >> 3) + 1;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  z ^= z >> 31;
  return static_cast<char>(z >> ((offset & 7) * 8));
}

void WriteContents(const fs::path& path, std::uint64_t seed, std::uint64_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  std::vector<char> block(kBlock);
  for (std::uint64_t at = 0; at < size; at += kBlock) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - at));
    for (std::size_t i = 0; i < n; ++i) block[i] = ContentByte(seed, at + i);
    out.write(block.data(), static_cast<std::streamsize>(n));
  }
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

// Whether `path` holds exactly `size` bytes of the contents with `seed`.
bool HoldsContents(const fs::path& path, std::uint64_t seed, std::uint64_t size) {
  std::error_code error;
  if (fs::file_size(path, error) != size || error) return false;
  std::ifstream in(path, std::ios::binary);
  std::vector<char> block(kBlock);
  for (std::uint64_t at = 0; at < size; at += kBlock) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, size - at));
    if (!in.read(block.data(), static_cast<std::streamsize>(n))) return false;
    for (std::size_t i = 0; i < n; ++i) {
      if (block[i] != ContentByte(seed, at + i)) return false;
    }
  }
  return true;
}

// A value of /proc/self/status in KiB ("VmRSS:    12345 kB").
long StatusKib(const std::string& key) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(key + ":", 0) == 0)
      return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
  }
  return -1;
}

// Open descriptors, not counting the one the listing itself holds.
long OpenDescriptors() {
  long count = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
  return count - 1;
}

void PrintSample(int transfers) {
  std::cout << "sample " << transfers << " " << StatusKib("VmRSS") << " " << StatusKib("VmHWM")
            << " " << OpenDescriptors() << std::endl;
}

enum class Target { kNew, kOverwrite, kResume };

struct Transfer {
  bool upload = false;
  Target target = Target::kNew;
  std::uint64_t size = 0;
  std::uint64_t seed = 0;
  std::string name;
};

// Transfer `index`: downloads and uploads alternate; each direction cycles through the three
// kinds of target; the sizes walk the table in a different order.
Transfer Plan(int index) {
  Transfer t;
  t.upload = index % 2 == 1;
  t.target = static_cast<Target>(index / 2 % 3);
  t.size = kSizes[static_cast<std::size_t>(index * 7 + index / 10) % kSizes.size()];
  t.seed = static_cast<std::uint64_t>(index) + 1;
  t.name = (t.upload ? "u" : "d") + std::to_string(index % kNames) + ".bin";
  return t;
}

const char* TargetText(Target target) {
  switch (target) {
    case Target::kNew:
      return "new";
    case Target::kOverwrite:
      return "overwrite";
    case Target::kResume:
      return "resume";
  }
  return "";
}

class Soak {
 public:
  Soak(const tarvik::test::RealFtpServer& server, fs::path local)
      : server_(server), local_(std::move(local)), remote_(server.RootDir() / "soak") {}

  void Prepare() {
    fs::remove_all(local_);
    fs::create_directories(local_);
    server_.FreshDir("soak");
  }

  // Runs the steps (texts as on tarvik's command line); false after telling why.
  bool Run(HostSession& session, const std::vector<std::string>& texts) {
    std::vector<CallStep> steps;
    for (const std::string& text : texts) {
      std::string error;
      std::optional<CallStep> step = tarvik::host::ParseCallStep(text, &error);
      if (!step) {
        std::cerr << text << ": " << error << "\n";
        return false;
      }
      steps.push_back(std::move(*step));
    }
    return session.Run(steps) == tarvik::host::kExitSuccess;
  }

  std::vector<std::string> Login() const {
    return {"ServerName=" + server_.Host(), "Port=" + std::to_string(server_.Port()),
            "Username=" + server_.User(), "Password=" + server_.Password(), "Connect"};
  }

  // Puts the source and the destination in place and returns the steps of transfer `t`.
  std::vector<std::string> Stage(const Transfer& t) const {
    const fs::path source = (t.upload ? local_ : remote_) / t.name;
    const fs::path destination = (t.upload ? remote_ : local_) / t.name;
    WriteContents(source, t.seed, t.size);
    fs::remove(destination);
    if (t.target == Target::kOverwrite) WriteContents(destination, t.seed + 7777, t.size / 3 + 5);
    if (t.target == Target::kResume) WriteContents(destination, t.seed, t.size / 2);
    if (t.upload) server_.GiveToAccount(destination.parent_path());
    const std::string replace = t.target == Target::kResume ? "ReplaceIndex=2" : "ReplaceIndex=1";
    return {replace, "RemotePath=/soak/" + t.name, "LocalPath=" + (local_ / t.name).string(),
            t.upload ? "Upload" : "Download"};
  }

  bool Arrived(const Transfer& t) const {
    return HoldsContents((t.upload ? remote_ : local_) / t.name, t.seed, t.size);
  }

 private:
  const tarvik::test::RealFtpServer& server_;
  fs::path local_;
  fs::path remote_;
};

int RunSoak(const std::string& server_name, int count, const fs::path& local) {
  const tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get(server_name);
  Soak soak(server, local);
  soak.Prepare();
  HostSession::Settings settings;
  // A window of the host's own, so that the control raises OnTransfer as it does for a host.
  settings.window = tarvik::platform::CreateHiddenWindow();
  std::ostringstream results;  // what the steps print ("True"); emptied after each transfer
  int status = 0;
  {
    HostSession session(results, std::cerr, settings);
    if (!session.Create("TarvikFtp.FtpLibrary")) return 1;
    if (!soak.Run(session, soak.Login())) return 1;
    PrintSample(0);
    for (int i = 0; i < count && status == 0; ++i) {
      const Transfer t = Plan(i);
      const bool done = soak.Run(session, soak.Stage(t));
      if (!done || !soak.Arrived(t)) {
        std::cerr << "transfer " << i << " (" << (t.upload ? "upload" : "download") << ", "
                  << TargetText(t.target) << ", " << t.size << " bytes, " << t.name << ") "
                  << (done ? "left a target that differs from its source" : "failed") << "\n";
        status = 1;
      }
      results.str("");
      if (status == 0 && (i + 1) % kSampleEvery == 0) PrintSample(i + 1);
    }
  }
  tarvik::platform::DestroyWindow(settings.window);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: soak_transfers pyftpdlib|vsftpd|pureftpd|proftpd COUNT LOCAL_FOLDER\n";
    return 2;
  }
  try {
    return RunSoak(argv[1], std::atoi(argv[2]), argv[3]);
  } catch (const std::exception& failure) {
    std::cerr << failure.what() << "\n";
    return 1;
  }
}
