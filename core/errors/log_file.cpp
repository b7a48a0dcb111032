#include "core/errors/log_file.h"

#include "platform/fs/file_attributes.h"
#include "platform/fs/file_handles.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/known_folders.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"

namespace tarvik {

namespace {

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

}  // namespace

bool FolderExists(std::string_view path) {
  const platform::DWORD attributes = platform::GetFileAttributes(path);
  return attributes != platform::INVALID_FILE_ATTRIBUTES &&
         (attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string_view FolderOfPath(std::string_view path) {
  const std::size_t separator = path.rfind('\\');
  return separator == std::string_view::npos ? std::string_view() : path.substr(0, separator);
}

std::string PrepareLogFilePath() {
  const std::string documents = platform::GetDocumentsFolder();
  if (documents.empty() || !FolderExists(documents)) return {};
  const std::string folder = JoinPath(documents, kLogFolderName);
  if (!FolderExists(folder)) platform::CreateDirectory(folder);
  return JoinPath(folder, kLogFileName);
}

std::string LogLine(std::string_view text) {
  std::string line(text);
  line += "  {";
  line += platform::GeneralDateText(platform::LocalNow());
  line += "}\r\n";
  return line;
}

bool AppendLogLine(std::string_view path, std::string_view text, bool overwrite) {
  const platform::HANDLE file = platform::CreateFile(
      path, platform::GENERIC_WRITE, platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE,
      overwrite ? platform::CREATE_ALWAYS : platform::OPEN_ALWAYS);
  if (file == platform::INVALID_HANDLE_VALUE) return false;
  const std::string line = LogLine(text);
  platform::DWORD written = 0;
  const bool ok =
      platform::SetFilePointerEx(file, 0, nullptr, platform::FILE_END) &&
      platform::WriteFile(file, line.data(), static_cast<platform::DWORD>(line.size()), &written) &&
      written == line.size();
  const bool closed = platform::CloseHandle(file);
  return ok && closed;
}

bool DeleteOversizedLog(std::string_view path) {
  platform::FileAttributeData data;
  if (path.empty() || !platform::GetFileAttributesEx(path, &data)) return false;
  if ((data.attributes & platform::FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
  if (data.size < static_cast<std::uint64_t>(kLogSizeLimit)) return false;
  return platform::DeleteFile(path);
}

void TrimLogFileAtStartup() {
  DeleteOversizedLog(PrepareLogFilePath());
}

}  // namespace tarvik
