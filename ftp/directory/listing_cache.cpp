#include "ftp/directory/listing_cache.h"

#include <algorithm>

#include "platform/text/case_fold.h"

namespace tarvik {

std::string_view BareFileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void ListingCache::Store(const CFtpFiles& entries) {
  entries_.clear();
  by_path_.clear();
  by_name_.clear();
  entries_.reserve(entries.Size());
  for (const CFtpFiles::Entry& entry : entries) {
    // A copy: the host owns the listing's own entries and may change them.
    entries_.push_back(std::make_shared<const CFtpFile>(*entry));
    if (entry->IsDirectory()) continue;
    const std::size_t index = entries_.size() - 1;
    // emplace keeps the first entry of a key, as a walk in listing order would find it.
    by_path_.emplace(platform::FoldCase(entry->FilePath()), index);
    by_name_.emplace(platform::FoldCase(entry->FileName()), index);
  }
}

void ListingCache::Clear() {
  entries_.clear();
  by_path_.clear();
  by_name_.clear();
  changed_.clear();
}

void ListingCache::NoteChanged(std::string_view file_name) {
  changed_.insert(platform::FoldCase(BareFileName(file_name)));
}

std::size_t ListingCache::Find(const std::unordered_map<std::string, std::size_t>& index,
                               const std::string& key) {
  const auto found = index.find(key);
  return found == index.end() ? std::string::npos : found->second;
}

std::shared_ptr<CFtpFile> ListingCache::Lookup(std::string_view path) const {
  if (entries_.empty()) return nullptr;
  if (changed_.contains(platform::FoldCase(BareFileName(path)))) return nullptr;
  std::size_t index = std::string::npos;
  if (path.find_first_of("/\\") != std::string_view::npos) {
    const std::string folded = platform::FoldCase(path);
    index = std::min(Find(by_path_, folded), Find(by_path_, "/" + folded));
  } else {
    index = Find(by_name_, platform::FoldCase(path));
  }
  if (index == std::string::npos) return nullptr;
  return std::make_shared<CFtpFile>(*entries_[index]);
}

}  // namespace tarvik
