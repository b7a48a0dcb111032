// The entries of the latest listing, kept so that many file lookups (the per-file checks of one
// upload batch) are answered without asking the server again, and the names of files changed
// since that listing (uploaded, deleted, renamed), which the kept entries no longer describe.
//
// The entries are parsed once, when the listing is stored, and indexed by folded path and folded
// name: a lookup costs the same whatever the size of the listing.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "ftp/listing/ftp_files.h"

namespace tarvik {

class ListingCache {
 public:
  // Keeps copies of `entries` (the listing in the order the server sent it), replacing what was
  // kept. The changed names are left alone.
  void Store(const CFtpFiles& entries);
  // Forgets the entries and the changed names.
  void Clear();
  // Records that a file of this name was uploaded, deleted or renamed since the listing: lookups
  // of that name find nothing, so that they ask the server.
  void NoteChanged(std::string_view file_name);

  // The first file entry (folders are skipped) matching `path`, as a fresh copy; nullptr when
  // none matches or a file of that name changed since the listing.
  //   - a path holding "/" or "\" matches an entry whose FilePath equals it, or equals it with
  //     "/" in front, ignoring case;
  //   - a bare name matches an entry whose FileName equals it ignoring case.
  std::shared_ptr<CFtpFile> Lookup(std::string_view path) const;

  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

 private:
  // Index of the first file entry under `key` in `index`; npos when none.
  static std::size_t Find(const std::unordered_map<std::string, std::size_t>& index,
                          const std::string& key);

  std::vector<std::shared_ptr<const CFtpFile>> entries_;  // the listing, server order
  std::unordered_map<std::string, std::size_t> by_path_;  // folded FilePath -> first file entry
  std::unordered_map<std::string, std::size_t> by_name_;  // folded FileName -> first file entry
  std::unordered_set<std::string> changed_;               // folded bare names changed since
};

// The last element of a remote path: the text after its last "/" or "\".
std::string_view BareFileName(std::string_view path);

}  // namespace tarvik
