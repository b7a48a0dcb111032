// CFtpFiles: the ordered collection of directory entries a listing returns.
//
// Published members (Add, Item, ItemName, Count, Remove, and enumeration through begin/end for
// NewEnum) keep their 16-bit indexes and count, 1-based. The collection itself is not limited:
// a folder of any size is parsed and walked in full. Past 32,767 entries:
//   - Count raises error 6 ("Overflow"), so a host loop "1 To Count" fails loudly rather than
//     silently missing entries;
//   - Item and Remove reach the first 32,767 entries;
//   - enumeration (NewEnum, for-each) and the internal members Size, ItemAt and RemoveAt cover
//     every entry. Code inside the library uses those.
// Entries are shared: a host that keeps one keeps it alive after the collection is gone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "ftp/listing/ftp_file.h"

namespace tarvik {

class CFtpFiles {
 public:
  using Entry = std::shared_ptr<CFtpFile>;
  using const_iterator = std::vector<Entry>::const_iterator;

  // Errors raised (as NumberedError) by the members below.
  static constexpr long kOverflow = 6;         // "Overflow": Count past 32,767
  static constexpr long kIndexOutOfRange = 9;  // "Subscript out of range"
  static constexpr long kObjectNotSet = 91;    // "Object variable not set": Add(nullptr)
  static constexpr std::int16_t kMaxCount = 32767;

  // Appends `oFtpFile` and returns it. The published member also takes a key, which is accepted
  // and not kept (names may repeat; lookups by name go through ItemName), so it has no place here.
  // An empty pointer raises kObjectNotSet: every entry of a collection is an object.
  Entry Add(Entry oFtpFile);

  // The entry at the 1-based index; raises kIndexOutOfRange outside 1..Count.
  const Entry& Item(std::int16_t vntIndexKey) const;

  // The first entry whose FileName equals `vntName` ignoring letter case; nullptr when none.
  Entry ItemName(std::string_view vntName) const;

  // The number of entries; raises kOverflow past 32,767 (see above).
  std::int16_t Count() const;

  // Removes the entry at the 1-based index; later entries move down.
  void Remove(std::int16_t vntIndexKey);

  // Enumeration in order (NewEnum).
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

  // Internal members without the 16-bit limits. Indexes are 1-based like Item's.
  std::size_t Size() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }
  const Entry& ItemAt(std::size_t index) const;
  void RemoveAt(std::size_t index);
  void Reserve(std::size_t count) { entries_.reserve(count); }

 private:
  // Raises kIndexOutOfRange unless 1 <= index <= Size().
  void CheckIndex(long long index) const;

  std::vector<Entry> entries_;  // the entries in listing order, never null
};

}  // namespace tarvik
