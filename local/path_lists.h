// The path lists of Download and Upload: items joined by "|", split into folder work (folders and
// wildcard patterns) and file work, each item paired with its target.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// One piece of a batch: where it comes from and where it goes. A file's target ending with the
// separator is a folder, in which the file keeps its name; a folder's target is the folder its
// entries go into, with the separator at its end.
struct BatchItem {
  std::string source;
  std::string target;
};

struct BatchPlan {
  std::vector<BatchItem> folders;  // folder items and patterns
  std::vector<BatchItem> files;    // file items
};

// The two sides of a batch: the source list's separator and the target list's.
struct BatchSides {
  char source_separator;  // "\" for an upload, "/" for a download
  char target_separator;
};

// The trimmed, non-empty items of a "|"-joined list.
std::vector<std::string> SplitPathList(std::string_view list);

// Pairs every source item with its target: the target item of the same index; past the end of a
// shorter target list, the first target item when it ends with the separator, else its parent
// folder. A folder item without a wildcard goes into a folder of its own name below its target
// when `create_source_folder` is on. File items are checked against the type filters first
// (CheckFileType), so that a refused type stops the batch before anything moves.
BatchPlan PlanBatch(std::string_view sources, std::string_view targets, BatchSides sides,
                    bool create_source_folder, std::string_view allow_type,
                    std::string_view deny_type);

// A folder item: ends with the separator, or holds a "*" or "?" pattern.
bool IsFolderItem(std::string_view item, char separator);

// The lower-cased extension of a file item without the dot ("" when there is none).
std::string ItemExtension(std::string_view item);

// Refuses a file whose extension AllowType does not list (20021), or DenyType lists (20022).
// Both lists are stored as ";ext;ext;" (or empty: no filter).
void CheckFileType(std::string_view item, std::string_view allow_type, std::string_view deny_type);

// `path` with `separator` at its end ("" stays "").
std::string WithSeparator(std::string path, char separator);

// The file's target: a folder target gets the source's file name.
std::string FileTarget(const BatchItem& item, char target_separator);

// Adds "|" + path to a result list ("|"-joined) unless the list holds it already.
void AppendOnce(std::string& list, const std::string& path);

// `path` with its last element (after the last `separator`) replaced by `name`.
std::string WithNewFileName(const std::string& path, char separator, const std::string& name);

// Whether a name a server listed may become the name of a local file or folder: a valid entry
// name (no control characters, none of < > : " / \ | ? *, not "." or ".."), without a trailing
// dot or blank, and not a device name (CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, with or without
// an extension), which the drive's file system would not store as a file.
bool IsSafeLocalName(std::string_view name);

}  // namespace tarvik
