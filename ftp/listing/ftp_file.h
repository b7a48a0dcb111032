// CFtpFile: one remote directory entry, as the listing parser builds it and a host reads it.
// A plain value object; the setters store what they are given. Hosts receive entries as
// std::shared_ptr<CFtpFile> and keep them as long as they like.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

class CFtpFile {
 public:
  bool IsDirectory() const { return is_directory_; }
  void SetIsDirectory(bool value) { is_directory_ = value; }

  double FileSize() const { return file_size_; }
  void SetFileSize(double value) { file_size_ = value; }

  // The stored time text without its seconds (see TimeTextWithoutSeconds).
  std::string LastWriteTime() const;
  void SetLastWriteTime(std::string value) { last_write_time_ = std::move(value); }
  // The time text as stored, seconds included.
  const std::string& StoredLastWriteTime() const { return last_write_time_; }

  const std::string& FileName() const { return file_name_; }
  void SetFileName(std::string value) { file_name_ = std::move(value); }

  const std::string& FilePath() const { return file_path_; }
  void SetFilePath(std::string value) { file_path_ = std::move(value); }

  const std::string& Permissions() const { return permissions_; }
  void SetPermissions(std::string value) { permissions_ = std::move(value); }

  const std::string& Owner() const { return owner_; }
  void SetOwner(std::string value) { owner_ = std::move(value); }

  const std::string& Group() const { return group_; }
  void SetGroup(std::string value) { group_ = std::move(value); }

  // Whether the listing gave this entry's name with a path ("../x", "a\b"): FileName keeps only
  // its last part, which is not the entry the server listed.
  bool ListedWithPath() const { return listed_with_path_; }
  void SetListedWithPath(bool value) { listed_with_path_ = value; }

  // Whether the listing marks the entry as a symbolic link. Its listed size is that of the link,
  // not of what it names, and only the server can tell whether that is a folder or a file.
  bool IsLink() const { return is_link_; }
  void SetIsLink(bool value) { is_link_ = value; }

  // Where a symbolic link points, as the listing line gives it; "" for other entries.
  const std::string& LinkTarget() const { return link_target_; }
  void SetLinkTarget(std::string value) { link_target_ = std::move(value); }

 private:
  bool is_directory_ = false;    // the entry is a folder (a link only when the server says so)
  bool listed_with_path_ = false;  // the listed name held a separator
  bool is_link_ = false;           // the listing marks a symbolic link
  double file_size_ = 0;         // size in bytes, as listed
  std::string last_write_time_;  // modification time as general-date text, seconds included
  std::string file_name_;        // bare name, never a path
  std::string file_path_;        // absolute remote path: listing base folder + "/" + name
  std::string permissions_;      // mode string such as "drwxr-xr-x" (Unix-style lines only)
  std::string owner_;            // owner column (Unix-style lines only)
  std::string group_;            // group column (Unix-style lines with one only)
  std::string link_target_;      // target of a symbolic link, when the line names it
};

// A time text with the seconds taken out: the part before the second ":" and, after one blank,
// whatever follows the two digits of the seconds. "2019-01-05 12:30:45" reads
// "2019-01-05 12:30", "1/5/2019 12:30:45 PM" reads "1/5/2019 12:30 PM". A text without two ":"
// (or with its first ":" at the very start) comes back unchanged.
std::string TimeTextWithoutSeconds(std::string_view text);

}  // namespace tarvik
