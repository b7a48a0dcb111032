// The control's dialogs (folder browser, open and save) and shell commands (Execute, Explore,
// GetDriveNames), and the window helpers that keep its dialogs on top.
//
// Each dialog puts its window's caption into the list of windows to raise before it opens, and
// empties the list when it closes; TimerWinOnTop raises what the list names meanwhile.
#include <exception>

#include "control/dialog_shell_rules.h"
#include "control/ftp_library.h"
#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/message_table.h"
#include "core/errors/numbered_error.h"
#include "core/errors/pending_error.h"
#include "local/c_file.h"
#include "local/path_rules.h"
#include "platform/fs/drive_types.h"
#include "platform/fs/file_errors.h"
#include "platform/shell/shell_execute.h"
#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {
// The captions of the system's folder browser in the languages of the message table.
constexpr char kFolderBrowserCaptions[] =
    "浏览文件夹|浏览打印机|瀏覽文件夾|瀏覽打印機|Browse for Folder|Browse for Printer";
constexpr int kOpenDialogNameLength = 10000;  // characters of the open dialog's name buffer
constexpr int kSaveDialogNameLength = 255;

// A dialog's answer: every "|"-separated piece a drive or network path, else 20011.
std::string CheckedPaths(const std::string& answer) {
  std::size_t start = 0;
  while (start <= answer.size()) {
    const std::size_t end = std::min(answer.find('|', start), answer.size());
    const std::string piece = answer.substr(start, end - start);
    if (!IsAbsoluteLocalPath(piece)) {
      std::string text = MessageText(message_row::kEnterAbsolutePath);
      if (const std::size_t at = text.find("{0}"); at != std::string::npos)
        text.replace(at, 3, piece);
      Raise(ErrorCode::kNotAbsolutePath, text);
    }
    start = end + 1;
  }
  return answer;
}

// Reports a failure through the error facility under `source`.
auto ReportAs(std::string_view source) {
  return [source](long number, const std::string& text) {
    DispatchError(source, number, text, false);
  };
}

// Shows the failure of an open or save dialog in a box: the dialog's name, a line break and why.
auto ShowFailureOf(std::string_view dialog) {
  return [dialog](long, const std::string& text) {
    platform::MessageBox(std::string(dialog) + "\r\n" + text, "", platform::MB_OK);
  };
}

// Sets the list of windows to raise while a dialog is open, and empties it when it closes.
class WindowsToRaise {
 public:
  WindowsToRaise(std::string& list, std::string_view titles) : list_(list) { list_ = titles; }
  ~WindowsToRaise() { list_.clear(); }
  WindowsToRaise(const WindowsToRaise&) = delete;
  WindowsToRaise& operator=(const WindowsToRaise&) = delete;

 private:
  std::string& list_;
};

std::string CutAt(std::string text, char c) {
  if (const std::size_t at = text.find(c); at != std::string::npos) text.resize(at);
  return text;
}

}  // namespace

std::string FtpLibrary::ShowFolderBrowserDialog() {
  return Guarded(
      std::string(),
      [&] {
        const platform::FolderDialogRequest request{
            sfd_title_.empty() ? "Select A Folder:" : sfd_title_, sfd_initial_dir_};
        const WindowsToRaise raise(transfer_.windows_to_raise(), kFolderBrowserCaptions);
        const std::optional<std::string> folder = platform::BrowseForFolder(request);
        return folder ? FolderResult(CheckedPaths(*folder)) : std::string();
      },
      ReportAs("ShowFolderBrowserDialog"));
}

std::string FtpLibrary::ShowBrowseFolderDialog(std::string_view Title, std::string_view InitDir) {
  if (!Title.empty()) sfd_title_ = Title;
  if (!InitDir.empty()) sfd_initial_dir_ = InitDir;
  return ShowFolderBrowserDialog();
}

std::string FtpLibrary::ShowOpenFileDialog() {
  return Guarded(
      std::string(),
      [&] {
        const std::string pattern = OpenDialogPattern(sfd_filter_, get_AllowType());
        const std::string shown = pattern.empty() ? "*.*" : pattern;
        platform::FileDialogRequest request;
        request.title = sfd_title_.empty() ? "Select File" : sfd_title_;
        request.filter = shown + "|" + shown;
        request.initial_folder = sfd_initial_dir_;
        request.file_name = sfd_file_name_.substr(0, kOpenDialogNameLength);
        request.multiple = sfd_multiple_;
        request.file_must_exist = true;
        const WindowsToRaise raise(transfer_.windows_to_raise(), request.title);
        const std::optional<std::string> chosen = platform::OpenFileDialog(request);
        return chosen ? CheckedPaths(*chosen) : std::string();
      },
      ShowFailureOf("ShowOpenFileDialog"));
}

std::string FtpLibrary::ShowSaveFileDialog(std::string_view FileName) {
  return Guarded(
      std::string(),
      [&] {
        platform::FileDialogRequest request;
        request.title = "Save File";
        request.filter = "*.*|*.*";
        request.file_name = CutAt(GetFileName(FileName), '|').substr(0, kSaveDialogNameLength);
        // A save dialog names a new file as well as an existing one: only its folder must exist.
        request.path_must_exist = true;
        const WindowsToRaise raise(transfer_.windows_to_raise(), request.title);
        const std::optional<std::string> chosen = platform::SaveFileDialog(request);
        return chosen ? CheckedPaths(CutAt(*chosen, '\0')) : std::string();
      },
      ShowFailureOf("ShowSaveFileDialog"));
}

std::int32_t FtpLibrary::Execute(std::string_view FilePath) {
  return Guarded(
      std::int32_t{0},
      [&] {
        const ShellCommand command = SplitExecuteText(FilePath);
        if (!CFile().FileExists(command.program))
          EnsureErrorRecord().WriteFile("Execute.NotFount:" + command.program, false);
        return static_cast<std::int32_t>(
            platform::ShellExecute("Open", command.program, command.parameters, show_cmd_));
      },
      ReportAs("Execute"));
}

bool FtpLibrary::Explore(std::string_view FilePath) {
  return Guarded(
      false,
      [&] {
        const ShellCommand command = SplitExploreText(FilePath);
        const std::string parameters = command.program + " \"" + command.parameters + "\"";
        // Only a result above 32 means the shell did it; lower values are its error codes.
        return platform::ShellExecute("Open", "explorer.exe", parameters, show_cmd_) > 32;
      },
      ReportAs("Explore"));
}

std::string FtpLibrary::GetDriveNames(std::int16_t DriveType) {
  return Guarded(
      std::string(),
      [&] {
        const platform::DWORD mask = platform::GetLogicalDrives();
        std::string names;
        for (char letter = 'A'; letter <= 'Z'; ++letter) {
          if ((mask & (platform::DWORD{1} << (letter - 'A'))) == 0) continue;
          const std::string root = std::string(1, letter) + ":";
          if (DriveType > 0 && platform::GetDriveType(root) != static_cast<unsigned>(DriveType))
            continue;
          if (!names.empty()) names += '|';
          names += letter;
        }
        return names;
      },
      ReportAs("GetDrives"));
}

bool FtpLibrary::SetWindowTopMost(platform::TopLevelWindow window, bool on) {
  return platform::SetWindowPos(window, on ? platform::HWND_TOPMOST : platform::HWND_NOTOPMOST);
}

bool FtpLibrary::SetWindowTopMostByTitle(std::string_view title, bool on) {
  const platform::TopLevelWindow window = platform::FindWindow(title);
  return window != 0 && SetWindowTopMost(window, on);
}

void FtpLibrary::TimerWinOnTopTick() {
  std::string& list = transfer_.windows_to_raise();
  std::size_t start = 0;
  while (start < list.size()) {
    const std::size_t end = std::min(list.find('|', start), list.size());
    SetWindowTopMostByTitle(std::string_view(list).substr(start, end - start), true);
    start = end + 1;
  }
  list.clear();
}

}  // namespace tarvik
