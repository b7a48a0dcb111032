#include "control/ftp_library.h"

#include "control/property_rules.h"
#include "core/errors/error_record.h"
#include "core/errors/log_file.h"
#include "core/errors/message_table.h"

namespace tarvik {
namespace {

constexpr platform::TimerId kTimer1 = 1;
constexpr std::uint32_t kTimer1IntervalMs = 2000;
constexpr platform::TimerId kTimeouter = 2;
constexpr std::uint32_t kTimeouterIntervalMs = 5000;
constexpr platform::TimerId kTimerWinOnTop = 3;
constexpr std::uint32_t kTimerWinOnTopIntervalMs = 1000;

}  // namespace

FtpLibrary::FtpLibrary()
    : session_(*this), transfer_(session_), http_(session_, transfer_.windows_to_raise()) {
  // The property defaults are the members' initial values; then the message texts, and a log
  // that has grown too large restarts empty.
  LoadMessageTexts();
  TrimLogFileAtStartup();
  timer_window_ = platform::CreateHiddenWindow();
}

FtpLibrary::~FtpLibrary() {
  SetTimersEnabled(false);
  session_.Terminate();
  ReleaseErrorRecord();
  platform::DestroyWindow(timer_window_);
}

void FtpLibrary::ReadProperties() {
  session_.EnsureSessionObjects();
}

// ---- SessionHost ----

void FtpLibrary::RaiseStateChange() {
  if (events_ != nullptr) events_->OnStateChange();
}

void FtpLibrary::RaiseServerMessage() {
  if (events_ != nullptr) events_->OnServerMessage();
}

void FtpLibrary::SetTimersEnabled(bool enabled) {
  if (!enabled) {
    platform::KillTimer(timer_window_, kTimer1);
    platform::KillTimer(timer_window_, kTimeouter);
    platform::KillTimer(timer_window_, kTimerWinOnTop);
    return;
  }
  platform::SetTimer(timer_window_, kTimer1, kTimer1IntervalMs,
                     [this](platform::WindowHandle, platform::TimerId) { session_.Timer1Tick(); });
  platform::SetTimer(
      timer_window_, kTimeouter, kTimeouterIntervalMs,
      [this](platform::WindowHandle, platform::TimerId) { transfer_.TimeouterTick(); });
  platform::SetTimer(timer_window_, kTimerWinOnTop, kTimerWinOnTopIntervalMs,
                     [this](platform::WindowHandle, platform::TimerId) { TimerWinOnTopTick(); });
}

void FtpLibrary::RaiseTransfer() {
  transfer_.BeforeTransferEvent();
  if (events_ != nullptr && ContainerWindow() != 0) events_->OnTransfer();
}

std::uintptr_t FtpLibrary::ContainerWindowFromSite() {
  return site_ != nullptr ? site_->ContainerWindow() : 0;
}

// ---- Methods ----

bool FtpLibrary::Connect() {
  return session_.Connect();
}
bool FtpLibrary::Disconnect() {
  return session_.Disconnect();
}
bool FtpLibrary::CloseConnection() {
  return Disconnect();
}
bool FtpLibrary::Abort() {
  // A running HTTP download is only asked to stop; its wait ends it with 16010.
  if (http_.Active()) {
    session_.state().abort_requested = true;
    return true;
  }
  return session_.Abort();
}
void FtpLibrary::AbortCurrent() {
  if (http_.Active()) {
    Abort();
    return;
  }
  session_.AbortCurrent();
}

std::string FtpLibrary::SendCommand(std::string_view FtpCmd, std::string_view Arguments) {
  return session_.SendCommand(FtpCmd, Arguments);
}

std::string FtpLibrary::GetCurrentDirectory() {
  return session_.GetCurrentDirectory();
}

}  // namespace tarvik
