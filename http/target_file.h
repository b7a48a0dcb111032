// The local file a download writes: opened at the resume offset, each body piece written in full
// where the last one ended. A file that is to be replaced keeps its old contents until the first
// byte of the new one is written, so a download that fails before it delivers anything leaves
// the old file as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/fs/file_handles.h"

namespace tarvik {

class TargetFile {
 public:
  TargetFile() = default;
  ~TargetFile() { Close(); }
  TargetFile(const TargetFile&) = delete;
  TargetFile& operator=(const TargetFile&) = delete;

  // Opens (or creates) `path` for writing at `offset`. `replace`: the old contents go once the
  // first bytes arrive (a read-only attribute goes at once). Raises NumberedError 20023 (cannot
  // create) or 20024 (cannot open or position), with the system's reason.
  void Open(const std::string& path, std::int64_t offset, bool replace);
  // Writes `bytes` at the current position; raises the system's error when the disk refuses.
  void Write(std::span<const std::uint8_t> bytes);
  // Cuts a file that was to be replaced and received nothing (an empty new file).
  void CutIfReplacing();
  bool IsOpen() const { return file_ != platform::INVALID_HANDLE_VALUE; }
  void Close();

 private:
  platform::HANDLE file_ = platform::INVALID_HANDLE_VALUE;
  std::string path_;
  bool cut_pending_ = false;
};

}  // namespace tarvik
