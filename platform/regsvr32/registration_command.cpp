#include "platform/regsvr32/registration_command.h"

#include <filesystem>
#include <optional>

#include "platform/com/server_module.h"
#include "platform/com/status.h"
#include "platform/shell/dynamic_library.h"

namespace tarvik::platform {
namespace {

constexpr const char* kUsage =
    "Usage: regsvr32 [/s] [/u] <library>\n"
    "  /s  silent: print no message\n"
    "  /u  unregister the library (call DllUnregisterServer instead of DllRegisterServer)\n";

struct Command {
  bool silent = false;
  bool unregister = false;
  std::string library;
};

// nullopt for an unknown "-" switch, a second library or none. ("/" also starts absolute paths:
// only "/s" and "/u" are switches.)
std::optional<Command> Parse(std::span<const std::string> args, bool* silent) {
  Command command;
  bool valid = true;
  for (const std::string& arg : args) {
    const bool is_switch = arg.size() == 2 && (arg[0] == '/' || arg[0] == '-');
    const char letter = is_switch ? static_cast<char>(arg[1] | 0x20) : '\0';  // lower case
    if (letter == 's') {
      command.silent = true;
    } else if (letter == 'u') {
      command.unregister = true;
    } else if (!arg.empty() && arg[0] != '-' && command.library.empty()) {
      command.library = arg;
    } else {
      valid = false;
    }
  }
  *silent = command.silent;
  if (!valid || command.library.empty()) return std::nullopt;
  return command;
}

std::string LoadablePath(const std::string& library) {
  std::error_code error;
  if (std::filesystem::is_regular_file(library, error)) {
    const std::filesystem::path absolute = std::filesystem::absolute(library, error);
    if (!error) return absolute.lexically_normal().string();
  }
  return library;
}

}  // namespace

int RunRegistrationCommand(std::span<const std::string> args, std::ostream& out,
                           std::ostream& err) {
  bool silent = false;
  const std::optional<Command> command = Parse(args, &silent);
  if (!command) {
    if (!silent) err << kUsage;
    return kRegistrationBadArguments;
  }
  const std::string path = LoadablePath(command->library);
  const char* entry_name = command->unregister ? "DllUnregisterServer" : "DllRegisterServer";

  DynamicLibrary library;
  if (!library.Open(path)) {
    if (!silent) err << "The module \"" << path << "\" failed to load: " << library.error() << "\n";
    return kRegistrationLoadFailed;
  }
  const auto entry = library.Function<com::DllEntryFunction>(entry_name);
  if (entry == nullptr) {
    if (!silent) {
      err << "The module \"" << path << "\" was loaded but the entry point " << entry_name
          << " was not found.\n";
    }
    return kRegistrationEntryMissing;
  }
  const com::HRESULT status = entry();
  if (com::Failed(status)) {
    if (!silent) {
      err << "The module \"" << path << "\" was loaded but the call to " << entry_name
          << " failed with error code " << com::StatusHex(status) << ": " << com::StatusText(status)
          << "\n";
    }
    return kRegistrationCallFailed;
  }
  if (!silent) out << entry_name << " in " << path << " succeeded.\n";
  return kRegistrationSucceeded;
}

}  // namespace tarvik::platform
