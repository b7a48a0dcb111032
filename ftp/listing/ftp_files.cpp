#include "ftp/listing/ftp_files.h"

#include <string>

#include "core/errors/numbered_error.h"
#include "platform/text/case_fold.h"

namespace tarvik {

CFtpFiles::Entry CFtpFiles::Add(Entry oFtpFile) {
  if (!oFtpFile) Raise(kObjectNotSet, "Object variable not set");
  entries_.push_back(oFtpFile);
  return oFtpFile;
}

const CFtpFiles::Entry& CFtpFiles::Item(std::int16_t vntIndexKey) const {
  CheckIndex(vntIndexKey);
  return entries_[static_cast<std::size_t>(vntIndexKey) - 1];
}

CFtpFiles::Entry CFtpFiles::ItemName(std::string_view vntName) const {
  for (const Entry& entry : entries_) {
    if (platform::EqualsIgnoreCase(entry->FileName(), vntName)) return entry;
  }
  return nullptr;
}

std::int16_t CFtpFiles::Count() const {
  if (entries_.size() > static_cast<std::size_t>(kMaxCount))
    Raise(kOverflow, "Overflow: the collection holds " + std::to_string(entries_.size()) +
                         " entries; enumerate it instead");
  return static_cast<std::int16_t>(entries_.size());
}

void CFtpFiles::Remove(std::int16_t vntIndexKey) {
  CheckIndex(vntIndexKey);
  RemoveAt(static_cast<std::size_t>(vntIndexKey));
}

const CFtpFiles::Entry& CFtpFiles::ItemAt(std::size_t index) const {
  CheckIndex(static_cast<long long>(index));
  return entries_[index - 1];
}

void CFtpFiles::RemoveAt(std::size_t index) {
  CheckIndex(static_cast<long long>(index));
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index - 1));
}

void CFtpFiles::CheckIndex(long long index) const {
  if (index < 1 || static_cast<std::size_t>(index) > entries_.size())
    Raise(kIndexOutOfRange, "Subscript out of range: " + std::to_string(index));
}

}  // namespace tarvik
