// What one control instance keeps about its FTP session: the values of the properties the session
// reads (already clamped by the property writes), the observable and internal session state, and
// the transfer statistics that ending a session resets.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "core/errors/error_dispatch.h"
#include "core/session/ftp_states.h"

namespace tarvik {

// major "." minor ".0." revision of the library.
inline constexpr std::string_view kLibraryVersion = "4.6.0.3";
inline constexpr std::int16_t kDefaultTimeoutSeconds = 30;
inline constexpr std::int32_t kDefaultPort = 21;

// Property values the session uses. Written by the control's property setters.
struct SessionSettings {
  std::string server_name;           // normalised host name (see server_name.h)
  std::int32_t port = kDefaultPort;  // 1..65535
  std::string username;              // as given; blank means anonymous at Connect
  std::string password;              // as given
  std::string remote_path;           // trimmed
  std::string local_path;            // trimmed
  std::int16_t timeout_seconds = kDefaultTimeoutSeconds;  // limit of every wait for a reply
  std::string keep_alive_command = "NOOP";  // upper-cased; empty switches keep-alive off
  std::int16_t keep_alive_interval = 60;    // seconds of silence before keep-alive; 0 = off
  std::string list_command = "LIST";        // "LIST" or "MLSD"
  bool list_all = false;                    // LIST -al
  bool list_working_dir = true;             // list the working folder (listing rules)
  bool passive = true;                      // PASV rather than PORT
  std::int32_t transfer_mode = static_cast<std::int32_t>(FtpTransferModes::FTP_IMAGE_MODE);
  std::int32_t rcvbuf = 0;             // data socket receive buffer; <= 0: default at Connect
  std::int32_t sndbuf = 0;             // data socket send buffer; <= 0: default at Connect
  bool utf8 = false;                   // commands and replies in UTF-8, else ANSI
  bool auto_encoding = false;          // detect UTF-8 from FEAT at each Connect
  bool scrambled_credentials = false;  // ServerName, USER and PASS arrive scrambled
  std::string mkd_info;                // extra "directory exists" words for MKD refusals
  std::int16_t redo_times = 5;         // transfer attempts (stored n + 1)
  bool socket_buffers_set = false;     // the host wrote Rcvbuf, Sndbuf or MaxSpeed: the data
                                       // socket takes those sizes instead of the system's tuning
};

// Property values used by listings and transfers.
struct TransferSettings {
  bool overwrite = false;                        // Overwrite property
  std::int16_t replace_code = 0;                 // what to do with an existing target (0 = ask)
  std::string rename_rule = "{oldname}1";        // rename pattern for conflicts
  bool show_total_progress = false;              // keep batch totals
  bool without_list = false;                     // sizes without listing the folder
  bool mkd_check = true;                         // check a folder exists before MKD
  double max_speed = 0;                          // bytes per second; 0 = no limit
  std::int32_t upload_block_limit = 20'971'520;  // largest upload block, set with Sndbuf
  std::string allow_type;                        // ";ext;...;" or empty
  std::string deny_type;                         // ";ext;...;" or empty
  double max_size = 0;                           // bytes; 0 = no limit
  bool cache_file_list = true;                   // keep listings for reuse
  bool create_source_folder = true;              // create the source folder at the target
  std::string transtate_path;                    // folder of the transfer status files
  std::string list_suffix;                       // listing suffix
  bool list_suffix_set = false;                  // ListSuffix was written
};

// A command sent on the control connection whose final reply has not arrived yet. Replies pair
// with commands strictly in order: the oldest awaited command owns the next final reply.
struct AwaitedReply {
  bool owned = true;  // the operation that sent it still waits; false: its reply is only shown
  bool shown = true;  // its replies are raised as server messages (not for command probes)
};

// Session state. Every field is changed only on the thread of the control.
struct SessionState {
  FtpStates ftp_state = FtpStates::ftpFreeState;   // observable state
  Operation current_operation = Operation::kNone;  // operation a method waits for
  std::string message_info;                        // last command sent or reply received
  MessageTypes message_type = MessageTypes::FTP_USER_COMMAND;  // kind of message_info
  std::string last_command;                      // verb of the last command sent, upper case
  std::deque<AwaitedReply> awaited_replies;      // commands sent, unanswered yet, oldest first
  std::string command_reply;                     // reply text handed back by SendCommand
  bool logged_in = false;                        // a Connect has succeeded (never cleared)
  bool server_is_pure = false;                   // greeting mentions "pure"
  bool server_is_typsoft = false;                // greeting mentions "typsoft"
  std::int64_t last_control_activity_ms = 0;     // monotonic time of the last arrival or keep-alive
  bool abort_requested = false;                  // Abort was called; consumed by batches
  bool abort_current_only = false;               // AbortCurrent: only the file in transfer
  ControlFallbackError fallback_error;           // ErrorNumber/ErrorInfo when the record holds none
  bool reconnecting = false;                     // SendFtpCommand is re-establishing the connection
  Operation saved_operation = Operation::kNone;  // operation to restore after a reconnect
  std::int16_t connect_retry_count = 0;          // socket errors seen during one Connect
  bool first_connect_done = false;               // the banner was logged
  bool list_dir_for_file = false;                // list the folder to look a file up (pure servers)
  bool list_with_asterisk = false;               // list with "*" (typsoft servers)
  bool encoding_undecided = false;               // AUTO, FEAT silent: non-ASCII text decides
  std::string home_directory;                    // directory reported after login
  std::string current_directory = "/";           // tracked working directory
  double remote_size = 0;                        // last SIZE result; -1 missing, -2 failed
  std::int32_t next_data_port = 0;               // last active-mode port offered; 0 = none yet
  std::int16_t retry_counter = 1;                // attempt of the current file; RedoTimes = last
};

// Figures of the current file and batch that the host reads as properties. Ending a session
// resets them.
struct TransferStatistics {
  std::int16_t percent = 0;              // current file, 0..100
  double transferred_size = 0;           // bytes of the current file done
  double file_size = 0;                  // size of the current file
  std::int16_t total_percent = 0;        // batch, 0..100
  double total_transferred_size = 0;     // batch bytes done
  double total_file_size = 0;            // batch bytes planned
  std::int32_t speed = 0;                // bytes per second of the current file
  std::string transfer_state;            // last progress or retry message
  std::int32_t queue_index = 0;          // position in the batch
  std::int32_t queue_total = 0;          // files in the batch
  std::string transferred_local_files;   // "|"-joined local paths transferred
  std::string transferred_remote_files;  // "|"-joined remote paths transferred
  std::string skipped_files;             // "|"-joined paths skipped
  std::string removed_files;             // "|"-joined paths taken out of the upload batch
  std::string aborted_files;             // "|"-joined paths stopped by AbortCurrent
  std::string removal_record;            // "*"-joined paths of recursive removals tried

  // Internals of the figures above.
  using Time = std::optional<std::chrono::system_clock::time_point>;  // nullopt: not set
  std::int64_t start_tick_ms = 0;           // speed figure of the current file starts; 0 = unset
  std::int64_t last_data_tick_ms = 0;       // last arrival or send completion (watchdog)
  std::int64_t last_transfer_event_ms = 0;  // last OnTransfer during data flow
  double speed_sum = 0;                     // Speed samples since the batch started ...
  std::int32_t speed_samples = 0;           // ... and their count
  double left_time_estimate = 0;            // seconds; LeftTime reads it capped and rounded
  Time file_start, file_end;                // current file's data phase
  Time batch_start, batch_end;              // current Download/Upload call
};

}  // namespace tarvik
