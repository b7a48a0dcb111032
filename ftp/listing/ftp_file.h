// CFtpFile: one remote directory entry, as the listing parser builds it and a host reads it.
// A plain value object; the setters store what they are given. Hosts receive entries as
// std::shared_ptr<CFtpFile> and keep them as long as they like.
//
// A listing may hold millions of entries, so an entry keeps its texts back to back in one
// allocation (time, permissions, owner, group, link target, name, path, in that order), which the
// parser fills in that order, each text appended to the ones before.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

class CFtpFile {
 public:
  bool IsDirectory() const { return is_directory_; }
  void SetIsDirectory(bool value) {
    is_directory_ = value;
    NoteChange();
  }

  double FileSize() const { return file_size_; }
  void SetFileSize(double value) {
    file_size_ = value;
    NoteChange();
  }

  // The stored time text without its seconds (see TimeTextWithoutSeconds).
  std::string LastWriteTime() const;
  void SetLastWriteTime(std::string_view value) { SetText(kTime, value); }
  // The time text as stored, seconds included.
  std::string StoredLastWriteTime() const { return std::string(Text(kTime)); }

  std::string FileName() const { return std::string(Text(kName)); }
  std::string_view FileNameView() const { return Text(kName); }
  void SetFileName(std::string_view value) { SetText(kName, value); }

  std::string FilePath() const { return std::string(Text(kPath)); }
  std::string_view FilePathView() const { return Text(kPath); }
  void SetFilePath(std::string_view value) { SetText(kPath, value); }

  std::string Permissions() const { return std::string(Text(kPermissions)); }
  void SetPermissions(std::string_view value) { SetText(kPermissions, value); }

  std::string Owner() const { return std::string(Text(kOwner)); }
  void SetOwner(std::string_view value) { SetText(kOwner, value); }

  std::string Group() const { return std::string(Text(kGroup)); }
  void SetGroup(std::string_view value) { SetText(kGroup, value); }

  // Whether the listing gave this entry's name with a path ("../x", "a\b"): FileName keeps only
  // its last part, which is not the entry the server listed.
  bool ListedWithPath() const { return listed_with_path_; }
  void SetListedWithPath(bool value) {
    listed_with_path_ = value;
    NoteChange();
  }

  // Whether the listing marks the entry as a symbolic link. Its listed size is that of the link,
  // not of what it names, and only the server can tell whether that is a folder or a file.
  bool IsLink() const { return is_link_; }
  void SetIsLink(bool value) {
    is_link_ = value;
    NoteChange();
  }

  // Where a symbolic link points, as the listing line gives it; "" for other entries.
  std::string LinkTarget() const { return std::string(Text(kLinkTarget)); }
  void SetLinkTarget(std::string_view value) { SetText(kLinkTarget, value); }

  // The listing is done with this entry: its texts take no more room than they need, and a
  // change made from now on (by a host holding the entry) shows in Changed().
  void Seal();
  bool Changed() const { return changed_; }

 private:
  // The texts, in the order they are kept.
  enum Field { kTime, kPermissions, kOwner, kGroup, kLinkTarget, kName, kPath };

  std::size_t Begin(Field field) const { return field == 0 ? 0 : ends_[field - 1]; }
  std::size_t End(Field field) const { return field == kPath ? texts_.size() : ends_[field]; }
  std::string_view Text(Field field) const {
    return std::string_view(texts_).substr(Begin(field), End(field) - Begin(field));
  }
  void SetText(Field field, std::string_view value);
  void NoteChange() { changed_ = changed_ || sealed_; }

  double file_size_ = 0;                     // size in bytes, as listed
  std::string texts_;                        // every text, back to back
  std::array<std::uint32_t, kPath> ends_{};  // where each text before the path ends in texts_
  bool is_directory_ = false;      // the entry is a folder (a link only when the server says so)
  bool listed_with_path_ = false;  // the listed name held a separator
  bool is_link_ = false;           // the listing marks a symbolic link
  bool sealed_ = false;            // Seal() was called
  bool changed_ = false;           // changed after Seal()
};

// A time text with the seconds taken out: the part before the second ":" and, after one blank,
// whatever follows the two digits of the seconds. "2019-01-05 12:30:45" reads
// "2019-01-05 12:30", "1/5/2019 12:30:45 PM" reads "1/5/2019 12:30 PM". A text without two ":"
// (or with its first ":" at the very start) comes back unchanged.
std::string TimeTextWithoutSeconds(std::string_view text);

}  // namespace tarvik
