#include "local/folder_chain.h"

#include <algorithm>
#include <string>

#include "platform/fs/file_attributes.h"

namespace tarvik {

namespace {

// The folder's volume and index; {0, 0} when they cannot be read.
std::pair<std::uint64_t, std::uint64_t> IdentityOf(std::string_view folder) {
  platform::FileAttributeData data;
  std::string path(folder);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (!platform::GetFileAttributesEx(path, &data)) return {0, 0};
  return {data.volume_serial, data.file_index};
}

}  // namespace

bool FolderChain::Enter(std::string_view folder) {
  const auto id = IdentityOf(folder);
  if (id != std::pair<std::uint64_t, std::uint64_t>{0, 0} &&
      std::find(ids_.begin(), ids_.end(), id) != ids_.end()) {
    return false;
  }
  ids_.push_back(id);
  return true;
}

bool FolderChain::Holds(std::string_view folder) const {
  const auto id = IdentityOf(folder);
  return id != std::pair<std::uint64_t, std::uint64_t>{0, 0} &&
         std::find(ids_.begin(), ids_.end(), id) != ids_.end();
}

}  // namespace tarvik
