// What every operation of a control shares, whichever connection carries it (the FTP control
// connection, an HTTP download): the property values, the session state and transfer figures,
// the events to the host, the error record and the wait of the blocking methods.
//
// A blocking method marks its operation (BeginAsyncMethod), starts it, and waits, pumping the
// thread's messages, until the operation ends (EndAsyncMethod), an error is recorded or the
// time-out passes. One operation runs at a time; another method is refused meanwhile (16009).
// The carrier of the operations hooks into their end for its own resources (OnOperationEnding,
// OnOperationFailed, OnWaitExpired).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/session/data_transfer_sink.h"
#include "core/session/ftp_states.h"
#include "core/session/session_host.h"
#include "core/session/session_state.h"

namespace tarvik {

class OperationCore {
 public:
  explicit OperationCore(SessionHost& host) : host_(host) {}
  OperationCore(const OperationCore&) = delete;
  OperationCore& operator=(const OperationCore&) = delete;

  SessionSettings& settings() { return settings_; }
  const SessionSettings& settings() const { return settings_; }
  TransferSettings& transfer_settings() { return transfer_settings_; }
  const TransferSettings& transfer_settings() const { return transfer_settings_; }
  SessionState& state() { return state_; }
  const SessionState& state() const { return state_; }
  TransferStatistics& statistics() { return statistics_; }
  const TransferStatistics& statistics() const { return statistics_; }

  // ---- Events to the host ----
  // Raises OnTransfer (for the transfers; the control drops it without a container window).
  void RaiseTransfer() { host_.RaiseTransfer(); }
  // Raises OnServerMessage (MessageInfo and MessageType are set by the caller).
  void RaiseServerMessage() { host_.RaiseServerMessage(); }
  // The one place where FtpState changes; traces old -> new and raises OnStateChange if asked.
  void SetFtpState(FtpStates state, bool raise_event = true);

  // ---- The running operation ----
  void BeginAsyncMethod(Operation operation);
  void EndAsyncMethod();
  // True (with 16009 in the fallback fields) when an operation is running.
  bool RefuseWhileBusy();
  // The running listing or transfer (nullptr when none): the end of its operation closes its
  // local file.
  void SetTransferSink(DataTransferSink* sink) { transfer_sink_ = sink; }
  DataTransferSink* transfer_sink() const { return transfer_sink_; }
  // Waits while the operation runs and no error is recorded. `limit_seconds` of the clock; on
  // expiry raises 20004, or ends the operation quietly when `quiet_expiry`. `each_step` runs
  // before each wait.
  void WaitForOperation(Operation operation, std::int64_t limit_seconds, bool quiet_expiry = false,
                        const std::function<void()>& each_step = {});

  // ---- Errors ----
  // The error record's number, else the fallback number (20061 reads as 10061).
  std::int32_t ErrorNumber() const;
  // The error record's text, else the fallback text, else the table text of ErrorNumber.
  std::string ErrorInfo() const;
  // The control-level report of a failure of `procedure` (ends the running operation).
  void ReportError(std::string_view procedure, std::int32_t number, std::string description,
                   bool show = false);
  // The module-level report: records the error without ending the operation.
  void DispatchError(std::string_view source, std::int32_t number, std::string_view text);
  bool ErrorRecorded() const;
  void Log(std::string_view line) const;

 protected:
  ~OperationCore() = default;

  // The operation is about to end: before the transfer's local file is closed.
  virtual void OnOperationEnding() {}
  // A reported failure of the running operation `running`, before it ends.
  virtual void OnOperationFailed(Operation running) { (void)running; }
  // A wait reached its limit without the operation ending.
  virtual void OnWaitExpired() {}

  SessionHost& host_;
  SessionSettings settings_;
  TransferSettings transfer_settings_;
  SessionState state_;
  TransferStatistics statistics_;
  DataTransferSink* transfer_sink_ = nullptr;
};

// The container window recorded at the latest Connect on this thread (0: none). Progress events
// are raised only while it is non-zero.
std::uintptr_t& ContainerWindow();

}  // namespace tarvik
