#include "setup/in_process_registration.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/shell/dynamic_library.h"

namespace tarvik::setup {
namespace {

using RegisterEntry = long (*)();

// What the waiting program and the registration thread share. The thread owns it too, so a
// library whose entry outlives the wait stays loaded until the entry returns.
struct Run {
  platform::DynamicLibrary library;
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
};

}  // namespace

Registration RegisterInProcess(const std::string& library, std::chrono::milliseconds limit) {
  auto run = std::make_shared<Run>();
  if (!run->library.Open(library)) return Registration::kNotLoaded;
  const auto entry = run->library.Function<RegisterEntry>("DllRegisterServer");
  if (entry == nullptr) return Registration::kNoEntry;
  try {
    std::thread([run, entry] {
      entry();
      std::lock_guard<std::mutex> lock(run->mutex);
      run->done = true;
      run->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return Registration::kNoThread;
  }
  std::unique_lock<std::mutex> lock(run->mutex);
  return run->finished.wait_for(lock, limit, [&] { return run->done; })
             ? Registration::kDone
             : Registration::kStillRunning;
}

}  // namespace tarvik::setup
