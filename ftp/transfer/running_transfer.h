// The file transfer in progress: the local file, the byte counts and the data connection's events
// for one attempt of one file. It is the session's transfer sink while the attempt runs.
//
// Download: RETR (after REST when resuming); each arrival is written in full at the file position,
// without a copy. The download is complete when the server has closed the data connection and
// answered RETR with 226/250, in either order, so that a transfer the server reports as failed
// never passes, and no late reply of RETR is left to be taken for the reply of the next command.
// An existing file that is to be overwritten is opened without truncation and cut only when the
// first byte arrives, or, for an empty file, when the data connection has closed and the final
// reply confirmed it: a transfer that fails before delivering anything leaves the old file as it
// was, whether the server closes the data connection before its refusal or after it.
// In binary mode the size the server stated (an explicit 0 included) bounds the download: the
// first byte beyond it ends the transfer at once as a size mismatch, and only the bytes within
// it are written. Where the size does not count (ASCII mode, WithoutList), MaxSize bounds it.
//
// Upload: STOR (after REST when resuming); once the server has answered STOR with its 1xx mark and
// the data connection is writable, every send completion of the data socket sends the next block
// (see upload_block.h); after the last one the data connection is closed and the 226/250 to STOR
// ends the operation. Bytes sent before the 1xx mark could reach a server that has not opened the
// file yet (some servers connect an active-mode data connection right after PORT).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/session/data_transfer_sink.h"
#include "ftp/transfer/upload_block.h"
#include "platform/fs/file_handles.h"

namespace tarvik {

class FtpSession;

enum class TransferDirection { kDownload, kUpload };

// What one attempt moves.
struct TransferPlan {
  TransferDirection direction = TransferDirection::kDownload;
  std::string local_path;          // drive path of the local file
  std::string remote_path;         // remote path as the host gave it (for log lines)
  std::string remote_argument;     // argument of RETR/STOR
  std::int64_t expected_size = 0;  // remote size (download) or local size (upload)
  std::int64_t offset = 0;         // resume offset: bytes already at the target
  bool replace_existing = false;   // download: cut an existing local file before writing
  bool size_unknown = false;       // download without a known size (WithoutList)
  bool ascii_mode = false;         // TYPE A: the server may change line ends, so the byte count
                                   // of a download need not match the size; its 226 decides
};

class RunningTransfer final : public DataTransferSink {
 public:
  // Becomes the session's transfer sink until destroyed.
  RunningTransfer(FtpSession& session, TransferPlan plan);
  ~RunningTransfer();
  RunningTransfer(const RunningTransfer&) = delete;
  RunningTransfer& operator=(const RunningTransfer&) = delete;

  // The transfer `session` runs, nullptr when it runs none.
  static RunningTransfer* Of(FtpSession& session);

  const TransferPlan& plan() const { return plan_; }
  // Bytes at the target so far, the resume offset included.
  std::int64_t bytes_done() const { return bytes_done_; }
  // The size the progress figures use: the expected size, or what arrived when it is unknown.
  std::int64_t shown_size() const;
  // Download: both halves of the end (close and final reply) have arrived.
  bool download_complete() const { return data_closed_ && final_reply_; }

  // Opens the local file for this attempt and moves to the offset; a download that resumes also
  // sends REST. False (reported as 20023/20024) when the file cannot be opened.
  bool OpenLocalFile();
  // The data path is ready (passive: connected; active: PORT accepted): the download opens its
  // file and sends RETR (or REST first); the upload sends REST or STOR.
  void StartTransferCommand();
  // RETR or STOR, with the log line of the step.
  void SendRetrieveOrStore();
  // The final 226/250 to RETR arrived.
  void DownloadReplyReceived();
  // The download counts as complete (also when the wait stopped waiting for the server's word
  // with every byte here): a file being replaced that got no byte becomes the empty new file.
  void CompleteReplacement();
  // The server answered STOR with its 1xx mark: it reads the data from now on.
  void StoreAccepted();

  void OnDataConnected() override { StartTransferCommand(); }
  void OnDataReceived(std::string_view bytes) override;
  void OnDataSendComplete() override;
  void OnDataClosed() override;
  void OnDataAborted() override {}
  void CloseLocalFile() override;

 private:
  void UploadData();
  void EndWhenDownloadComplete();
  // Download: both halves of the end arrived without a byte, and the file is to be empty.
  bool EmptyFileConfirmed() const;
  // How many more bytes the download may write (see the bound above).
  std::int64_t DownloadRoom() const;
  // More bytes arrived than the bound: the size mismatch (stated size) or 20003 (MaxSize).
  [[noreturn]] void RaiseOversize() const;
  // Cuts a file that is being replaced, once, before its first byte is written.
  void TruncateIfReplacing();
  void CountProgress(std::int64_t count);

  FtpSession& session_;
  DataTransferSink* previous_sink_;  // restored when the attempt is done
  TransferPlan plan_;
  platform::HANDLE file_ = platform::INVALID_HANDLE_VALUE;
  std::int64_t bytes_done_;            // bytes at the target, offset included
  bool truncate_pending_ = false;      // the replaced file has not been cut yet
  bool rest_sent_ = false;             // REST went out; RETR/STOR follow its 350
  bool data_closed_ = false;           // download: the server closed the data connection
  bool final_reply_ = false;           // download: 226/250 to RETR arrived
  bool store_accepted_ = false;        // upload: STOR answered with 1xx
  bool data_writable_ = false;         // upload: the data connection took its first send completion
  UploadBlockState block_;             // adaptive upload block size
  std::int64_t block_started_ms_ = 0;  // when the block in flight was handed over
};

}  // namespace tarvik
