// The listing in progress: what the reply handler and the data connection need to carry it
// (TYPE -> PASV/PORT -> the list command -> the text until the data connection closes), and the
// text received so far. It is the session's transfer sink while the listing runs.
//
// In passive mode the listing is complete when both the transfer-complete reply (226 or 250) and
// the close of the data connection have arrived, in either order; in active mode the close alone
// ends it. A listing text longer than `max_bytes` ends the operation at once (TooLarge()), its
// bytes dropped.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/session/data_transfer_sink.h"

namespace tarvik {

class FtpSession;

class RunningListing final : public DataTransferSink {
 public:
  // Becomes the session's transfer sink until destroyed.
  RunningListing(FtpSession& session, std::string list_argument, bool single_file_query,
                 std::size_t max_bytes);
  ~RunningListing();
  RunningListing(const RunningListing&) = delete;
  RunningListing& operator=(const RunningListing&) = delete;

  // The listing `session` runs, nullptr when it runs none.
  static RunningListing* Of(FtpSession& session);

  // Sends the list command (LIST, "LIST -al" or MLSD, by the session's settings) with the
  // argument of this listing.
  void SendListCommand();
  // The transfer-complete reply arrived (passive mode).
  void ReplyReceived();
  // The server said the text it sent is not the whole listing.
  void MarkTruncated() { truncated_ = true; }
  bool Truncated() const { return truncated_; }

  // More text arrived than one listing may hold.
  bool TooLarge() const { return too_large_; }

  // The listing text received, decoded as a whole (so that a character split between two
  // arrivals is read correctly); the received bytes are released.
  std::string TakeText();
  void ClearListArgument() { list_argument_.clear(); }

  void OnDataConnected() override;
  void OnDataReceived(std::string_view bytes) override;
  void OnDataSendComplete() override {}
  void OnDataClosed() override;
  void OnDataAborted() override { received_.clear(); }
  void CloseLocalFile() override {}

 private:
  // Ends the operation once both halves of a passive listing have arrived.
  void EndWhenComplete();

  FtpSession& session_;
  DataTransferSink* previous_sink_;  // restored when the listing is done
  std::string list_argument_;        // argument of the list command ("" lists the working folder)
  bool single_file_query_;           // the listing asks for one file
  std::string received_;             // bytes received so far, as sent
  bool reply_received_ = false;      // passive: 226/250 to the list command arrived
  bool data_closed_ = false;         // passive: the server closed the data connection
  bool truncated_ = false;           // the transfer-complete reply says the text was cut
  std::size_t max_bytes_;            // the most text one listing may hold
  bool too_large_ = false;           // more than max_bytes_ arrived
};

}  // namespace tarvik
