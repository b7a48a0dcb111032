// The transfers of one control: single files (DownloadOne, UploadOne) with their checks, the
// decision about an existing target, resume, the automatic retry; and batches (Download, Upload)
// of files, folder trees and wildcard patterns, with the upload queue and the status files. The
// control owns one engine beside its session.
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
#include <vector>

#include "local/local_file_methods.h"
#include "local/path_lists.h"

namespace tarvik {

class FtpSession;
class RunningTransfer;
enum class TransferDirection;

class TransferEngine {
 public:
  explicit TransferEngine(FtpSession& session);

  // Public methods of the control: every item of RemotePath to its LocalPath item (Download), or
  // the other way (Upload): files, folder trees ("/pub/docs/", "C:\data\") and the entries of a
  // folder matching a pattern ("/pub/*.zip"). True when every item was handled.
  bool Download();
  bool Upload();

  // The running upload batch's queue: a local file or folder added (uploaded after the batch's
  // own items), or a pending file taken out (skipped when its turn comes).
  void QueueAppend(std::string_view path);
  void QueueRemove(std::string_view path);

  // The TranstatePath property: the folder of the status files ("" = none).
  void SetTranstatePath(std::string_view value);
  // Just before every OnTransfer event: the status line written to "trans.sta", and a
  // "cancel.sta" left there by another process taken as Abort.
  void BeforeTransferEvent();

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

  // A folder a download walk is inside.
  struct WalkedFolder {
    std::string real_path;  // the folder's path on the server, links resolved
    int links = 0;          // links the walk followed to reach it
  };

 private:
  bool TransferOne(TransferDirection direction);
  bool RunDownload();
  bool RunUpload();
  // Waits while the transfer runs; ends it when every byte moved but the server stays silent.
  void WaitForTransfer(RunningTransfer& transfer);
  // A connection reset by the peer raises no event, its socket only enters the error state: a
  // transfer whose control or data connection ended so fails at once (16011, or the data
  // connection's error) instead of waiting for the watchdog.
  void NoticeResetConnections();
  // The retry handler: the attempt failed with `number`/`description`.
  bool AfterFailure(TransferDirection direction, long number, std::string description,
                    bool resume_keeps_old_contents);
  bool RetryAllowed(TransferDirection direction, long number, const std::string& info) const;
  // Waits until `until` on the clock, pumping messages; false when an Abort gave up the retry
  // meanwhile.
  bool WaitUntil(std::int64_t until);

  // The batch of Download or Upload: checks, plan, folder pass, file pass, upload queue, finish.
  bool RunBatch(TransferDirection direction);
  void PlanUploadTotals(const BatchPlan& plan);
  // A remote folder or pattern (absolute) into the local folder `local_folder` (ending in "\"),
  // with its subfolders. `inside` holds the folders the walk is inside, this one last (empty for
  // the batch's own item: its path as given).
  void DownloadFolder(const std::string& remote_item, const std::string& local_folder,
                      std::vector<WalkedFolder> inside = {});
  // A local folder or pattern to the remote folder `remote_folder` (ending in "/"), with its
  // subfolders.
  void UploadFolder(const std::string& local_item, const std::string& remote_folder);
  // Files one by one. The first failure ends the batch (raised), except a file stopped by
  // AbortCurrent, which is recorded in AbortedFiles.
  void TransferFiles(TransferDirection direction, const std::vector<BatchItem>& items);
  // An Abort asked for between two files ends the batch with 16010.
  void TakeAbortRequest();
  // The upload's remote size from one listing of the file's folder per folder, for files found
  // inside a folder item; false when the rule does not apply to this file.
  bool LookUpInFolderListing(const std::string& remote_path, std::int64_t& size, std::string& date);
  void ChangeQueue(std::string_view path, bool remove);

  FtpSession& session_;
  LocalFileMethods local_;
  std::string upload_queue_;               // "|"-joined local paths added by QueueAppend
  bool continuing_queue_ = false;          // Upload runs again for the queue
  std::vector<std::string> upload_items_;  // lower-cased items of the running Upload's LocalPath
  std::string windows_to_raise_;
  std::int16_t store_restarts_ = 0;  // STOR refused with 421/550 and started again (at most once)
};

}  // namespace tarvik
