// The transfers of one control: single files (DownloadOne, UploadOne) with their checks, the
// decision about an existing target, resume, the automatic retry, and lists of files (Download,
// Upload). The control owns one engine beside its session.
//
// A single-file transfer is one operation of the session (8 download, 9 upload) and a wait: the
// reply rows (transfer_rows.h) and the data connection (RunningTransfer) move the bytes while the
// wait pumps the thread's messages, so the host's OnTransfer and OnServerMessage handlers run
// inside it and may call Abort or AbortCurrent, or read properties; a server method started from
// them is refused with 16009.
//
// Failures are raised inside (NumberedError) and end in the retry handler, which either tries
// again after a countdown, resuming from what arrived, or reports the error
// (ErrorNumber/ErrorInfo) and returns false.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

class FtpSession;
class RunningTransfer;
enum class TransferDirection;

class TransferEngine {
 public:
  explicit TransferEngine(FtpSession& session) : session_(session) {}

  // Public methods of the control: every item of RemotePath to its LocalPath item (Download), or
  // the other way (Upload). True when every item was handled.
  bool Download();
  bool Upload();

  // One file: RemotePath to LocalPath, or LocalPath to RemotePath. True when transferred, already
  // complete or skipped.
  bool DownloadOne();
  bool UploadOne();

  // The transfer watchdog (every 5 s, and on every pass of a transfer's wait): a transfer silent
  // for more than Timeout seconds ends, as done when every byte had moved, else with 20004.
  void TimeouterTick();

  // Titles of the control's dialogs to keep above other windows ("|"-joined).
  std::string& windows_to_raise() { return windows_to_raise_; }
  // Seconds of the countdown before a retry.
  std::int16_t retry_countdown_seconds = 5;

 private:
  bool TransferOne(TransferDirection direction);
  bool RunDownload();
  bool RunUpload();
  // Waits while the transfer runs; ends it when every byte moved but the server stays silent.
  void WaitForTransfer(RunningTransfer& transfer);
  // The retry handler: the attempt failed with `number`/`description`.
  bool AfterFailure(TransferDirection direction, long number, std::string description,
                    bool resume_keeps_old_contents);
  bool RetryAllowed(TransferDirection direction, long number, const std::string& info) const;
  // Waits until `until` on the clock, pumping messages; false when an Abort gave up the retry
  // meanwhile.
  bool WaitUntil(std::int64_t until);

  bool RunFileList(TransferDirection direction);

  FtpSession& session_;
  std::string windows_to_raise_;
  std::int16_t store_restarts_ = 0;  // STOR refused with 421/550 and started again (at most once)
};

}  // namespace tarvik
