#include "local/c_file.h"

#include <algorithm>

#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "core/errors/message_table.h"
#include "core/errors/numbered_error.h"
#include "local/folder_chain.h"
#include "platform/fs/directory_search.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/last_error.h"
#include "platform/fs/name_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

std::string WithPath(std::string text, std::string_view path) {
  const std::size_t at = text.find("{0}");
  if (at != std::string::npos) text.replace(at, 3, path);
  return text;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         platform::EqualsIgnoreCase(text.substr(text.size() - tail.size()), tail);
}

// The first entry a search of `pattern` finds, when it is a file whose name ends `pattern`.
bool FoundAsFile(const std::string& pattern) {
  platform::FindData data;
  const platform::HANDLE search = platform::FindFirstFile(pattern, &data);
  if (search == platform::INVALID_HANDLE_VALUE) return false;
  platform::FindClose(search);
  return !(data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) &&
         EndsWithIgnoringCase(pattern, data.name);
}

std::string ExtensionOf(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot + 1));
}

}  // namespace

bool CFile::FileExists(std::string_view path) const {
  const std::string lowered = platform::FoldCase(platform::Trim(path, platform::kSpaces));
  if (lowered.empty()) return false;
  if (FoundAsFile(lowered)) return true;
  std::string formatted = tarvik::FormatLocalPath(path);
  if (formatted.empty() || formatted.front() != '\\') return false;
  if (formatted.size() < 2 || formatted[1] != '\\') formatted.insert(0, 1, '\\');
  return FoundAsFile(formatted);
}

bool CFile::FolderExists(std::string_view path) const {
  const std::string trimmed(platform::Trim(path, platform::kSpaces));
  if (trimmed.empty()) return false;
  const auto attributes = static_cast<std::int32_t>(platform::GetFileAttributes(trimmed));
  return attributes > 0 && (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CFile::CreateFolder(std::string_view path) const {
  std::string folder = tarvik::FormatLocalPath(path);
  if (!folder.empty() && folder.back() == '\\') folder.pop_back();
  if (folder.empty()) Raise(ErrorCode::kInputLocalPath, MessageText(message_row::kInputFilename));
  if (!IsAbsoluteLocalPath(folder))
    Raise(ErrorCode::kNotAbsolutePath,
          WithPath(MessageText(message_row::kEnterAbsolutePath), folder));
  if (FolderExists(folder)) return true;
  const std::string parent = tarvik::GetParentPath(folder);
  if (parent.size() > 3 && !FolderExists(parent)) CreateFolder(parent);
  if (platform::CreateDirectory(folder) || FolderExists(folder)) return true;
  DispatchError("CreateFolder", ErrorCode::kCreateDirectoryFailed,
                WithPath(MessageText(message_row::kFailedToCreateDirectory), folder), false);
  return false;
}

namespace {

// ListDirs below `folder`, adding to `entries`; a folder already on `chain` (a link back to a
// folder above) is passed over.
void ListFolder(std::string_view folder, bool recursive, int flag, const std::string& filter,
                FolderChain& chain, std::vector<std::string>& entries) {
  std::string path(folder);
  std::replace(path.begin(), path.end(), '/', '\\');
  if ((path.empty() || path.back() != '\\') && !platform::HasWildcards(path)) path += '\\';
  const std::string prefix = path.substr(0, path.rfind('\\') + 1);
  const std::string pattern = path.back() == '\\' ? path + "*" : path;
  const bool every_file = filter.empty() || filter == "*";

  ScopedFolder inside(chain, prefix);
  if (!inside.entered()) return;
  std::vector<std::string> subfolders;
  platform::FindData data;
  const platform::HANDLE search = platform::FindFirstFile(pattern, &data);
  if (search == platform::INVALID_HANDLE_VALUE) {
    const platform::DWORD error = platform::GetLastError();
    if (error == platform::ERROR_FILE_NOT_FOUND) return;
    Raise(static_cast<long>(error), platform::FormatSystemMessage(error));
  }
  do {
    if (data.name == "." || data.name == "..") continue;
    const std::string full_path = prefix + data.name;
    if (data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) {
      if (chain.Holds(full_path)) continue;  // a link back up: neither listed nor entered
      subfolders.push_back(full_path);
      if (flag == kDirListFolders) entries.push_back(full_path);
      if (flag != kDirListFiles && flag != kDirListFolders) entries.push_back("1*" + full_path);
    } else if (every_file ||
               filter.find(platform::FoldCase(ExtensionOf(data.name))) != std::string::npos) {
      if (flag == kDirListFiles) entries.push_back(full_path);
      if (flag != kDirListFiles && flag != kDirListFolders) entries.push_back("0*" + full_path);
    }
  } while (platform::FindNextFile(search, &data));
  platform::FindClose(search);

  if (recursive) {
    for (const std::string& subfolder : subfolders) {
      ListFolder(subfolder + "\\", true, flag, filter, chain, entries);
    }
  }
}

}  // namespace

std::vector<std::string> CFile::ListDirs(std::string_view folder, bool recursive, int flag,
                                         std::string_view extensions) const {
  std::vector<std::string> entries;
  FolderChain chain;
  ListFolder(folder, recursive, flag, platform::FoldCase(extensions), chain, entries);
  return entries;
}

std::string CFile::GetDirList(std::string_view folder, bool recursive, int flag,
                              std::string_view extensions) const {
  try {
    std::string joined;
    for (const std::string& entry : ListDirs(folder, recursive, flag, extensions)) {
      if (!joined.empty()) joined += '|';
      joined += entry;
    }
    return joined;
  } catch (const NumberedError& error) {
    return "Error:" + error.description() + "#|#" + std::to_string(error.number());
  }
}

}  // namespace tarvik
