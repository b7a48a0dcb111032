#include "setup/setup_files.h"

#include <vector>

#include "core/errors/numbered_error.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/file_handles.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/last_error.h"

namespace tarvik::setup {
namespace {

using platform::DWORD;

// Raises the runtime's file error for the last system error.
[[noreturn]] void RaiseFileError() {
  switch (platform::GetLastError()) {
    case platform::ERROR_FILE_NOT_FOUND:
      Raise(53, "File not found");
    case platform::ERROR_PATH_NOT_FOUND:
      Raise(76, "Path not found");
    case platform::ERROR_ACCESS_DENIED:
    case platform::ERROR_SHARING_VIOLATION:
    case platform::ERROR_LOCK_VIOLATION:
      Raise(70, "Permission denied");
    case platform::ERROR_DISK_FULL:
      Raise(61, "Disk full");
    default:
      Raise(75, "Path/File access error");
  }
}

// A file handle closed on scope exit.
class File {
 public:
  explicit File(platform::HANDLE handle) : handle_(handle) {}
  ~File() {
    if (handle_ != platform::INVALID_HANDLE_VALUE) platform::CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  platform::HANDLE get() const { return handle_; }

 private:
  platform::HANDLE handle_;
};

bool HasAttributes(std::string_view path, bool folder) {
  const DWORD attributes = platform::GetFileAttributes(path);
  if (attributes == platform::INVALID_FILE_ATTRIBUTES) return false;
  return ((attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) == folder;
}

}  // namespace

bool FolderExists(std::string_view path) {
  return HasAttributes(path, /*folder=*/true);
}

bool FileExists(std::string_view path) {
  return HasAttributes(path, /*folder=*/false);
}

void CreateFolderPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  if (FolderExists(path)) return;
  const std::size_t parent_end = path.rfind('\\');
  if (parent_end != std::string::npos && parent_end > 3) {
    CreateFolderPath(path.substr(0, parent_end));
  }
  platform::CreateDirectory(path);
}

void CopyFile(std::string_view source, std::string_view target) {
  const File from(platform::CreateFile(source, platform::GENERIC_READ, platform::FILE_SHARE_READ,
                                       platform::OPEN_EXISTING));
  if (from.get() == platform::INVALID_HANDLE_VALUE) RaiseFileError();
  const File to(platform::CreateFile(target, platform::GENERIC_WRITE, 0, platform::CREATE_ALWAYS));
  if (to.get() == platform::INVALID_HANDLE_VALUE) RaiseFileError();
  std::vector<char> block(1 << 16);
  for (;;) {
    DWORD read = 0;
    if (!platform::ReadFile(from.get(), block.data(), static_cast<DWORD>(block.size()), &read)) {
      RaiseFileError();
    }
    if (read == 0) return;
    DWORD written = 0;
    if (!platform::WriteFile(to.get(), block.data(), read, &written)) RaiseFileError();
  }
}

void DeleteFile(std::string_view path) {
  if (!platform::DeleteFile(path)) RaiseFileError();
}

}  // namespace tarvik::setup
