// The folder work of a download: a remote folder (with its subfolders) or the entries of one
// folder matching a pattern, into a local folder.
//
// A listing is the server's word: an entry whose name could not be a local name below the
// target (a separator, "..", a drive's ":", a device name, a trailing dot or blank) is skipped
// and logged, and so is a link to a folder that holds it (which would be listed forever).
#include <string>
#include <vector>

#include "control/errors/numbered_error.h"
#include "ftp/directory/listing_cache.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/path_lists.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "platform/fs/name_rules.h"

namespace tarvik {
namespace {

// Whether the folder link `entry` in `folder` points at `folder` or a folder above it.
bool LinksToEnclosingFolder(const CFtpFile& entry, const std::string& folder) {
  if (entry.LinkTarget().empty()) return false;
  const std::string target = ResolveRemotePath(folder, entry.LinkTarget());
  return target == "/" || folder == target || folder.starts_with(target + "/");
}

}  // namespace

void TransferEngine::DownloadFolder(const std::string& remote_item,
                                    const std::string& local_folder) {
  TakeAbortRequest();
  if (!CFile().FolderExists(local_folder) && !CFile().CreateFolder(local_folder)) {
    Raise(session_.ErrorNumber(), session_.ErrorInfo());
  }
  const std::string item = ResolveRemotePath(session_.state().current_directory, remote_item);
  // A pattern is matched here against the listing of its folder: servers differ in the patterns
  // LIST takes (some take none, MLSD never does), and a pattern that matches a folder makes some
  // list that folder's contents instead.
  const bool pattern = platform::HasWildcards(remote_item);
  const std::string folder = pattern ? ResolveRemotePath(item, "..") : item;
  const std::string name_pattern = pattern ? std::string(BareFileName(item)) : std::string();

  const std::shared_ptr<CFtpFiles> entries =
      RemoteListing(session_).GetFtpDirectoryInfo(folder == "/" ? "/" : folder + "/");
  if (!entries) {
    // An empty folder lists as none; a failed listing is the batch's failure.
    if (session_.ErrorNumber() != 0) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    return;
  }
  const std::string prefix = folder == "/" ? "/" : folder + "/";
  std::vector<BatchItem> files;
  std::vector<const CFtpFile*> subfolders;
  double total = 0;
  for (const CFtpFiles::Entry& entry : *entries) {
    const std::string& name = entry->FileName();
    if (name == "." || name == "..") continue;
    if (pattern && !platform::MatchesWildcard(name, name_pattern)) continue;
    if (!IsSafeLocalName(name)) {
      session_.Log("DownLoadAll.UnsafeName:" + prefix + name);
      continue;
    }
    if (!entry->IsDirectory()) {
      files.push_back({prefix + name, local_folder});
      total += entry->FileSize();
    } else if (LinksToEnclosingFolder(*entry, folder)) {
      session_.Log("DownLoadAll.LinkLoop:" + prefix + name + " -> " + entry->LinkTarget());
    } else {
      subfolders.push_back(entry.get());
    }
  }
  TransferStatistics& statistics = session_.statistics();
  if (session_.transfer_settings().show_total_progress) {
    statistics.total_transferred_size = 0;
    statistics.total_file_size = total;
    session_.Log("DL#TFS#" + std::to_string(static_cast<long long>(total)));
  }
  TransferFiles(TransferDirection::kDownload, files);
  for (const CFtpFile* subfolder : subfolders) {
    DownloadFolder(prefix + subfolder->FileName() + "/",
                   local_folder + subfolder->FileName() + "\\");
  }
}

}  // namespace tarvik
