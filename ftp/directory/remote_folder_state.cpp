// The remote-folder state of each session of the thread, keyed by the session. Sessions live on
// one thread each, so the table is per thread.
#include <memory>
#include <unordered_map>

#include "ftp/directory/remote_folder_state.h"

namespace tarvik {

RemoteFolderState& RemoteFolders(FtpSession& session) {
  thread_local std::unordered_map<const FtpSession*, std::unique_ptr<RemoteFolderState>> table;
  std::unique_ptr<RemoteFolderState>& state = table[&session];
  if (!state) state = std::make_unique<RemoteFolderState>();
  return *state;
}

}  // namespace tarvik
