// Remote folder listings as the control offers them: a folder's entries (sorted by name), one
// file's entry, the same as text, and the listing cache the upload batches consult.
//
// One listing is one operation (10) of the session: TYPE, the data connection, the list command
// (LIST, "LIST -al" or MLSD), the text until the data connection closes, then the parse. Paths
// follow ftp/remote/remote_path.h ("" is the working folder); entries carry absolute paths. In
// working-folder mode (ListWorkingDir, or MLSD, for a folder query), and for any folder whose path
// holds a blank (which some servers split into several LIST arguments), the listing changes into
// the folder, lists it without an argument and changes back. A listing the server says it
// truncated is listed again by MLSD where FEAT offers it, else fails with 20064.
//
// Every member catches its own failures, reports them (ErrorNumber/ErrorInfo) and returns none or
// "". While a listing waits, the thread's messages are pumped: socket notifications, timers and
// the host's event handlers run, and a method called from them is refused with 16009.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ftp/listing/ftp_files.h"

namespace tarvik {

class FtpSession;

class RemoteListing {
 public:
  explicit RemoteListing(FtpSession& session) : session_(session) {}

  // The entries of a folder or of a pattern, sorted by name ignoring case (folders and files
  // mixed); nullptr for an empty folder or on error. A path naming a file reports 20008.
  std::shared_ptr<CFtpFiles> GetFtpDirectoryInfo(std::string_view directory_path = {});
  // One file's entry; nullptr when it is not found (20007) or on error. Looks in the listing
  // cache first.
  std::shared_ptr<CFtpFile> GetFtpFileInfo(std::string_view file_path);
  // The sorted entries as text: "1*" (folder) or "0*" (file), name, "*", size, "*", time, joined
  // by "|"; "" for an empty folder or on error.
  std::string GetFileList(std::string_view directory_path);
  // Name "*" size "*" time of GetFtpFileInfo; "" when not found.
  std::string GetFileInfo(std::string_view file_path);

  // One listing of `path` (a folder ending in "/", a pattern, or one file), unsorted; nullptr
  // when empty or on error.
  std::shared_ptr<CFtpFiles> GetRemoteFilesInfo(std::string_view path);
  // The entry of `path` in the listing cache, nullptr when not there.
  std::shared_ptr<CFtpFile> GetFtpFileInfoFromCache(std::string_view path);

 private:
  std::shared_ptr<CFtpFile> FileInfoByListing(const std::string& path);
  std::shared_ptr<CFtpFile> FileInfoByMlst(const std::string& path);

  FtpSession& session_;
};

// The ListSuffix property: a suffix holding "*" switches ListWithAsterisk on, any other off, and
// server detection no longer changes it.
void PutListSuffix(FtpSession& session, std::string_view value);

}  // namespace tarvik
