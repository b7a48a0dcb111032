#include "platform/loop/posix/window_directory.h"

#include <atomic>
#include <mutex>
#include <string>
#include <unordered_map>

#include "platform/text/ascii_text.h"

namespace tarvik::platform::loop {
namespace {

struct Directory {
  std::mutex mutex;
  std::unordered_map<WindowHandle, std::shared_ptr<CrossThreadInbox>> windows;
  std::unordered_map<std::string, MessageId> message_numbers;  // by lower-cased name
  MessageId next_message = 0xC000;
};

Directory& TheDirectory() {
  static Directory directory;
  return directory;
}

}  // namespace

WindowHandle AllocateWindowHandle() {
  // Starts well above 0 and small integers so that a stray number is unlikely to name a window.
  static std::atomic<WindowHandle> next{0x10000};
  return next.fetch_add(1, std::memory_order_relaxed);
}

void PublishWindow(WindowHandle window, std::shared_ptr<CrossThreadInbox> inbox) {
  Directory& d = TheDirectory();
  std::lock_guard lock(d.mutex);
  d.windows[window] = std::move(inbox);
}

void WithdrawWindow(WindowHandle window) {
  Directory& d = TheDirectory();
  std::lock_guard lock(d.mutex);
  d.windows.erase(window);
}

std::shared_ptr<CrossThreadInbox> InboxOf(WindowHandle window) {
  Directory& d = TheDirectory();
  std::lock_guard lock(d.mutex);
  auto it = d.windows.find(window);
  return it == d.windows.end() ? nullptr : it->second;
}

MessageId RegisterMessageName(std::string_view name) {
  if (name.empty()) return 0;
  const std::string key = ToLowerAscii(name);
  Directory& d = TheDirectory();
  std::lock_guard lock(d.mutex);
  auto [it, added] = d.message_numbers.try_emplace(key, d.next_message);
  if (added) ++d.next_message;
  return it->second;
}

}  // namespace tarvik::platform::loop
