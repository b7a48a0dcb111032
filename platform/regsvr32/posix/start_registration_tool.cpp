#include "platform/regsvr32/start_registration_tool.h"

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <filesystem>

#include "platform/shell/dynamic_library.h"

extern char** environ;

namespace tarvik::platform {
namespace {

constexpr const char* kToolName = "regsvr32";

// The tool beside the running program when there is one, else the bare name for a PATH search.
std::string ToolPath() {
  const std::filesystem::path beside =
      std::filesystem::path(ModuleFileName(nullptr)).parent_path() / kToolName;
  return access(beside.c_str(), X_OK) == 0 ? beside.string() : kToolName;
}

}  // namespace

bool StartRegistrationTool(const std::vector<std::string>& args) {
  const std::string tool = ToolPath();
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(tool.c_str()));
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null",
                                     fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  }
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0;
}

}  // namespace tarvik::platform
