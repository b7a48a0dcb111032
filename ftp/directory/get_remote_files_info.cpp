// One listing of the session: the folder, pattern or file named by a path, fetched over the data
// connection and parsed into entries.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/directory/kept_error.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/directory/running_listing.h"
#include "ftp/listing/format_file_list.h"
#include "ftp/listing/listing_text.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"

namespace tarvik {
namespace {

bool HoldsWildcard(std::string_view path) {
  return path.find_first_of("*?") != std::string_view::npos;
}

bool HoldsBlank(std::string_view path) {
  return path.find(' ') != std::string_view::npos;
}

// RFC 3659: a server that lists the feature "MLST" in its FEAT reply offers MLSD too.
//   211-Features:
//    MLST type*;size*;modify*;
//   211 End
bool OffersMlsd(FtpSession& session) {
  const std::string features = platform::ToUpperAscii(session.SendCommand("FEAT", ""));
  std::size_t start = 0;
  while (start < features.size()) {
    std::size_t end = features.find("\r\n", start);
    if (end == std::string::npos) end = features.size();
    if (platform::Trim(features.substr(start, end - start), platform::kSpaces).starts_with("MLST"))
      return true;
    start = end + 2;
  }
  return false;
}

// The folder part of a listed path with its trailing "/": "pub/a.txt" -> "pub/", "/a.txt" -> "/",
// "a.txt" -> "" (the working folder), "pub/" -> "pub/".
std::string FolderPart(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NowText() {
  return platform::GeneralDateText(platform::LocalNow());
}

// The parser's log lines go to the control's log, its failures to the control's report.
class SessionDiagnostics final : public ListingDiagnostics {
 public:
  explicit SessionDiagnostics(FtpSession& session) : session_(session) {}
  void WriteLog(std::string_view text) override { session_.Log(text); }
  void ReportError(std::string_view procedure, long number, std::string_view description) override {
    session_.ReportError(procedure, static_cast<std::int32_t>(number), std::string(description));
  }

 private:
  FtpSession& session_;
};

// Changes into the listed folder for the listing and back afterwards; restores MLSD when a
// pattern made the listing use LIST.
class ListingScope {
 public:
  explicit ListingScope(FtpSession& session) : session_(session) {}

  void UseListForPattern() {
    session_.settings().list_command = "LIST";
    restore_mlsd_ = true;
  }

  // Enters `folder`; false (logged) when the server refuses.
  bool Enter(const std::string& folder) {
    const SessionState& state = session_.state();
    remembered_ = state.current_directory.empty() ? state.home_directory : state.current_directory;
    if (!RemoteOperations(session_).SetCurrentDirectory(folder)) {
      session_.Log("GRFI#" + state.current_directory + "#" + session_.ErrorInfo());
      return false;
    }
    entered_ = true;
    return true;
  }

  // Changes back and restores MLSD. The error the listing met survives the change back. When the
  // server refuses the change back, the list command stays LIST.
  void Leave() {
    if (entered_) {
      entered_ = false;
      const KeptError listing_error(session_);
      const bool back = RemoteOperations(session_).SetCurrentDirectory(remembered_);
      if (back) {
        session_.state().current_directory = remembered_;
      } else {
        session_.Log("SetCurrentDirectory Folder=False|" + session_.ErrorInfo() + "|" + NowText());
      }
      listing_error.Restore();
      if (!back) return;
    }
    if (restore_mlsd_) {
      restore_mlsd_ = false;
      session_.settings().list_command = "MLSD";
    }
  }

 private:
  FtpSession& session_;
  std::string remembered_;     // folder to change back to
  bool entered_ = false;       // the listing changed into its folder
  bool restore_mlsd_ = false;  // MLSD was switched to LIST for a pattern
};

}  // namespace

std::shared_ptr<CFtpFiles> RemoteListing::GetRemoteFilesInfo(std::string_view requested) {
  SessionState& state = session_.state();
  RemoteFolderState& folders = session_.remote_folders();
  state.fallback_error = {};
  ClearErrorRecord();
  folders.cache.Clear();
  folders.upload_last_parent.clear();
  if (!session_.Connect()) return nullptr;
  if (session_.RefuseWhileBusy()) return nullptr;

  ListingScope scope(session_);
  const std::string path = FormatFtpPath(requested);
  try {
    const bool names_folder = path.empty() || path.back() == '/';
    const std::string folder = FolderPart(path);
    const std::string resolved_folder = ResolveRemotePath(state.current_directory, folder);
    const std::string base = FormatFtpPath(resolved_folder + "/");
    const bool single_file_query = !HoldsWildcard(path) && !names_folder;
    if (session_.settings().list_command == "MLSD" && HoldsWildcard(path)) {
      scope.UseListForPattern();  // MLSD takes no patterns
    }

    // Some servers split a LIST argument at its blanks ("LIST folder with spaces/" lists three
    // names): a folder whose path holds a blank is entered and listed without argument, and a
    // name with a blank is picked out of its folder's listing by the caller.
    const std::string name = path.substr(folder.size());
    const bool in_working_folder = resolved_folder == state.current_directory;
    const bool enter_folder =
        !in_working_folder &&
        (HoldsBlank(folder) || (names_folder && (session_.settings().list_working_dir ||
                                                 session_.settings().list_command == "MLSD")));
    std::string list_argument;
    if (enter_folder) {
      if (!scope.Enter(folder)) {
        scope.Leave();
        return nullptr;
      }
      if (!HoldsBlank(name)) list_argument = name;
    } else if (HoldsBlank(name)) {
      list_argument = in_working_folder ? std::string() : RemoteCommandArgument(folder);
    } else {
      list_argument = in_working_folder ? name : RemoteCommandArgument(path);
    }

    const ListingLimits limits = folders.listing_limits;
    RunningListing listing(session_, std::move(list_argument), single_file_query, limits.max_bytes);
    session_.BeginAsyncMethod(Operation::kListing);
    if (!session_.SendFtpCommand("TYPE", session_.data_connection().TransferTypeCode())) {
      session_.EndAsyncMethod();
      Raise(session_.ErrorNumber(), session_.ErrorInfo());
    }
    session_.WaitForReply(Operation::kListing);
    if (listing.TooLarge()) {
      Raise(ErrorCode::kListingTooLarge, "The listing is longer than " +
                                             std::to_string(limits.max_bytes) +
                                             " bytes, more than one listing may hold");
    }
    if (listing.Truncated() && !session_.ErrorRecorded()) {
      // The server cut the listing: only MLSD (which takes no pattern) may give the whole folder.
      scope.Leave();
      if (session_.settings().list_command != "LIST" || HoldsWildcard(path) ||
          !OffersMlsd(session_)) {
        Raise(ErrorCode::kListingTruncated);
      }
      session_.Log("ListingTruncated.MLSD:" + path);
      session_.settings().list_command = "MLSD";
      std::shared_ptr<CFtpFiles> whole = GetRemoteFilesInfo(requested);
      session_.settings().list_command = "LIST";
      return whole;
    }

    listing.ClearListArgument();
    session_.CSSTimeout();
    std::shared_ptr<CFtpFiles> files;
    std::string text = listing.TakeText();
    // A failed listing yields nothing, not the part that arrived before the failure.
    if (!session_.ErrorRecorded() &&
        !(single_file_query && platform::Trim(text, platform::kSpaces).empty())) {
      SessionDiagnostics diagnostics(session_);
      files = FormatFileList(text, base, diagnostics, limits.max_entries);
      if (!files && !text.empty()) {
        session_.Log("--GetRMInfo--" + std::to_string(text.size()) + "#" + path + "\r\n" +
                     listing_text::LogExcerpt(text, kMaxLoggedListingBytes, true) + "\r\n" +
                     "---------------------------");
        Raise(ErrorCode::kUnknownListFormat);
      }
      text = std::string();  // the entries hold what is needed: the memory goes back at once
      if (files && session_.transfer_settings().cache_file_list) folders.cache.Store(files);
    }
    if (files && files->Empty()) files.reset();
    scope.Leave();
    return files;
  } catch (const NumberedError& error) {
    session_.Log("GetRemoteFilesInfo.Err:" + std::to_string(error.number()) + "|" +
                 error.description() + " " + NowText());
    session_.data_connection().CloseDataConnection();
    session_.ReportError("GetRemoteFilesInfo", static_cast<std::int32_t>(error.number()),
                         error.description());
    scope.Leave();
    return nullptr;
  }
}

void PutListSuffix(FtpSession& session, std::string_view value) {
  session.transfer_settings().list_suffix = value;
  session.transfer_settings().list_suffix_set = true;
  session.state().list_with_asterisk = value.find('*') != std::string_view::npos;
}

}  // namespace tarvik
