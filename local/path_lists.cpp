#include "local/path_lists.h"

#include <algorithm>
#include <array>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "core/errors/numbered_error.h"
#include "local/path_rules.h"
#include "platform/fs/name_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

constexpr std::array<std::string_view, 4> kDeviceNames = {"con", "prn", "aux", "nul"};

bool IsDeviceName(std::string_view name) {
  const std::string stem = platform::FoldCase(name.substr(0, name.find('.')));
  if (std::find(kDeviceNames.begin(), kDeviceNames.end(), stem) != kDeviceNames.end()) return true;
  return stem.size() == 4 && (stem.starts_with("com") || stem.starts_with("lpt")) &&
         stem[3] >= '1' && stem[3] <= '9';
}

// The last element of a folder item: "/pub/docs/" -> "docs", "C:\data\" -> "data".
std::string FolderName(std::string_view item, char separator) {
  while (!item.empty() && item.back() == separator) item.remove_suffix(1);
  const std::size_t cut = item.find_last_of(separator);
  return std::string(cut == std::string_view::npos ? item : item.substr(cut + 1));
}

std::string PairedTarget(const std::vector<std::string>& targets, std::size_t index,
                         char separator) {
  if (targets.empty()) return {};
  if (index < targets.size()) return targets[index];
  const std::string& first = targets.front();
  if (!first.empty() && first.back() == separator) return first;
  const std::string parent = GetParentPath(first);
  // "/a.txt" has no parent by the path rules; its folder is the root.
  if (parent.empty() && separator == '/' && first.front() == '/') return "/";
  return parent;
}

}  // namespace

std::string WithSeparator(std::string path, char separator) {
  if (!path.empty() && path.back() != separator) path += separator;
  return path;
}

std::vector<std::string> SplitPathList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t bar = std::min(list.find('|', start), list.size());
    std::string item(platform::Trim(list.substr(start, bar - start), platform::kSpaces));
    if (!item.empty()) items.push_back(std::move(item));
    start = bar + 1;
  }
  return items;
}

BatchPlan PlanBatch(std::string_view sources, std::string_view targets, BatchSides sides,
                    bool create_source_folder, std::string_view allow_type,
                    std::string_view deny_type) {
  const std::vector<std::string> source_items = SplitPathList(sources);
  const std::vector<std::string> target_items = SplitPathList(targets);
  BatchPlan plan;
  for (std::size_t i = 0; i < source_items.size(); ++i) {
    std::string source = source_items[i];
    std::string target = PairedTarget(target_items, i, sides.target_separator);
    if (!IsFolderItem(source, sides.source_separator)) {
      CheckFileType(source, allow_type, deny_type);
      plan.files.push_back({std::move(source), std::move(target)});
      continue;
    }
    const bool pattern = platform::HasWildcards(source);
    if (pattern) {
      while (source.back() == sides.source_separator) source.pop_back();
    } else if (create_source_folder) {
      const std::string name = FolderName(source, sides.source_separator);
      if (!name.empty()) target = WithSeparator(target, sides.target_separator) + name;
    }
    plan.folders.push_back({std::move(source), WithSeparator(target, sides.target_separator)});
  }
  return plan;
}

bool IsFolderItem(std::string_view item, char separator) {
  return (!item.empty() && item.back() == separator) ||
         item.find_first_of("*?") != std::string_view::npos;
}

std::string ItemExtension(std::string_view item) {
  const std::size_t cut = item.find_last_of("/\\");
  const std::string_view name = cut == std::string_view::npos ? item : item.substr(cut + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {};
  return platform::ToLowerAscii(name.substr(dot + 1));
}

void CheckFileType(std::string_view item, std::string_view allow_type, std::string_view deny_type) {
  const std::string extension = ItemExtension(item);
  const std::string key = ";" + extension + ";";
  if (!allow_type.empty() &&
      (extension.empty() || allow_type.find(key) == std::string_view::npos)) {
    Raise(ErrorCode::kFileTypeNotAllowed,
          ErrorTextWith(ErrorCode::kFileTypeNotAllowed, allow_type));
  }
  if (!deny_type.empty() && !extension.empty() && deny_type.find(key) != std::string_view::npos) {
    Raise(ErrorCode::kFileTypeForbidden, ErrorTextWith(ErrorCode::kFileTypeForbidden, deny_type));
  }
}

std::string FileTarget(const BatchItem& item, char target_separator) {
  if (item.target.empty() || item.target.back() != target_separator) return item.target;
  const std::size_t cut = item.source.find_last_of("/\\");
  return item.target + (cut == std::string::npos ? item.source : item.source.substr(cut + 1));
}

void AppendOnce(std::string& list, const std::string& path) {
  if (("|" + list + "|").find("|" + path + "|") == std::string::npos) list += "|" + path;
}

std::string WithNewFileName(const std::string& path, char separator, const std::string& name) {
  const std::size_t slash = path.find_last_of(separator);
  return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

bool IsSafeLocalName(std::string_view name) {
  return platform::IsValidEntryName(name) && name.back() != '.' && name.back() != ' ' &&
         !IsDeviceName(name);
}

}  // namespace tarvik
