#include "net/socket_support.h"

#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/pending_error.h"
#include "net/csocket.h"

namespace tarvik::MSocketSupport {
namespace {

namespace ws = platform::winsock;

// The message posted for socket events; unique to the library and stable for the process.
constexpr std::string_view kWinsockMessageName = "TarvikFtp.WinsockMessage";

// Run-time errors that WindowProc drops without a report: "object variable not set" and
// "invalid procedure call" (a handle that is no longer registered).
constexpr long kObjectNotSet = 91;
constexpr long kInvalidCall = 5;
// "This key is already associated with an element of this collection".
constexpr long kDuplicateKey = 457;

std::string StartupFailureMessage(int code) {
  switch (code) {
    case ws::kWsaEInval:
      return "The Windows Sockets version specified by the application is not supported by this "
             "DLL.";
    case ws::kWsaSysNotReady:
      return "The underlying network subsystem is not ready for network communication.";
    case ws::kWsaVerNotSupported:
      return "The version of Windows Sockets API support requested is not provided by this "
             "particular Windows Sockets implementation.";
    default:
      return {};
  }
}

// The hidden window, subclassed so that its procedure is WindowProc. Window creation cannot fail
// on this platform, so there is no "Create Window Error" path.
platform::WindowHandle CreateWinsockMessageWindow() {
  ModuleState& state = State();
  const platform::WindowHandle window = platform::CreateHiddenWindow();
  state.PreviousWindowProc = platform::SetWindowProcedure(window, WindowProc);
  return window;
}

bool DestroyWinsockMessageWindow() {
  ModuleState& state = State();
  platform::SetWindowProcedure(state.NotifyWindow, std::move(state.PreviousWindowProc));
  state.PreviousWindowProc = nullptr;
  const bool destroyed = platform::DestroyWindow(state.NotifyWindow);
  state.NotifyWindow = 0;
  return destroyed;
}

// The thread's module state, behind a plain pointer so that a socket object destroyed late at
// thread exit finds a fresh, empty state rather than a destroyed one.
thread_local ModuleState* t_state = nullptr;

struct StateOwner {
  ~StateOwner() {
    delete t_state;
    t_state = nullptr;
  }
};
thread_local StateOwner t_state_owner;

}  // namespace

ModuleState& State() {
  if (t_state == nullptr) {
    (void)&t_state_owner;  // odr-use: the owner exists, and deletes the state at thread exit
    t_state = new ModuleState();
  }
  return *t_state;
}

std::int32_t InitWinsockService() {
  ModuleState& state = State();
  if (state.WinsockStarted) return state.MaxDatagramSize;
  ws::StartupData data;
  const int result = ws::Startup(0x0101, data);
  if (result != 0) {
    const std::string message = StartupFailureMessage(result);
    if (!message.empty()) EnsureErrorRecord().put_Description(message);
    DispatchError("InitWinsockService", result, message, true);
    return 0;
  }
  state.WinsockStarted = true;
  state.MaxDatagramSize = data.max_udp_datagram;  // unsigned 16-bit, so never negative here
  state.WinsockMessage = platform::RegisterWindowMessage(kWinsockMessageName);
  return state.MaxDatagramSize;
}

void CleanupWinsockService() {
  ModuleState& state = State();
  if (!state.SocketRegistry && state.WinsockStarted) {
    ws::Cleanup();
    state.WinsockStarted = false;
  }
}

bool RegisterSocket(ws::Socket handle, CSocket* object) {
  ModuleState& state = State();
  if (state.NotifyWindow == 0) state.NotifyWindow = CreateWinsockMessageWindow();
  if (!state.SocketRegistry) state.SocketRegistry.emplace();
  if (!state.SocketRegistry->emplace(handle, object).second) {
    EnsureErrorRecord().put_Number(kDuplicateKey);
    return false;
  }
  if (ws::AsyncSelect(handle, state.NotifyWindow, state.WinsockMessage, kEventMask) != 0) {
    EnsureErrorRecord().put_Number(ws::GetLastError());
    return false;
  }
  return true;
}

bool UnregisterSocket(ws::Socket handle) {
  ModuleState& state = State();
  if (!state.SocketRegistry || handle == ws::kInvalidSocket) return false;
  ws::AsyncSelect(handle, state.NotifyWindow, 0, 0);
  if (state.SocketRegistry->erase(handle) == 0)
    Raise(kInvalidCall, "Invalid procedure call or argument");
  if (!state.SocketRegistry->empty()) return true;
  state.SocketRegistry.reset();
  return DestroyWinsockMessageWindow();
}

platform::LResult WindowProc(platform::WindowHandle, platform::MessageId message,
                             platform::WParam wparam, platform::LParam lparam) {
  ModuleState& state = State();
  if (message != state.WinsockMessage || message == 0) return 0;
  try {
    std::shared_ptr<CSocket> object;
    if (state.SocketRegistry) {
      auto entry = state.SocketRegistry->find(static_cast<ws::Socket>(wparam));
      if (entry != state.SocketRegistry->end()) object = SocketObjectFromPointer(entry->second);
    }
    const std::int32_t event = LoWord(static_cast<std::int32_t>(lparam));
    std::int32_t error = HiWord(static_cast<std::int32_t>(lparam));
    if (!object) return 0;  // not (or no longer) registered: dropped without a report
    // Other notifications, of this socket or others, may run before this data-ready one.
    if (event == kEventRead) platform::ProcessPendingMessages();
    // While the control connection is being opened, the first notification after ready-to-send
    // must be the server's greeting arriving; anything else is a failed connect.
    if (state.ConnectPending && state.LastSocketEvent == kEventWrite && error == 0) {
      if (event != kEventRead) error = ErrorCode::kConnectNoResponse;
      state.ConnectPending = false;
    }
    state.LastSocketEvent = event;
    object->PostSocketEvent(event, error);
  } catch (const NumberedError& e) {
    if (e.number() != kObjectNotSet && e.number() != kInvalidCall) {
      PendingErrorScope pending(e.number(), e.description());
      DispatchError("WindowProc", e.number(), e.description(), true);
    }
  } catch (const std::exception& e) {
    // Whatever else an owner's handler let through is reported, never passed into the loop.
    DispatchError("WindowProc", 0, e.what(), true);
  }
  return 0;
}

std::shared_ptr<CSocket> SocketObjectFromPointer(CSocket* object) {
  return object == nullptr ? nullptr : object->weak_from_this().lock();
}

std::string ResolveHostName(std::string_view host_name) {
  const auto entry = ws::GetHostByName(host_name);
  if (!entry || entry->addresses.empty()) return {};
  return ws::InetNtoa(entry->addresses.front());
}

}  // namespace tarvik::MSocketSupport
