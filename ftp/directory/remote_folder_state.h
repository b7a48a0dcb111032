// What a session keeps about remote folders between calls (FtpSession::remote_folders()): the
// listing cache and what the upload batches tell it, the created-folders memo, and the arguments
// of the running exchange that a reply handler needs (the rename target, the path of a size
// query).
#pragma once

#include <string>

#include "ftp/directory/listing_cache.h"

namespace tarvik {

struct RemoteFolderState {
  ListingCache cache;               // latest listing (CacheFileList on) and names changed since
  bool cache_only_lookups = false;  // file lookups answer from the cache only (upload batches)
  std::string last_listing_text;    // raw text of the most recent listing
  std::string upload_last_parent;  // the upload batch's last listed parent; every listing clears it
  bool created_memo_active = false;  // an upload batch runs: the memo below is kept
  std::string created_memo;        // lower-cased absolute folders created in the batch, each + "|"
  std::string new_folders_memo;    // those of them MKD made (empty when made), each + "|"
  std::string rename_target;       // new name sent with RNTO after RNFR's 350
  std::string size_path;           // path of the running SIZE query
  int mkd_existing_code = 0;       // an MKD refusal read as "already there": its reply code ...
  std::string mkd_existing_reply;  // ... and text (checked by CreateDirectory)
};

}  // namespace tarvik
