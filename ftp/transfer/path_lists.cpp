#include "ftp/transfer/path_lists.h"

#include <algorithm>

#include "control/errors/numbered_error.h"
#include "ftp/directory/message_texts.h"
#include "local/path_rules.h"

namespace tarvik {
namespace {

constexpr long kTypeNotAllowed = 20021;
constexpr long kTypeForbidden = 20022;

}  // namespace

std::vector<std::string> SplitPathList(std::string_view list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    const std::size_t bar = std::min(list.find('|', start), list.size());
    std::string item = TrimBlanks(list.substr(start, bar - start));
    if (!item.empty()) items.push_back(std::move(item));
    start = bar + 1;
  }
  return items;
}

std::string PairedTarget(const std::vector<std::string>& targets, std::size_t index,
                         char separator) {
  if (targets.empty()) return {};
  if (index < targets.size()) return targets[index];
  const std::string& first = targets.front();
  return !first.empty() && first.back() == separator ? first : GetParentPath(first);
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
  std::string extension(name.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

void CheckFileType(std::string_view item, std::string_view allow_type, std::string_view deny_type) {
  const std::string extension = ItemExtension(item);
  const std::string key = ";" + extension + ";";
  if (!allow_type.empty() && (extension.empty() || allow_type.find(key) == std::string_view::npos)) {
    Raise(kTypeNotAllowed, ErrorTextWith(kTypeNotAllowed, allow_type));
  }
  if (!deny_type.empty() && !extension.empty() && deny_type.find(key) != std::string_view::npos) {
    Raise(kTypeForbidden, ErrorTextWith(kTypeForbidden, deny_type));
  }
}

}  // namespace tarvik
