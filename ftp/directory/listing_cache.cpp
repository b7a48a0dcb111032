#include "ftp/directory/listing_cache.h"

#include <algorithm>
#include <functional>

#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

std::uint64_t NameHash(const std::string& folded_name) {
  return std::hash<std::string>{}(folded_name);
}

}  // namespace

std::string_view BareFileName(std::string_view path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

void ListingCache::Store(std::shared_ptr<const CFtpFiles> entries) {
  by_name_.clear();
  entries_ = std::move(entries);
  if (!entries_) return;
  by_name_.reserve(entries_->Size());
  std::uint32_t index = 0;
  for (const CFtpFiles::Entry& entry : *entries_) {
    if (!entry->IsDirectory())
      by_name_.push_back({NameHash(platform::FoldCase(entry->FileNameView())), index});
    ++index;
  }
  std::sort(by_name_.begin(), by_name_.end());
  by_name_.shrink_to_fit();
}

void ListingCache::Clear() {
  entries_.reset();
  by_name_ = {};
  changed_.clear();
}

void ListingCache::NoteChanged(std::string_view file_name) {
  changed_.insert(platform::FoldCase(BareFileName(file_name)));
}

std::shared_ptr<CFtpFile> ListingCache::Lookup(std::string_view path) const {
  if (Empty()) return nullptr;
  const std::string name = platform::FoldCase(BareFileName(path));
  if (changed_.contains(name)) return nullptr;
  const bool whole_path = path.find_first_of("/\\") != std::string_view::npos;
  const std::string folded_path = whole_path ? platform::FoldCase(path) : std::string();
  const std::uint64_t hash = NameHash(name);
  // The keys of one hash are in listing order: the first that matches is the first entry.
  for (auto key = std::lower_bound(by_name_.begin(), by_name_.end(), NameKey{hash, 0});
       key != by_name_.end() && key->hash == hash; ++key) {
    const CFtpFile& entry = *entries_->ItemAt(key->index + 1);
    if (platform::FoldCase(entry.FileNameView()) != name) continue;
    if (whole_path) {
      const std::string entry_path = platform::FoldCase(entry.FilePathView());
      if (entry_path != folded_path && entry_path != "/" + folded_path) continue;
    }
    // An entry its host changed no longer tells what the server listed.
    if (entry.Changed()) return nullptr;
    return std::make_shared<CFtpFile>(entry);
  }
  return nullptr;
}

}  // namespace tarvik
