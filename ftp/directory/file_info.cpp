// One file's entry: from the listing cache, else from a listing of the file (LIST) or from MLST.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/listing/format_file_list.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/text/case_fold.h"
#include "platform/text/number_text.h"

namespace tarvik {
namespace {

// The parser of an MLST reply logs to the control's log; a failure there only means "no entry".
class LogOnlyDiagnostics final : public ListingDiagnostics {
 public:
  explicit LogOnlyDiagnostics(FtpSession& session) : session_(session) {}
  void WriteLog(std::string_view text) override { session_.Log(text); }
  void ReportError(std::string_view procedure, long number, std::string_view description) override {
    session_.Log(std::string(procedure) + ":" + std::to_string(number) + "#" +
                 std::string(description));
  }

 private:
  FtpSession& session_;
};

}  // namespace

std::shared_ptr<CFtpFile> RemoteListing::GetFtpFileInfoFromCache(std::string_view path) {
  return session_.remote_folders().cache.Lookup(path);
}

std::shared_ptr<CFtpFile> RemoteListing::GetFtpFileInfo(std::string_view file_path) {
  try {
    const std::string path = FormatFtpPath(file_path);
    if (path.empty()) Raise(ErrorCode::kInputRemotePath);
    // The cache holds one folder's entries: a name counts only in the folder it resolves to.
    std::shared_ptr<CFtpFile> cached =
        GetFtpFileInfoFromCache(ResolveRemotePath(session_.state().current_directory, path));
    if (cached && !cached->FileName().empty()) return cached;
    if (session_.remote_folders().cache_only_lookups) return nullptr;
    return session_.settings().list_command == "MLSD" ? FileInfoByMlst(path)
                                                      : FileInfoByListing(path);
  } catch (const NumberedError& error) {
    session_.ReportError("GetFtpFileInfo", static_cast<std::int32_t>(error.number()),
                         error.description());
    return nullptr;
  }
}

std::shared_ptr<CFtpFile> RemoteListing::FileInfoByListing(const std::string& path) {
  const std::shared_ptr<CFtpFiles> files = GetRemoteFilesInfo(path);
  if (!files) {
    if (session_.ErrorNumber() == 0)
      Raise(ErrorCode::kRemoteFileMissing, ErrorTextWith(ErrorCode::kRemoteFileMissing, path));
    return nullptr;
  }
  const std::string_view name = BareFileName(path);
  for (const CFtpFiles::Entry& entry : *files) {
    if (entry->IsDirectory()) continue;
    if (!platform::EqualsIgnoreCase(BareFileName(entry->FilePath()), name)) continue;
    return std::make_shared<CFtpFile>(*entry);
  }
  Raise(ErrorCode::kRemoteFileMissing, ErrorTextWith(ErrorCode::kRemoteFileMissing, path));
}

// MLST answers with one fact line between the "250-" and "250 " lines:
//   250-Listing /pub/a.txt
//    type=file;size=1024;modify=20190105123045; /pub/a.txt
//   250 End
std::shared_ptr<CFtpFile> RemoteListing::FileInfoByMlst(const std::string& path) {
  const std::string reply = session_.SendCommand("MLST", RemoteCommandArgument(path));
  if (session_.ErrorNumber() != 0) return nullptr;  // refused: SendCommand reported it
  LogOnlyDiagnostics diagnostics(session_);
  const std::shared_ptr<CFtpFiles> files = FormatFileList(reply, "", diagnostics);
  if (!files || files->Size() != 1) {
    Raise(ReplyError(GetResponseCode(reply)), GetResponseInfo(reply));
  }
  const CFtpFile& found = *files->ItemAt(1);
  if (found.IsDirectory())
    Raise(ErrorCode::kRemoteFileMissing, ErrorTextWith(ErrorCode::kRemoteFileMissing, path));
  auto entry = std::make_shared<CFtpFile>();
  entry->SetFileName(found.FileName());
  entry->SetFileSize(found.FileSize());
  entry->SetIsDirectory(false);
  entry->SetIsLink(found.IsLink());
  entry->SetLastWriteTime(found.StoredLastWriteTime());
  return entry;
}

std::string RemoteListing::GetFileInfo(std::string_view file_path) {
  try {
    const std::shared_ptr<CFtpFile> file = GetFtpFileInfo(file_path);
    if (!file) return {};
    return file->FileName() + "*" + platform::DoubleToText(file->FileSize()) + "*" +
           file->LastWriteTime();
  } catch (const NumberedError& error) {
    session_.ReportError("GetFileInfo", static_cast<std::int32_t>(error.number()),
                         error.description());
    return {};
  }
}

}  // namespace tarvik
