// tarvinst: installs tarvikftp.ocx, found beside the program, into C:\Program Files\TarvikFtp and
// registers it. It takes no arguments. Exit status 0 when the install completed, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "platform/fs/path_translation.h"
#include "platform/shell/dynamic_library.h"
#include "platform/ui/ui_provider.h"
#include "setup/setup_program.h"
#include "setup/setup_texts.h"

int main(int, char** argv) {
  using namespace tarvik;
  // The name the program was started by chooses the language (a copy or link named "..._cn");
  // its real location is where the control file stands.
  const setup::Language language =
      setup::LanguageOfProgram(std::filesystem::path(argv[0]).filename().string());
  const std::filesystem::path program = platform::ModuleFileName(nullptr);
  const auto folder = platform::HostToWindowsPath(program.parent_path().string());
  if (!folder) {
    platform::MessageBox(setup::Text(language, setup::SetupText::kControlMissing),
                         setup::Text(language, setup::SetupText::kTitle),
                         platform::MB_OK | platform::MB_ICONERROR);
    return 1;
  }
  const setup::SetupOutcome outcome = setup::RunSetup(*folder, language);
  const int status = outcome.completed ? 0 : 1;
  if (outcome.registration_running) {
    // The registration thread cannot be stopped; end without unloading the library under it.
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(status);
  }
  return status;
}
