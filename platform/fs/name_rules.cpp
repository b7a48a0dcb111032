#include "platform/fs/name_rules.h"

#include "platform/text/case_fold.h"

namespace tarvik::platform {

bool HasWildcards(std::string_view name) {
  return name.find_first_of("*?") != name.npos;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") pattern = "*";
  const std::u32string text = FoldedCodePoints(name);
  const std::u32string wild = FoldedCodePoints(pattern);
  // Iterative matching with one backtrack point for the last "*": linear in practice.
  std::size_t t = 0, w = 0, star = std::u32string::npos, resume = 0;
  while (t < text.size()) {
    if (w < wild.size() && (wild[w] == U'?' || (wild[w] != U'*' && wild[w] == text[t]))) {
      ++t;
      ++w;
    } else if (w < wild.size() && wild[w] == U'*') {
      star = w++;
      resume = t;
    } else if (star != std::u32string::npos) {
      w = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (w < wild.size() && wild[w] == U'*') ++w;
  return w == wild.size();
}

bool IsValidEntryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool IsHiddenName(std::string_view name) {
  return name.size() > 1 && name[0] == '.' && name != "..";
}

}  // namespace tarvik::platform
