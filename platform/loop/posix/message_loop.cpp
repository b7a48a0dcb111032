#include "platform/loop/message_loop.h"

#include <chrono>
#include <thread>

#include "platform/loop/posix/thread_loop.h"
#include "platform/loop/posix/window_directory.h"

namespace tarvik::platform {

using loop::ThreadLoop;

WindowHandle CreateHiddenWindow() {
  return ThreadLoop::Current().CreateWindow();
}

bool DestroyWindow(WindowHandle window) {
  ThreadLoop* own = ThreadLoop::Existing();
  return own != nullptr && own->DestroyWindow(window);
}

bool IsWindow(WindowHandle window) {
  ThreadLoop* own = ThreadLoop::Existing();
  if (own != nullptr && own->OwnsWindow(window)) return true;
  return loop::InboxOf(window) != nullptr;
}

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
  ThreadLoop* own = ThreadLoop::Existing();
  if (own == nullptr) return {};
  return own->ReplaceProcedure(window, std::move(procedure));
}

MessageId RegisterWindowMessage(std::string_view name) {
  return loop::RegisterMessageName(name);
}

bool PostMessage(WindowHandle window, MessageId message, WParam wparam, LParam lparam) {
  // The common case, a window of this very thread, takes no lock.
  ThreadLoop* own = ThreadLoop::Existing();
  if (own != nullptr && own->OwnsWindow(window)) {
    own->PostLocal(window, message, wparam, lparam);
    return true;
  }
  auto inbox = loop::InboxOf(window);
  if (!inbox) return false;
  inbox->Post(window, message, wparam, lparam);
  return true;
}

TimerId SetTimer(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                 TimerProcedure procedure) {
  return ThreadLoop::Current().SetTimer(window, id, elapse_ms, std::move(procedure));
}

bool KillTimer(WindowHandle window, TimerId id) {
  ThreadLoop* own = ThreadLoop::Existing();
  return own != nullptr && own->KillTimer(window, id);
}

std::size_t ProcessPendingMessages() {
  return ThreadLoop::Current().ProcessPending();
}

bool WaitForMessage(std::int64_t timeout_ms) {
  return ThreadLoop::Current().WaitForMessage(timeout_ms);
}

void Sleep(std::uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace tarvik::platform
