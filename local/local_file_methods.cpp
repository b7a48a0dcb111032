#include "local/local_file_methods.h"

#include <chrono>
#include <exception>

#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/numbered_error.h"
#include "core/errors/pending_error.h"
#include "platform/fs/directory_search.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/file_handles.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/last_error.h"
#include "platform/text/ascii_text.h"
#include "platform/text/code_page.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

using platform::DWORD;
using platform::HANDLE;

constexpr DWORD kChunk = 1 << 20;  // bytes per read or write call

[[noreturn]] void RaiseLastError() {
  const DWORD error = platform::GetLastError();
  Raise(static_cast<long>(error), platform::FormatSystemMessage(error));
}

void WriteLogLine(std::string_view text) {
  EnsureErrorRecord().WriteFile(text, false);
}

// Closes a file handle when the scope ends.
class ScopedHandle {
 public:
  explicit ScopedHandle(HANDLE handle) : handle_(handle) {}
  ~ScopedHandle() {
    if (handle_ != platform::INVALID_HANDLE_VALUE) platform::CloseHandle(handle_);
  }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Puts a file's attributes back when the scope ends, whatever happened in between.
class AttributesRestorer {
 public:
  AttributesRestorer(std::string path, DWORD attributes)
      : path_(std::move(path)), attributes_(attributes) {}
  ~AttributesRestorer() {
    if (attributes_ != platform::INVALID_FILE_ATTRIBUTES)
      platform::SetFileAttributes(path_, attributes_);
  }
  AttributesRestorer(const AttributesRestorer&) = delete;
  AttributesRestorer& operator=(const AttributesRestorer&) = delete;

 private:
  std::string path_;
  DWORD attributes_;
};

std::string ReadWholeFile(const std::string& path) {
  ScopedHandle file(platform::CreateFile(path, platform::GENERIC_READ,
                                         platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE,
                                         platform::OPEN_EXISTING));
  if (file.get() == platform::INVALID_HANDLE_VALUE) RaiseLastError();
  std::string bytes;
  std::string buffer(kChunk, '\0');
  DWORD read = 0;
  do {
    if (!platform::ReadFile(file.get(), buffer.data(), kChunk, &read)) RaiseLastError();
    bytes.append(buffer.data(), read);
  } while (read == kChunk);
  return bytes;
}

void WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto size = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kChunk));
    DWORD written = 0;
    if (!platform::WriteFile(file, bytes.data(), size, &written)) RaiseLastError();
    bytes.remove_prefix(written);
  }
}

// The lines of `text` (ended by CR LF, CR or LF) joined by CR LF, without one after the last.
std::string JoinLinesWithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    if (i + 1 < text.size()) out += "\r\n";  // a terminator at the very end ends the last line
  }
  return out;
}

// A folder path for the tree walks: "/" to "\", doubled "\" folded (a network path keeps its
// "\\"), and a trailing "\".
std::string FolderWithSeparator(std::string_view path) {
  std::string folder = FormatLocalPath(path);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The entries of `folder` (with its trailing "\") other than "." and ".."; an empty list for a
// missing folder. Raises the system error when the folder cannot be searched.
std::vector<platform::FindData> FolderEntries(const std::string& folder) {
  std::vector<platform::FindData> entries;
  platform::FindData data;
  const HANDLE search = platform::FindFirstFile(folder + "*", &data);
  if (search == platform::INVALID_HANDLE_VALUE) {
    const DWORD error = platform::GetLastError();
    if (error == platform::ERROR_FILE_NOT_FOUND || error == platform::ERROR_PATH_NOT_FOUND)
      return entries;
    RaiseLastError();
  }
  do {
    if (data.name != "." && data.name != "..") entries.push_back(data);
  } while (platform::FindNextFile(search, &data));
  platform::FindClose(search);
  return entries;
}

bool IsFolder(const platform::FindData& entry) {
  return (entry.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

LocalFileMethods::LocalFileMethods(ErrorReporter report, MessagePump pump)
    : report_(std::move(report)), pump_(std::move(pump)) {}

void LocalFileMethods::Report(std::string_view procedure, long number,
                              std::string_view description) const {
  if (report_)
    report_(procedure, number, description);
  else
    DispatchError(procedure, number, description, false);
}

std::string LocalFileMethods::GetFileName(std::string_view FilePath) const {
  return tarvik::GetFileName(FilePath);
}

std::string LocalFileMethods::GetFileNameWithoutExt(std::string_view FilePath) const {
  return tarvik::GetFileNameWithoutExt(FilePath);
}

std::string LocalFileMethods::GetFileExtension(std::string_view FilePath) const {
  return tarvik::GetFileExtension(FilePath);
}

std::string LocalFileMethods::GetParentPath(std::string_view FolderPath) const {
  return tarvik::GetParentPath(FolderPath);
}

bool LocalFileMethods::LocalFileExists(std::string_view FilePath) const {
  return file_.FileExists(FilePath);
}

bool LocalFileMethods::LocalFolderExists(std::string_view FolderPath) const {
  return file_.FolderExists(FolderPath);
}

bool LocalFileMethods::LocalFileCreate(std::string_view FilePath) const {
  return Guarded(
      false,
      [&] {
        if (file_.FileExists(FilePath)) return false;
        const std::string path(platform::Trim(FilePath, platform::kSpaces));
        file_.CreateFolder(tarvik::GetParentPath(path));
        // CREATE_NEW rather than "always create": a file that appeared since the check is left
        // as it is.
        ScopedHandle created(platform::CreateFile(
            path, platform::GENERIC_WRITE, platform::FILE_SHARE_WRITE, platform::CREATE_NEW));
        if (created.get() != platform::INVALID_HANDLE_VALUE) return true;
        if (platform::GetLastError() == platform::ERROR_FILE_EXISTS) return false;
        RaiseLastError();
      },
      [&](long number, const std::string& text) { Report("LocalFileCreate", number, text); });
}

bool LocalFileMethods::LocalFolderCreate(std::string_view FolderPath) const {
  return Guarded(
      false, [&] { return file_.CreateFolder(FolderPath); },
      [&](long number, const std::string& text) { Report("LocalFolderCreate", number, text); });
}

bool LocalFileMethods::LocalFileDelete(std::string_view FilePath) const {
  return Guarded(
      false,
      [&] {
        if (!platform::DeleteFile(platform::Trim(FilePath, platform::kSpaces))) RaiseLastError();
        return true;
      },
      [&](long number, const std::string& text) { Report("LocalFileDelete", number, text); });
}

std::string LocalFileMethods::LocalFileRead(std::string_view FilePath) const {
  return Guarded(
      std::string(),
      [&] {
        if (!file_.FileExists(FilePath)) return std::string();
        return JoinLinesWithCrLf(platform::AnsiToUtf8(
            ReadWholeFile(std::string(platform::Trim(FilePath, platform::kSpaces)))));
      },
      [](long number, const std::string& text) {
        WriteLogLine(std::to_string(number) + "RLF#" + "#" + text);
      });
}

bool LocalFileMethods::LocalFileWrite(std::string_view FilePath, std::string_view Text,
                                      bool Overwrite) const {
  const std::string path(platform::Trim(FilePath, platform::kSpaces));
  if (path.empty() || !LocalFolderCreate(tarvik::GetParentPath(path))) return false;
  return Guarded(
      false,
      [&] {
        // Attributes are cleared so that a read-only file can be written, and put back after.
        AttributesRestorer restorer(path, platform::GetFileAttributes(path));
        platform::SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
        ScopedHandle file(platform::CreateFile(
            path, platform::GENERIC_WRITE, platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE,
            Overwrite ? platform::CREATE_ALWAYS : platform::OPEN_ALWAYS));
        if (file.get() == platform::INVALID_HANDLE_VALUE) RaiseLastError();
        if (!Overwrite && !platform::SetFilePointerEx(file.get(), 0, nullptr, platform::FILE_END))
          RaiseLastError();
        WriteAll(file.get(), platform::Utf8ToAnsi(Text) + "\r\n");
        return true;
      },
      [](long number, const std::string& text) {
        WriteLogLine(std::to_string(number) + "WLF#" + "#" + text);
      });
}

double LocalFileMethods::GetLocalFileSize(std::string_view FilePath) const {
  return Guarded(
      -3.0,
      [&] {
        if (!file_.FileExists(FilePath)) return -1.0;
        ScopedHandle file(platform::CreateFile(platform::Trim(FilePath, platform::kSpaces),
                                               platform::GENERIC_READ, platform::FILE_SHARE_READ,
                                               platform::OPEN_EXISTING));
        if (file.get() == platform::INVALID_HANDLE_VALUE) {
          const auto error = static_cast<long>(platform::GetLastError());  // before the record
          EnsureErrorRecord().put_Number(error);  // may touch the disk and reset the last error
          return -2.0;
        }
        DWORD high = 0;
        const DWORD low = platform::GetFileSize(file.get(), &high);
        if (low == platform::INVALID_FILE_SIZE && platform::GetLastError() != 0) RaiseLastError();
        return tarvik::Long2Size(static_cast<std::int32_t>(high), static_cast<std::int32_t>(low));
      },
      [](long number, const std::string& text) {
        WriteLogLine("GLFS#" + std::to_string(number) + "#" + text);
      });
}

double LocalFileMethods::AddFolderSize(const std::string& folder, FolderChain& chain) const {
  WriteLogLine("GLFS2:" + folder);
  ScopedFolder inside(chain, folder);
  if (!inside.entered()) return 0;
  double total = 0;
  std::vector<std::string> subfolders;
  for (const platform::FindData& entry : FolderEntries(folder)) {
    if (IsFolder(entry))
      subfolders.push_back(folder + entry.name + "\\");
    else
      total += static_cast<double>(entry.Size());
  }
  for (const std::string& subfolder : subfolders) {
    total += AddFolderSize(subfolder, chain);
    if (pump_) pump_();
  }
  return total;
}

double LocalFileMethods::GetLocalFolderSize(std::string_view FolderPath) const {
  return Guarded(
      0.0,
      [&] {
        const std::string folder = FolderWithSeparator(FolderPath);
        WriteLogLine("GLFS1:" + folder);
        FolderChain chain;
        const double total = AddFolderSize(folder, chain);
        WriteLogLine("GLFS4:" + folder + "=" + std::to_string(static_cast<long long>(total)));
        return total;
      },
      [&](long number, const std::string& text) {
        WriteLogLine("GLFS3:" + std::to_string(number) + "#" + text);
        Report("GetLocalFolderSize", number, text);
      });
}

double LocalFileMethods::AddFileCount(const std::string& folder, FolderChain& chain) const {
  ScopedFolder inside(chain, folder);
  if (!inside.entered()) return 0;
  double count = 0;
  std::vector<std::string> subfolders;
  for (const platform::FindData& entry : FolderEntries(folder)) {
    if (IsFolder(entry))
      subfolders.push_back(folder + entry.name + "\\");
    else
      count += 1;
  }
  for (const std::string& subfolder : subfolders) {
    count += AddFileCount(subfolder, chain);
    if (pump_) pump_();
  }
  return count;
}

double LocalFileMethods::GetLocalFileCount(std::string_view FolderPath) const {
  const std::string trimmed(platform::Trim(FolderPath, platform::kSpaces));
  if (trimmed.size() <= 2 || trimmed.find_first_of("*?") != std::string::npos) return 0;
  return Guarded(
      0.0,
      [&] {
        FolderChain chain;
        return AddFileCount(FolderWithSeparator(trimmed), chain);
      },
      [](long, const std::string&) {});
}

std::string LocalFileMethods::GetLocalFileDate(std::string_view FilePath) const {
  if (!file_.FileExists(FilePath)) return {};
  platform::FileAttributeData data;
  if (!platform::GetFileAttributesEx(platform::Trim(FilePath, platform::kSpaces), &data)) return {};
  platform::SystemTime local =
      platform::ToLocalTime(std::chrono::floor<std::chrono::seconds>(data.last_write_time));
  local.milliseconds = 0;
  return platform::GeneralDateText(local);
}

std::string LocalFileMethods::GetLocalFileList(std::string_view FolderPath) const {
  return Guarded(
      std::string(),
      [&] {
        std::string joined;
        for (const std::string& path : file_.ListDirs(FolderPath, true, kDirListFiles)) {
          if (!joined.empty()) joined += '|';
          joined += path;
        }
        return joined;
      },
      [&](long number, const std::string& text) { Report("GetLocalFileList", number, text); });
}

}  // namespace tarvik
