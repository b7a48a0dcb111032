// The thread's message loop: hidden windows with their window procedures, registered window
// messages, posted messages, timers and the sockets selected for notification (winsock.h). On
// Windows these are the thread's own message queue, message-only windows and the system's timers.
// On Linux they are served by one poll() wait per thread, as described below.
//
// Every thread that calls into this header gets its own loop, created on first use and torn down
// when the thread ends. Windows, timers and socket selections belong to the loop of the thread that
// made them and are served only by that thread. PostMessage is the one call that may come from any
// thread: it queues the message on the window's own loop and wakes that loop if it is waiting.
//
// Dispatch order inside one pass: posted messages and socket notifications in the order they were
// queued, then the timers that are due (like WM_TIMER, timers rank below posted messages).
//
// Re-entrancy: a window procedure, timer procedure or socket handler may call
// ProcessPendingMessages() again (as a blocking method waiting inside an event handler does). The
// nested pass handles what is queued at that moment; the outer pass then goes on with what is left
// of its own share. A timer never fires again while its own procedure is still running.
//
// Procedures are expected to handle their own failures. An exception that escapes one leaves the
// loop consistent: it propagates out of ProcessPendingMessages to its caller, and the messages the
// pass had not reached yet wait for the next pass.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace tarvik::platform {

using WindowHandle = std::uintptr_t;  // 0: no window
using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;
using TimerId = std::uintptr_t;

using WindowProcedure = std::function<LResult(WindowHandle, MessageId, WParam, LParam)>;
using TimerProcedure = std::function<void(WindowHandle, TimerId)>;

inline constexpr MessageId kWmTimer = 0x0113;  // wParam: the timer's id
inline constexpr MessageId kWmUser = 0x0400;   // first message number free for private use

// Creates a hidden window on the calling thread's loop. Its procedure does nothing and returns 0
// until replaced with SetWindowProcedure. Never fails on this platform; handles are never reused.
WindowHandle CreateHiddenWindow();

// Destroys a window of the calling thread: its queued messages and its timers go with it, and the
// sockets selected for notification to it stop being watched. False for an unknown window or a
// window of another thread.
bool DestroyWindow(WindowHandle window);

// True while `window` exists (on any thread).
bool IsWindow(WindowHandle window);

// Replaces the procedure of a window of the calling thread (subclassing) and returns the previous
// one, to be put back before the window is destroyed. Returns an empty procedure and changes
// nothing for an unknown window. A procedure replaced while it runs finishes its call.
WindowProcedure SetWindowProcedure(WindowHandle window, WindowProcedure procedure);

// The process-wide number of a named message, from 0xC000 up; the same name (compared without
// regard to case) always gives the same number. 0 for an empty name.
MessageId RegisterWindowMessage(std::string_view name);

// Queues a message for `window`, from any thread. False when the window does not exist.
bool PostMessage(WindowHandle window, MessageId message, WParam wparam, LParam lparam);

// Starts or restarts timer `id` of `window`: every `elapse_ms` (at least 1) milliseconds of the
// current clock (platform/time/clock.h) the loop calls `procedure`, or, without one, sends kWmTimer
// with wParam = id to the window's procedure. With window 0 the timer belongs to the thread, needs
// a procedure, and gets a fresh id (the `id` argument is ignored). Returns the timer's id, 0 on
// failure (unknown window, or window 0 without a procedure).
TimerId SetTimer(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                 TimerProcedure procedure = {});

// Stops a timer. False when there is no such timer.
bool KillTimer(WindowHandle window, TimerId id);

// One pass of the message pump: collects socket readiness and messages posted from other threads
// without waiting, then dispatches every message queued when the pass began, then the due timers.
// Returns how many messages and timer calls this pass dispatched itself.
std::size_t ProcessPendingMessages();

// Waits until something is ready to dispatch (a queued message, a socket event, a message from
// another thread, a due timer) or `timeout_ms` milliseconds of real time have passed, whichever
// comes first; dispatches nothing. True when something is ready. 0 checks once without waiting.
bool WaitForMessage(std::int64_t timeout_ms);

// Suspends the thread for `ms` milliseconds without dispatching anything.
void Sleep(std::uint32_t ms);

}  // namespace tarvik::platform
