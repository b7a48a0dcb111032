#include "http/target_file.h"

#include <algorithm>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"

namespace tarvik {
namespace {
// WriteFile takes a 32-bit count.
constexpr std::size_t kLargestWrite = 1u << 30;

[[noreturn]] void RaiseFileError(long number, const std::string& path) {
  const std::string reason = platform::FormatSystemMessage(platform::GetLastError());
  Raise(number, ErrorTextWith(number, path) + (reason.empty() ? "" : " " + reason));
}

}  // namespace

void TargetFile::Open(const std::string& path, std::int64_t offset, bool replace) {
  using namespace platform;
  Close();
  path_ = path;
  const bool exists = GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES;
  if (exists && replace) SetFileAttributes(path, FILE_ATTRIBUTE_NORMAL);
  file_ = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     exists ? OPEN_EXISTING : CREATE_ALWAYS);
  if (file_ == INVALID_HANDLE_VALUE) {
    RaiseFileError(exists ? ErrorCode::kFailedToOpenFile : ErrorCode::kFailedToCreateFile, path);
  }
  cut_pending_ = exists && replace;
  if (offset > 0 && !SetFilePointerEx(file_, offset, nullptr, FILE_BEGIN)) {
    Close();
    RaiseFileError(ErrorCode::kFailedToOpenFile, path);
  }
}

void TargetFile::CutIfReplacing() {
  if (!cut_pending_) return;
  cut_pending_ = false;
  if (!platform::SetEndOfFile(file_)) RaiseFileError(ErrorCode::kFailedToOpenFile, path_);
}

void TargetFile::Write(std::span<const std::uint8_t> bytes) {
  CutIfReplacing();
  while (!bytes.empty()) {
    const std::size_t piece = std::min(bytes.size(), kLargestWrite);
    platform::DWORD written = 0;
    if (!platform::WriteFile(file_, bytes.data(), static_cast<platform::DWORD>(piece), &written) ||
        written == 0) {
      const platform::DWORD error = platform::GetLastError();
      Raise(static_cast<long>(error),
            "Failed to write [ " + path_ + " ] ! " + platform::FormatSystemMessage(error));
    }
    bytes = bytes.subspan(written);
  }
}

void TargetFile::Close() {
  if (file_ != platform::INVALID_HANDLE_VALUE) platform::CloseHandle(file_);
  file_ = platform::INVALID_HANDLE_VALUE;
  cut_pending_ = false;
}

}  // namespace tarvik
