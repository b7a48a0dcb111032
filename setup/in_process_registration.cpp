#include "setup/in_process_registration.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/com/server_module.h"
#include "platform/shell/dynamic_library.h"

namespace tarvik::setup {
namespace {

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
  const auto entry = run->library.Function<platform::com::DllEntryFunction>("DllRegisterServer");
  if (entry == nullptr) return Registration::kNoEntry;
  std::thread thread;
  try {
    thread = std::thread([run, entry] {
      entry();
      std::lock_guard<std::mutex> lock(run->mutex);
      run->done = true;
      run->finished.notify_all();
    });
  } catch (const std::system_error&) {
    return Registration::kNoThread;
  }
  bool done = false;
  {
    std::unique_lock<std::mutex> lock(run->mutex);
    done = run->finished.wait_for(lock, limit, [&] { return run->done; });
  }
  if (!done) {
    thread.detach();
    return Registration::kStillRunning;
  }
  // The thread has only to end: joining it lets the library be unloaded here, not on the thread
  // while this program goes on.
  thread.join();
  return Registration::kDone;
}

}  // namespace tarvik::setup
