#include "control/dialog_shell_rules.h"

#include <algorithm>

#include "local/path_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

void ReplaceUntilGone(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from))
    text.replace(at, from.size(), to);
}

// Where ".exe" first occurs in `text`, in any case.
std::size_t FindExe(std::string_view text) {
  for (std::size_t at = 0; at + 4 <= text.size(); ++at) {
    if (platform::EqualsIgnoreCase(text.substr(at, 4), ".exe")) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::string OpenDialogPattern(std::string_view sfd_filter, std::string_view allow_type) {
  std::string source(sfd_filter.empty() ? allow_type : sfd_filter);
  for (char& c : source) {
    if (c == '|' || c == ',') c = ';';
  }
  const bool patterns = source.find('*') != std::string::npos;
  std::string pattern;
  std::size_t start = 0;
  while (start <= source.size()) {
    const std::size_t end = std::min(source.find(';', start), source.size());
    const std::string entry(
        platform::Trim(std::string_view(source).substr(start, end - start), platform::kSpaces));
    if (!entry.empty()) {
      if (!pattern.empty()) pattern += ';';
      pattern += patterns ? entry : "*." + entry;
    }
    start = end + 1;
  }
  bool changed = true;
  while (changed) {
    const std::string before = pattern;
    ReplaceUntilGone(pattern, "*.*.", "*.");
    ReplaceUntilGone(pattern, "**", "*");
    ReplaceUntilGone(pattern, "..", ".");
    changed = pattern != before;
  }
  return pattern;
}

ShellCommand SplitExecuteText(std::string_view text) {
  const std::string trimmed(platform::Trim(text, platform::kSpaces));
  std::size_t split = trimmed.find('*');
  std::size_t rest = split + 1;
  if (split == std::string::npos) {
    split = FindExe(trimmed);
    if (split != std::string::npos) split += 4;
    rest = split;
  }
  if (split == std::string::npos) return {trimmed, {}};
  return {std::string(platform::Trim(trimmed.substr(0, split), platform::kSpaces)),
          std::string(platform::Trim(trimmed.substr(rest), platform::kSpaces))};
}

ShellCommand SplitExploreText(std::string_view text) {
  const std::string trimmed(platform::Trim(text, platform::kSpaces));
  ShellCommand command;
  const std::size_t star = trimmed.find('*');
  const std::size_t drive = trimmed.find(":\\");
  if (star != std::string::npos) {
    command = {trimmed.substr(0, star), trimmed.substr(star + 1)};
  } else if (drive != std::string::npos && drive >= 2) {
    command = {trimmed.substr(0, drive - 2), trimmed.substr(drive - 1)};
  } else {
    command.parameters = trimmed;
  }
  command.program = platform::Trim(command.program, platform::kSpaces);
  command.parameters = platform::Trim(command.parameters, platform::kSpaces);
  if (!command.program.empty() && command.program.back() != ',') command.program += ',';
  return command;
}

std::string FolderResult(std::string_view folder) {
  return FormatLocalPath(std::string(folder) + "\\");
}

}  // namespace tarvik
