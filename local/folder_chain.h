// The folders a recursive walk of a local tree is inside, by identity. A folder reached again
// through a symbolic link to a folder above it is already on the chain: entering it would never
// end, so the walk passes it over. A link to a folder elsewhere is followed like any folder.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvik {

class FolderChain {
 public:
  // Enters `folder` (a Windows path); false, leaving the chain as it was, when the folder is
  // already on it. A folder whose identity cannot be read is entered (its search then fails as
  // it would have).
  bool Enter(std::string_view folder);
  // Whether `folder` is already on the chain: a link back to a folder the walk is inside.
  bool Holds(std::string_view folder) const;
  // Leaves the folder entered last.
  void Leave() { ids_.pop_back(); }

 private:
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ids_;  // volume, file index
};

// Enters a folder for the length of a scope; `entered` tells whether it was entered.
class ScopedFolder {
 public:
  ScopedFolder(FolderChain& chain, std::string_view folder)
      : chain_(chain), entered_(chain.Enter(folder)) {}
  ~ScopedFolder() {
    if (entered_) chain_.Leave();
  }
  ScopedFolder(const ScopedFolder&) = delete;
  ScopedFolder& operator=(const ScopedFolder&) = delete;
  bool entered() const { return entered_; }

 private:
  FolderChain& chain_;
  bool entered_;
};

}  // namespace tarvik
