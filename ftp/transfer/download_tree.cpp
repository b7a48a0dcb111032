// The folder work of a download: a remote folder (with its subfolders) or the entries of one
// folder matching a pattern, into a local folder.
//
// A listing is the server's word: an entry whose name could not be a local name below the
// target (listed with a path, "..", a drive's ":", a device name, a trailing dot or blank) is
// skipped and logged; the rest of the tree transfers.
//
// A symbolic link is listed with the size of the link itself, and says nothing sure of what it
// names: the server decides. The walk changes into the link; where that works it is a folder,
// whose real path (PWD) is compared with the folders the walk is inside: a link to one of them or
// to a folder above them is skipped and logged (it would be walked forever), any other is walked.
// Some servers answer PWD with the link's own path: there the target the listing names is
// compared too, and a walk goes through at most kMaxNestedLinks links. Where the server refuses
// to change into the link, it is a file, downloaded with the size SIZE gives.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/directory/listing_cache.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "ftp/remote/remote_path.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "local/path_lists.h"
#include "platform/fs/name_rules.h"

namespace tarvik {
namespace {

using WalkedFolder = TransferEngine::WalkedFolder;

constexpr int kMaxNestedLinks = 16;

// A refusal of the server (a 5xx reply), as against a lost connection or a time-out.
bool IsRefusal(std::int32_t number) {
  return number >= ReplyError(500) && number < ReplyError(600);
}

// The real path of the folder the link `path` names, or nullopt when the server does not change
// into it (a file). The working folder is the same afterwards.
std::optional<std::string> LinkedFolder(FtpSession& session, const std::string& path) {
  SessionState& state = session.state();
  const std::string back =
      state.current_directory.empty() ? state.home_directory : state.current_directory;
  RemoteOperations operations(session);
  if (!operations.SetCurrentDirectory(path)) {
    if (!IsRefusal(session.ErrorNumber())) Raise(session.ErrorNumber(), session.ErrorInfo());
    state.fallback_error = {};
    ClearErrorRecord();
    return std::nullopt;
  }
  const std::string real = session.GetCurrentDirectory();
  const std::int32_t pwd_error = session.ErrorNumber();
  const std::string pwd_info = session.ErrorInfo();
  if (!operations.SetCurrentDirectory(back)) Raise(session.ErrorNumber(), session.ErrorInfo());
  if (pwd_error != 0) Raise(pwd_error, pwd_info);
  return real;
}

// Whether the folder `path` is one of the folders of `inside`, or holds one.
bool EnclosesWalk(const std::string& path, const std::vector<WalkedFolder>& inside) {
  for (const WalkedFolder& folder : inside) {
    const std::string& real = folder.real_path;
    if (path == "/" || real == path || real.starts_with(path + "/")) return true;
  }
  return false;
}

// Why the walk does not enter the linked folder whose real path is `real`; "" when it does.
std::string_view LinkSkipReason(const CFtpFile& link, const std::string& folder,
                                const std::string& real, const std::vector<WalkedFolder>& inside) {
  if (EnclosesWalk(real, inside)) return "LinkLoop";
  if (!link.LinkTarget().empty() &&
      EnclosesWalk(ResolveRemotePath(folder, link.LinkTarget()), inside))
    return "LinkLoop";
  if (inside.back().links >= kMaxNestedLinks) return "LinkDepth";
  return {};
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

}  // namespace

void TransferEngine::DownloadFolder(const std::string& remote_item, const std::string& local_folder,
                                    std::vector<WalkedFolder> inside) {
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
  if (inside.empty()) inside.push_back({folder, 0});

  const std::shared_ptr<CFtpFiles> entries =
      RemoteListing(session_).GetFtpDirectoryInfo(folder == "/" ? "/" : folder + "/");
  if (!entries) {
    // An empty folder lists as none; a failed listing is the batch's failure.
    if (session_.ErrorNumber() != 0) Raise(session_.ErrorNumber(), session_.ErrorInfo());
    return;
  }
  const std::string prefix = folder == "/" ? "/" : folder + "/";
  std::vector<BatchItem> files;
  struct Subfolder {
    std::string name;
    WalkedFolder walked;
  };
  std::vector<Subfolder> subfolders;
  double total = 0;
  for (const CFtpFiles::Entry& entry : *entries) {
    const std::string& name = entry->FileName();
    if (name == "." || name == "..") continue;
    if (pattern && !platform::MatchesWildcard(name, name_pattern)) continue;
    // A name listed with a path is not this entry's name: its last part may name another file.
    if (entry->ListedWithPath() || !IsSafeLocalName(name)) {
      session_.Log("DownLoadAll.UnsafeName:" + prefix + name);
      continue;
    }
    if (entry->IsLink()) {
      const std::optional<std::string> real = LinkedFolder(session_, prefix + name);
      if (!real) {
        files.push_back({prefix + name, local_folder});
      } else if (const std::string_view skip = LinkSkipReason(*entry, folder, *real, inside);
                 !skip.empty()) {
        session_.Log("DownLoadAll." + std::string(skip) + ":" + prefix + name + " -> " + *real);
      } else {
        subfolders.push_back({name, {*real, inside.back().links + 1}});
      }
    } else if (!entry->IsDirectory()) {
      files.push_back({prefix + name, local_folder});
      total += entry->FileSize();
    } else {
      subfolders.push_back({name, {ChildPath(inside.back().real_path, name), inside.back().links}});
    }
  }
  TransferStatistics& statistics = session_.statistics();
  if (session_.transfer_settings().show_total_progress) {
    statistics.total_transferred_size = 0;
    statistics.total_file_size = total;
    session_.Log("DL#TFS#" + std::to_string(static_cast<long long>(total)));
  }
  TransferFiles(TransferDirection::kDownload, files);
  for (const Subfolder& subfolder : subfolders) {
    std::vector<WalkedFolder> below = inside;
    below.push_back(subfolder.walked);
    DownloadFolder(prefix + subfolder.name + "/", local_folder + subfolder.name + "\\",
                   std::move(below));
  }
}

}  // namespace tarvik
