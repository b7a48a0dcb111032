// Message boxes, the common dialogs (open file, save file, browse for folder) and the dialogs a
// transfer asks when its destination exists (replace, rename), answered by a replaceable provider.
//
// The headless provider: a message box writes its title and text to standard error and answers
// with its default button (IDOK for an OK box; the first button unless MB_DEFBUTTON2 or
// MB_DEFBUTTON3 says otherwise), as a user pressing Enter would; every dialog answers Cancel (the
// replace dialog with its Cancel button). It is the default on Linux; on Windows the default shows
// the real boxes and dialogs (platform/ui/system_ui_provider.h). A host with its own way to ask
// installs its own provider; tests install a ScriptedUiProvider
// (platform/ui/scripted_ui_provider.h). Providers are called on the thread that asks.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::platform {

// Buttons of a message box (the low four bits of the flags).
inline constexpr unsigned MB_OK = 0x0;
inline constexpr unsigned MB_OKCANCEL = 0x1;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
inline constexpr unsigned MB_YESNOCANCEL = 0x3;
inline constexpr unsigned MB_YESNO = 0x4;
inline constexpr unsigned MB_RETRYCANCEL = 0x5;
// Icons.
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
// Default button.
inline constexpr unsigned MB_DEFBUTTON2 = 0x100;
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// What an open or save dialog shows, and what its answer must be. The provider keeps asking
// until the answer meets the request's conditions (or the user cancels).
struct FileDialogRequest {
  std::string title;             // window title; empty for the system's
  std::string filter;            // "Text files (*.txt)|*.txt|All files (*.*)|*.*"; empty for all
  std::string initial_folder;    // Windows path of the folder shown first; empty for any
  std::string file_name;         // name proposed in the name field
  bool multiple = false;         // several files may be chosen (open dialogs only)
  bool file_must_exist = false;  // every file chosen exists
  bool path_must_exist = false;  // the folder of every file chosen exists
};

// The caption of the system's folder browser, under which it is found among the windows.
inline constexpr char kBrowseForFolderCaption[] = "Browse for Folder";

// What a folder browser shows.
struct FolderDialogRequest {
  std::string title;           // text above the folder tree
  std::string initial_folder;  // Windows path of the folder selected first; empty for any
};

// Buttons of the replace dialog, by the answer code each gives.
inline constexpr int kReplaceCancel = 1;
inline constexpr int kReplaceOverwrite = 2;
inline constexpr int kReplaceOverwriteAll = 3;
inline constexpr int kReplaceRename = 4;
inline constexpr int kReplaceResume = 5;
inline constexpr int kReplaceResumeAll = 6;
inline constexpr int kReplaceSkip = 7;
inline constexpr int kReplaceSkipAll = 8;
inline constexpr int kReplaceButtonCount = 8;

// What the replace dialog shows: the destination of a transfer exists; overwrite it, resume into
// it, skip the file or rename the new copy? The rename button's own question is a RenameDialog,
// which the caller asks when the answer is kReplaceRename.
struct ReplaceDialogRequest {
  std::string title;
  std::string text;            // both files' sizes and dates, lines broken by "\r\n"
  std::string file_name;       // the file in question
  bool resume_enabled = true;  // false: the Resume button (not Resume All) is greyed out
  // Button captions by answer code - 1, each with its access key: "Overwrite(&O)".
  std::array<std::string, kReplaceButtonCount> captions;
};

// What the rename dialog shows: a name field for the new copy's name.
struct RenameDialogRequest {
  std::string title;
  std::string old_name;            // the existing file's name, extension included
  std::string proposed_name;       // the name field's first text: old_name without its extension
  std::string label = "New name";  // before the name field
  std::string ok_caption = "OK";
  std::string cancel_caption = "Cancel";
};

class UiProvider {
 public:
  virtual ~UiProvider() = default;
  // Shows `text` with `title` and the buttons and icon of `flags`; returns the button chosen.
  virtual int MessageBox(std::string_view text, std::string_view title, unsigned flags) = 0;
  // The Windows path chosen, or nullopt for Cancel. An open dialog with `multiple` answers every
  // file chosen as a full Windows path, the paths joined by "|".
  virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request) = 0;
  // The button pressed, kReplaceCancel..kReplaceSkipAll; by default kReplaceCancel.
  virtual int ReplaceDialog(const ReplaceDialogRequest& request);
  // The text typed in the name field as it is (the caller checks it), or nullopt for Cancel;
  // by default nullopt.
  virtual std::optional<std::string> RenameDialog(const RenameDialogRequest& request);
};

// The headless provider described above.
class HeadlessUiProvider : public UiProvider {
 public:
  int MessageBox(std::string_view text, std::string_view title, unsigned flags) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request) override;
};

// The button a user pressing Enter chooses in a box with `flags`.
int DefaultButton(unsigned flags);

// Installs `provider`; nullptr restores the default.
void SetUiProvider(std::shared_ptr<UiProvider> provider);

// The provider in use. The reference stays valid until the next SetUiProvider.
UiProvider& CurrentUiProvider();

// Shows a message box through the provider in use.
int MessageBox(std::string_view text, std::string_view title, unsigned flags);

// Shows the dialogs through the provider in use, each as a top-level window under its caption
// (platform/ui/top_level_windows.h) while it is answered: a file dialog under its title (or
// "Open" / "Save As"), the folder browser under kBrowseForFolderCaption, the others under their
// titles.
std::optional<std::string> OpenFileDialog(const FileDialogRequest& request);
std::optional<std::string> SaveFileDialog(const FileDialogRequest& request);
std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request);
int ReplaceDialog(const ReplaceDialogRequest& request);
std::optional<std::string> RenameDialog(const RenameDialogRequest& request);

}  // namespace tarvik::platform
