// What a session keeps about remote folders between calls (FtpSession::remote_folders()): the
// listing cache and what the upload batches tell it, the created-folders memo, and the arguments
// of the running exchange that a reply handler needs (the rename target, the path of a size
// query).
#pragma once

#include <cstddef>
#include <string>

#include "ftp/directory/listing_cache.h"

namespace tarvik {

// The most one listing may hold. Beyond it the listing fails with 20066 instead of filling the
// memory: about 300 bytes an entry are kept while it is parsed.
struct ListingLimits {
  std::size_t max_bytes = std::size_t{256} << 20;  // listing text received
  std::size_t max_entries = 2'000'000;             // entries parsed
};

struct RemoteFolderState {
  ListingCache cache;               // latest listing (CacheFileList on) and names changed since
  bool cache_only_lookups = false;  // file lookups answer from the cache only (upload batches)
  ListingLimits listing_limits;
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
