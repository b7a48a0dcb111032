#include "setup/setup_program.h"

#include "core/errors/numbered_error.h"
#include "platform/fs/known_folders.h"
#include "platform/fs/path_translation.h"
#include "platform/regsvr32/start_registration_tool.h"
#include "platform/ui/ui_provider.h"
#include "setup/browser_settings.h"
#include "setup/in_process_registration.h"
#include "setup/setup_files.h"

namespace tarvik::setup {
namespace {

constexpr const char* kUninstallers[] = {"uninst.exe", "uninst_cn.exe"};
constexpr long kPermissionDenied = 70;

class Setup {
 public:
  Setup(const std::string& program_folder, Language language)
      : program_folder_(program_folder), language_(language) {}

  SetupOutcome Run() {
    const std::string folder = InstallFolder();
    CreateFolderPath(folder);
    if (!FolderExists(folder)) {
      std::string text = Text(language_, SetupText::kFolderFailed);
      text.replace(text.find("$text$"), 6, folder);
      Show(text, platform::MB_ICONERROR);
      return outcome_;
    }
    try {
      Install(folder + "\\" + kControlFileName);
    } catch (const NumberedError& error) {
      failure_ = ErrorText(error);
    }
    if (failure_.empty()) {
      Show(Text(language_, SetupText::kCompleted), platform::MB_ICONINFORMATION);
      outcome_.completed = true;
    } else {
      Show(failure_, platform::MB_ICONERROR);
    }
    return outcome_;
  }

 private:
  // Program Files on the drive of the system directory, and the install folder in it.
  static std::string InstallFolder() {
    std::string system = platform::GetSystemDirectory();
    if (system.empty()) system = "c:\\windows\\system32\\";
    return std::string(1, system[0]) + ":\\Program Files\\" + kInstallFolderName;
  }

  void Install(const std::string& target) {
    const std::string source = program_folder_ + "\\" + kControlFileName;
    if (!FileExists(source)) {
      failure_ = Text(language_, SetupText::kControlMissing);
      return;
    }
    RemoveOldCopy(target);
    CopyFile(source, target);
    Register(target);
    if (failure_.empty() && !ApplyBrowserSettings()) {
      failure_ = Text(language_, SetupText::kRegistryFailed);
    }
    CopyUninstallers(target);
  }

  // A copy still held open (a browser using it) cannot be deleted: the user is asked to close
  // the browsers, and the delete is tried again.
  void RemoveOldCopy(const std::string& target) {
    for (int attempt = 0; attempt < kDeleteAttempts && FileExists(target); ++attempt) {
      try {
        DeleteFile(target);
      } catch (const NumberedError& error) {
        Show(std::to_string(error.number()) + "#" + error.description() + "\r\n" +
                 Text(language_, SetupText::kCloseBrowsers),
             platform::MB_ICONWARNING);
      }
    }
  }

  // The registration tool in the background, then the library's own entry in this process.
  void Register(const std::string& target) {
    const std::string library = platform::TranslatePath(target).host_path;
    platform::StartRegistrationTool({"/s", library});
    const Registration result = RegisterInProcess(library, kRegistrationLimit);
    outcome_.registration_running = result == Registration::kStillRunning;
    if (result != Registration::kDone) failure_ = Text(language_, SetupText::kRegisterFailed);
  }

  void CopyUninstallers(const std::string& target) {
    const std::string folder = target.substr(0, target.rfind('\\') + 1);
    for (const char* name : kUninstallers) {
      const std::string source = program_folder_ + "\\" + name;
      if (FileExists(source)) CopyFile(source, folder + name);
    }
  }

  std::string ErrorText(const NumberedError& error) const {
    std::string text = std::to_string(error.number()) + "#" + error.description();
    if (error.number() == kPermissionDenied) {
      text += "\r\n" + Text(language_, SetupText::kCloseBrowsers);
    }
    return text;
  }

  void Show(const std::string& text, unsigned icon) const {
    platform::MessageBox(text, Text(language_, SetupText::kTitle), platform::MB_OK | icon);
  }

  std::string program_folder_;
  Language language_;
  std::string failure_;  // the outcome's failure text; empty while all goes well
  SetupOutcome outcome_;
};

}  // namespace

SetupOutcome RunSetup(const std::string& program_folder, Language language) {
  return Setup(program_folder, language).Run();
}

}  // namespace tarvik::setup
