#include "local/folder_chain.h"

#include <algorithm>
#include <string>

#include "platform/fs/file_attributes.h"

namespace tarvik {

bool FolderChain::Enter(std::string_view folder) {
  platform::FileAttributeData data;
  std::string path(folder);
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (!platform::GetFileAttributesEx(path, &data)) {
    ids_.emplace_back(0, 0);
    return true;
  }
  const std::pair<std::uint64_t, std::uint64_t> id{data.volume_serial, data.file_index};
  if (std::find(ids_.begin(), ids_.end(), id) != ids_.end()) return false;
  ids_.push_back(id);
  return true;
}

}  // namespace tarvik
