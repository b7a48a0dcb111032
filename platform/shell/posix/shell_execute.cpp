#include "platform/shell/shell_execute.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

#include "platform/fs/path_translation.h"
#include "platform/shell/posix/explorer_command.h"
#include "platform/text/case_fold.h"

extern char** environ;

namespace tarvik::platform {
namespace {

constexpr std::intptr_t kFileNotFound = 2;
constexpr std::intptr_t kPathNotFound = 3;
constexpr std::intptr_t kBadFormat = 11;

std::intptr_t ResultOfSpawnError(int error) {
  switch (error) {
    case 0:
      return kShellExecuteSuccess;
    case ENOENT:
      return kFileNotFound;
    case ENOTDIR:
      return kPathNotFound;
    case EACCES:
    case EPERM:
      return SE_ERR_ACCESSDENIED;
    case ENOEXEC:
      return kBadFormat;
    case ENOMEM:
      return SE_ERR_OOM;
    default:
      return 0;
  }
}

// Programs started and not yet seen to end.
std::mutex& ChildrenMutex() {
  static std::mutex mutex;
  return mutex;
}
std::vector<pid_t>& Children() {
  static std::vector<pid_t> children;
  return children;
}

void ReapFinishedChildren() {
  std::lock_guard lock(ChildrenMutex());
  std::erase_if(Children(), [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) != 0; });
}

// Starts `arguments` (the first is the program; searched on PATH when it holds no "/"); 0 or the
// system's error.
int Spawn(const std::vector<std::string>& arguments) {
  ReapFinishedChildren();
  std::vector<char*> argv;
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (error == 0) {
    std::lock_guard lock(ChildrenMutex());
    Children().push_back(pid);
  }
  return error;
}

std::intptr_t OpenWithDesktop(const std::string& host_path) {
  const int error = Spawn({"xdg-open", host_path});
  return error == ENOENT ? SE_ERR_NOASSOC : ResultOfSpawnError(error);
}

// The host path of a Windows path, or the result that refuses it.
std::intptr_t Translate(std::string_view path, std::string* host_path) {
  const TranslatedPath translated = TranslatePath(path);
  if (translated.error != ERROR_SUCCESS) return kPathNotFound;
  struct stat info {};
  if (stat(translated.host_path.c_str(), &info) != 0)
    return translated.parent_exists ? kFileNotFound : kPathNotFound;
  *host_path = translated.host_path;
  return kShellExecuteSuccess;
}

bool IsExplorer(std::string_view file) {
  const std::size_t slash = file.find_last_of("\\/");
  const std::string_view name = slash == std::string_view::npos ? file : file.substr(slash + 1);
  return EqualsIgnoreCase(name, "explorer.exe") || EqualsIgnoreCase(name, "explorer");
}

std::string ParentOf(const std::string& windows_path) {
  const std::size_t slash = windows_path.find_last_of("\\/");
  if (slash == std::string::npos) return windows_path;
  // A drive root keeps its "\".
  if (slash == 2 && windows_path[1] == ':') return windows_path.substr(0, 3);
  return windows_path.substr(0, slash);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool in_quotes = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes && c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
      word += '"';
      ++i;
    } else if (c == '"') {
      in_quotes = !in_quotes;
      in_word = true;
    } else if (!in_quotes && (c == ' ' || c == '\t')) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

std::string ExplorerFolder(std::string_view parameters) {
  bool select = false;
  std::string path;
  for (std::string& word : SplitCommandLine(parameters)) {
    // Options are comma-separated words such as "/e," or "/select,"; what is left is the path.
    std::size_t start = 0;
    while (start < word.size() && word[start] == '/') {
      const std::size_t comma = word.find(',', start);
      const std::string option =
          word.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      if (EqualsIgnoreCase(option, "/select")) select = true;
      start = comma == std::string::npos ? word.size() : comma + 1;
    }
    if (start < word.size()) path = word.substr(start);
  }
  if (path.empty()) return {};
  const TranslatedPath translated = TranslatePath(path);
  struct stat info {};
  const bool file = translated.error == ERROR_SUCCESS &&
                    stat(translated.host_path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
  return select || file ? ParentOf(path) : path;
}

std::intptr_t ShellExecute(std::string_view verb, std::string_view file,
                           std::string_view parameters, int /*show_cmd*/) {
  if (!verb.empty() && !EqualsIgnoreCase(verb, "open")) return SE_ERR_NOASSOC;
  if (file.empty()) return kFileNotFound;
  std::string host_path;
  if (IsExplorer(file)) {
    const std::string folder = ExplorerFolder(parameters);
    if (folder.empty()) return kPathNotFound;
    const std::intptr_t found = Translate(folder, &host_path);
    return found > 32 ? OpenWithDesktop(host_path) : found;
  }
  const bool bare_name = file.find_first_of("\\/:") == std::string_view::npos;
  if (bare_name) {
    host_path = file;
  } else if (const std::intptr_t found = Translate(file, &host_path); found <= 32) {
    return found;
  }
  struct stat info {};
  const bool runnable =
      bare_name || (stat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                    access(host_path.c_str(), X_OK) == 0);
  if (!runnable) return OpenWithDesktop(host_path);
  std::vector<std::string> arguments = SplitCommandLine(parameters);
  arguments.insert(arguments.begin(), host_path);
  return ResultOfSpawnError(Spawn(arguments));
}

}  // namespace tarvik::platform
