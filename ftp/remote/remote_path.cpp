#include "ftp/remote/remote_path.h"

#include <vector>

#include "local/path_rules.h"

namespace tarvik {

std::string ResolveRemotePath(std::string_view working_folder, std::string_view path) {
  const std::string formatted = FormatFtpPath(path);
  const std::string joined = !formatted.empty() && formatted.front() == '/'
                                 ? formatted
                                 : std::string(working_folder) + "/" + formatted;
  std::vector<std::string_view> parts;
  const std::string_view text(joined);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t slash = text.find('/', start);
    if (slash == std::string_view::npos) slash = text.size();
    const std::string_view part = text.substr(start, slash - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = slash + 1;
  }
  std::string resolved;
  for (std::string_view part : parts) {
    resolved += '/';
    resolved += part;
  }
  return resolved.empty() ? "/" : resolved;
}

std::string RemoteCommandArgument(std::string_view path) {
  std::string formatted = FormatFtpPath(path);
  if (formatted.empty()) return formatted;
  if (formatted.front() == '/') return ":" + formatted;
  if (formatted.front() == ':') return "./" + formatted;
  return formatted;
}

std::string WithoutTrailingSlash(std::string path) {
  if (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace tarvik
