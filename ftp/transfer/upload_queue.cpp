// QueueAppend and QueueRemove: files and folders added to the running upload batch (uploaded
// after its own items, into the folder of its last file), and pending files taken out of it.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/transfer_engine.h"
#include "local/c_file.h"
#include "platform/text/case_fold.h"
#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {

void ShowQueueFailure(const std::string& description) {
  platform::MessageBox("ChangeQueue\r\n" + description, "", platform::MB_OK);
}

}  // namespace

void TransferEngine::QueueAppend(std::string_view path) {
  ChangeQueue(path, false);
}

void TransferEngine::QueueRemove(std::string_view path) {
  ChangeQueue(path, true);
}

void TransferEngine::ChangeQueue(std::string_view path, bool remove) {
  std::string item = FormatLocalPath(path);
  if (item.empty()) return ShowQueueFailure(GetErrorText(ErrorCode::kInputLocalPath));
  std::string& removed = session_.statistics().removed_files;
  if (remove) {
    removed += "|" + item;
    return;
  }
  removed += "|";
  const std::string key = platform::FoldCase("|" + item + "|");
  if (const std::size_t at = platform::FoldCase(removed).find(key); at != std::string::npos) {
    removed.replace(at, key.size(), "|");  // no longer taken out: uploaded in its turn
    return;
  }
  // A folder named without its "\" is still a folder: its files are queued, not the name.
  if (item.back() != '\\' && CFile().FolderExists(item)) item += '\\';
  const bool folder = item.back() == '\\';
  if (folder ? !CFile().FolderExists(item) : !CFile().FileExists(item)) {
    return ShowQueueFailure(ErrorTextWith(ErrorCode::kLocalFileMissing, item));
  }
  upload_queue_ += "|" + item;
  session_.statistics().queue_total +=
      folder ? static_cast<std::int32_t>(local_.GetLocalFileCount(item)) : 1;
}

}  // namespace tarvik
