// The setup program's one run: install folder under Program Files, the control file copied there
// from beside the program (an old copy removed first), registered by the registration tool and
// in-process, the browser settings, the uninstallers copied along, and one message box with the
// outcome. Paths are drive paths; the program's own folder is given as one.
#pragma once

#include <string>

#include "setup/setup_texts.h"

namespace tarvik::setup {

inline constexpr const char* kInstallFolderName = "TarvikFtp";
inline constexpr const char* kControlFileName = "tarvikftp.ocx";
inline constexpr int kDeleteAttempts = 20;

struct SetupOutcome {
  bool completed = false;             // "Install Completed" was shown
  bool registration_running = false;  // a registration entry is still running on its thread
};

// Runs the setup from `program_folder` with the texts of `language`.
SetupOutcome RunSetup(const std::string& program_folder, Language language);

}  // namespace tarvik::setup
