// The folder work of an upload: a local folder (with its subfolders) or the entries of a local
// pattern, mirrored below a remote folder; and the remote lookup of a file found inside such a
// folder, from one listing of its remote folder.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/errors/error_record_access.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "local/path_lists.h"
#include "platform/fs/name_rules.h"
#include "platform/loop/message_loop.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

constexpr long kAccessDenied = 5;
constexpr std::string_view kFolderInUse =
    "Some files in '{0}' is being used by another process,please try again later.";

// A failed GetDirList: "Error:" message "#|#" code.
[[noreturn]] void RaiseListingFailure(const std::string& listing, const std::string& folder) {
  const std::size_t mark = listing.rfind("#|#");
  std::string message = listing.substr(6, mark == std::string::npos ? std::string::npos : mark - 6);
  const long code = mark == std::string::npos ? 0 : std::atol(listing.c_str() + mark + 3);
  if (code == kAccessDenied ||
      platform::FoldCase(message).find("invalid procedure call") != std::string::npos) {
    message = std::string(kFolderInUse);
    message.replace(message.find("{0}"), 3, folder);
  }
  Raise(code, message);
}

}  // namespace

void TransferEngine::UploadFolder(const std::string& local_item, const std::string& remote_folder) {
  TakeAbortRequest();
  RemoteOperations remote(session_);
  if (remote_folder != "/" && !remote.CreateDirectory(remote_folder)) {
    Raise(session_.ErrorNumber(), session_.ErrorInfo());
  }
  // The folder the mirrored paths are taken from: the item itself, or a pattern's folder.
  const std::string local_base = platform::HasWildcards(local_item)
                                     ? GetParentPath(local_item)
                                     : WithSeparator(local_item, '\\');
  const std::string listing = CFile().GetDirList(local_item, true, kDirListBoth);
  if (listing.starts_with("Error:")) RaiseListingFailure(listing, local_item);

  const auto mirrored = [&](const std::string& path) {
    std::string rest = path.substr(local_base.size());
    std::replace(rest.begin(), rest.end(), '\\', '/');
    return remote_folder + rest;
  };
  // Every folder is made first, each after the one above it (the listing names a folder before
  // what is inside): empty folders arrive too, and the files' folders are known to be new, so
  // their files are looked up without a listing.
  std::vector<BatchItem> files;
  for (const std::string& entry : SplitPathList(listing)) {
    const std::string path = entry.substr(2);
    if (!entry.starts_with("1*")) {
      files.push_back({path, mirrored(path)});
    } else if (!remote.CreateDirectory(mirrored(path))) {
      Raise(session_.ErrorNumber(), session_.ErrorInfo());
    }
    platform::ProcessPendingMessages();
  }
  TransferFiles(TransferDirection::kUpload, files);
}

bool TransferEngine::LookUpInFolderListing(const std::string& remote_path, std::int64_t& size,
                                           std::string& date) {
  RemoteFolderState& folders = session_.remote_folders();
  if (!folders.created_memo_active) return false;  // no upload batch runs
  const std::string local = platform::FoldCase(session_.settings().local_path);
  if (std::find(upload_items_.begin(), upload_items_.end(), local) != upload_items_.end()) {
    return false;  // a file the caller named: looked up on its own
  }
  const std::string absolute = ResolveRemotePath(session_.state().current_directory, remote_path);
  const std::string parent = ResolveRemotePath(absolute, "..");
  if (FolderMadeInBatch(folders, parent)) {
    size = -1;  // a folder this batch made holds only what it uploaded since
    date.clear();
    return true;
  }
  if (parent != folders.upload_last_parent) {
    TransferSettings& options = session_.transfer_settings();
    const bool keep_listings = options.cache_file_list;
    options.cache_file_list = true;
    RemoteListing(session_).GetRemoteFilesInfo(parent == "/" ? "/" : parent + "/");
    options.cache_file_list = keep_listings;
    folders.upload_last_parent = parent;  // set after the listing, which clears it
    // A folder that is not there yet lists as an error: its files are all new.
    session_.state().fallback_error = {};
    ClearErrorRecord();
  }
  folders.cache_only_lookups = true;
  const std::shared_ptr<CFtpFile> entry = RemoteListing(session_).GetFtpFileInfo(absolute);
  folders.cache_only_lookups = false;
  size = entry ? static_cast<std::int64_t>(entry->FileSize()) : -1;
  date = entry ? entry->LastWriteTime() : std::string();
  return true;
}

}  // namespace tarvik
