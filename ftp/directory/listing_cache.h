// The entries of the latest listing, kept so that many file lookups (the per-file checks of one
// upload batch) are answered without asking the server again, and the names of files changed
// since that listing (uploaded, deleted, renamed), which the kept entries no longer describe.
//
// The cache shares the listing's own entries (a listing may hold millions) and indexes them by the
// hash of their folded names: a lookup costs the same whatever the size of the listing. An entry
// a host changed since the listing answers nothing, so that the server is asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "ftp/listing/ftp_files.h"

namespace tarvik {

class ListingCache {
 public:
  // Keeps `entries` (the listing in the order the server sent it), replacing what was kept. The
  // changed names are left alone.
  void Store(std::shared_ptr<const CFtpFiles> entries);
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

  std::size_t Size() const { return entries_ ? entries_->Size() : 0; }
  bool Empty() const { return Size() == 0; }

 private:
  // A file entry by the hash of its folded name.
  struct NameKey {
    std::uint64_t hash;
    std::uint32_t index;  // 0-based position in the listing
    auto operator<=>(const NameKey&) const = default;
  };

  std::shared_ptr<const CFtpFiles> entries_;  // the listing, server order
  std::vector<NameKey> by_name_;              // the file entries, sorted
  std::unordered_set<std::string> changed_;   // folded bare names changed since
};

// The last element of a remote path: the text after its last "/" or "\".
std::string_view BareFileName(std::string_view path);

}  // namespace tarvik
