// The message loop on the thread's own Windows message queue: hidden windows are message-only
// windows, timers are the system's, and a pass of the pump ends at a marker it posts to its own
// thread, so that it handles what was queued when it began and not what its handlers post.
#include "platform/loop/message_loop.h"

#include <exception>
#include <map>
#include <memory>
#include <set>
#include <utility>

#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

// What belongs to the windows and timers of the calling thread.
struct ThreadState {
  // The procedures, shared so that one replaced while it runs lives on until its call returns.
  std::map<::HWND, std::shared_ptr<WindowProcedure>> windows;
  struct Timer {
    std::shared_ptr<TimerProcedure> procedure;
    bool running = false;  // its call is on the stack; it does not fire again meanwhile
  };
  std::map<std::pair<::HWND, ::UINT_PTR>, Timer> timers;
  std::exception_ptr escaped;  // thrown by a procedure, rethrown once the system returns
  ::WPARAM next_pass = 1;      // marker of the next pass of the pump (wraps as WPARAM does)
  std::set<::WPARAM> reached;  // markers taken by a nested pass for an outer one
};

thread_local ThreadState t_state;

::HWND ToHwnd(WindowHandle window) {
  return reinterpret_cast<::HWND>(window);
}

WindowHandle FromHwnd(::HWND window) {
  return reinterpret_cast<WindowHandle>(window);
}

::HINSTANCE ThisModule() {
  ::HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

// Calls `call`, keeping an exception it throws for the pump to rethrow: exceptions do not cross
// the system's own frames.
template <typename Call>
void Guarded(Call&& call) {
  try {
    call();
  } catch (...) {
    if (!t_state.escaped) t_state.escaped = std::current_exception();
  }
}

void RethrowEscaped() {
  if (t_state.escaped) std::rethrow_exception(std::exchange(t_state.escaped, nullptr));
}

// Runs the procedure of timer `key` unless it is running already.
void FireTimer(std::pair<::HWND, ::UINT_PTR> key) {
  const auto found = t_state.timers.find(key);
  if (found == t_state.timers.end() || found->second.running) return;
  const std::shared_ptr<TimerProcedure> procedure = found->second.procedure;
  found->second.running = true;
  Guarded([&] { (*procedure)(FromHwnd(key.first), key.second); });
  // The procedure may have killed or restarted its timer.
  if (const auto still = t_state.timers.find(key); still != t_state.timers.end())
    still->second.running = false;
}

LRESULT CALLBACK HiddenWindowProc(::HWND window, ::UINT message, ::WPARAM wparam,
                                  ::LPARAM lparam) {
  const auto found = t_state.windows.find(window);
  // System messages (creation, destruction, ...) get the system's handling; the window's
  // procedure sees its timers and the messages numbered from kWmUser up.
  if (found == t_state.windows.end() || (message != kWmTimer && message < kWmUser))
    return DefWindowProcW(window, message, wparam, lparam);
  if (message == kWmTimer && t_state.timers.contains({window, wparam})) {
    FireTimer({window, wparam});
    return 0;
  }
  const std::shared_ptr<WindowProcedure> procedure = found->second;
  LResult result = 0;
  if (*procedure) Guarded([&] { result = (*procedure)(FromHwnd(window), message, wparam, lparam); });
  return result;
}

void CALLBACK ThreadTimerProc(::HWND, ::UINT, ::UINT_PTR id, ::DWORD) {
  FireTimer({nullptr, id});
}

// The window class of the hidden windows, registered on first use for this module and
// unregistered when the module is unloaded, so that a reloaded library never meets a class
// whose procedure was unmapped.
class HiddenWindowClass {
 public:
  HiddenWindowClass() {
    name_ = L"TarvikHiddenWindow." + std::to_wstring(reinterpret_cast<std::uintptr_t>(ThisModule()));
    ::WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = HiddenWindowProc;
    window_class.hInstance = ThisModule();
    window_class.lpszClassName = name_.c_str();
    RegisterClassExW(&window_class);
  }
  ~HiddenWindowClass() { UnregisterClassW(name_.c_str(), ThisModule()); }
  const wchar_t* name() const { return name_.c_str(); }

 private:
  std::wstring name_;
};

const wchar_t* HiddenWindowClassName() {
  static const HiddenWindowClass window_class;
  return window_class.name();
}

// The message that ends a pass of the pump; wParam is the pass.
::UINT PassMarker() {
  static const ::UINT marker = RegisterWindowMessageW(L"TarvikMessagePumpPassEnd");
  return marker;
}

}  // namespace

WindowHandle CreateHiddenWindow() {
  const ::HWND window = CreateWindowExW(0, HiddenWindowClassName(), L"", 0, 0, 0, 0, 0,
                                        HWND_MESSAGE, nullptr, ThisModule(), nullptr);
  if (window != nullptr) t_state.windows[window] = std::make_shared<WindowProcedure>();
  return FromHwnd(window);
}

bool DestroyWindow(WindowHandle window) {
  const ::HWND hwnd = ToHwnd(window);
  if (!t_state.windows.contains(hwnd) || !::DestroyWindow(hwnd)) return false;
  t_state.windows.erase(hwnd);
  std::erase_if(t_state.timers, [hwnd](const auto& timer) { return timer.first.first == hwnd; });
  return true;
}

bool IsWindow(WindowHandle window) {
  return window != 0 && ::IsWindow(ToHwnd(window));
}

WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure) {
  const auto found = t_state.windows.find(ToHwnd(window));
  if (found == t_state.windows.end()) return {};
  WindowProcedure previous = *found->second;
  found->second = std::make_shared<WindowProcedure>(std::move(procedure));
  return previous;
}

MessageId RegisterWindowMessage(std::string_view name) {
  if (name.empty()) return 0;
  return RegisterWindowMessageW(WideFromUtf8(name).c_str());
}

bool PostMessage(WindowHandle window, MessageId message, WParam wparam, LParam lparam) {
  return window != 0 && PostMessageW(ToHwnd(window), message, wparam, lparam);
}

TimerId SetTimer(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                 TimerProcedure procedure) {
  const ::HWND hwnd = ToHwnd(window);
  if (elapse_ms == 0) elapse_ms = 1;
  if (hwnd == nullptr) {
    if (!procedure) return 0;
    const ::UINT_PTR fresh = ::SetTimer(nullptr, 0, elapse_ms, ThreadTimerProc);
    if (fresh == 0) return 0;
    t_state.timers[{nullptr, fresh}] = {std::make_shared<TimerProcedure>(std::move(procedure))};
    return fresh;
  }
  if (!t_state.windows.contains(hwnd) || ::SetTimer(hwnd, id, elapse_ms, nullptr) == 0) return 0;
  if (procedure) {
    auto& timer = t_state.timers[{hwnd, id}];
    timer.procedure = std::make_shared<TimerProcedure>(std::move(procedure));
  } else {
    t_state.timers.erase({hwnd, id});
  }
  return id;
}

bool KillTimer(WindowHandle window, TimerId id) {
  const bool known = t_state.timers.erase({ToHwnd(window), id}) > 0;
  return ::KillTimer(ToHwnd(window), id) || known;
}

std::size_t ProcessPendingMessages() {
  const ::WPARAM pass = t_state.next_pass++;
  PostThreadMessageW(GetCurrentThreadId(), PassMarker(), pass, 0);
  std::size_t dispatched = 0;
  ::MSG message{};
  // Everything posted before the marker, in order; the system ranks timers below posted messages.
  while (!t_state.reached.erase(pass) && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.hwnd == nullptr && message.message == PassMarker()) {
      if (message.wParam == pass) break;
      t_state.reached.insert(message.wParam);  // an outer pass ends when its handler returns
      continue;
    }
    DispatchMessageW(&message);
    ++dispatched;
    RethrowEscaped();
  }
  // Then the timers that are due.
  while (PeekMessageW(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    DispatchMessageW(&message);
    ++dispatched;
    RethrowEscaped();
  }
  return dispatched;
}

bool WaitForMessage(std::int64_t timeout_ms) {
  const ::DWORD limit = timeout_ms <= 0 ? 0
                        : timeout_ms >= INFINITE ? INFINITE - 1
                                                 : static_cast<::DWORD>(timeout_ms);
  return MsgWaitForMultipleObjectsEx(0, nullptr, limit, QS_ALLINPUT, MWMO_INPUTAVAILABLE) ==
         WAIT_OBJECT_0;
}

void Sleep(std::uint32_t ms) {
  ::Sleep(ms);
}

}  // namespace tarvik::platform
