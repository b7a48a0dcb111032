// The path lists of Download and Upload: items joined by "|", paired item by item between the
// source list and the target list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik {

// The trimmed, non-empty items of a "|"-joined list.
std::vector<std::string> SplitPathList(std::string_view list);

// The target of source item `index`: the target item of the same index; past the end of a shorter
// target list, the first target item when it ends with `separator`, else its parent folder.
std::string PairedTarget(const std::vector<std::string>& targets, std::size_t index,
                         char separator);

// A folder item: ends with the separator, or holds a "*" or "?" pattern.
bool IsFolderItem(std::string_view item, char separator);

// The lower-cased extension of a file item without the dot ("" when there is none).
std::string ItemExtension(std::string_view item);

// Refuses a file whose extension AllowType does not list (20021), or DenyType lists (20022).
// Both lists are stored as ";ext;ext;" (or empty: no filter).
void CheckFileType(std::string_view item, std::string_view allow_type, std::string_view deny_type);

}  // namespace tarvik
