// The tarvik host's answers to the control's message boxes and dialogs.
//
// Answers given on the command line (--answer, --dialog) come first, in order. When they run out,
// a host with a terminal asks there; without one a message box takes its default button and a
// dialog is cancelled, and the box's text goes to standard error so that nothing is shown
// silently.
#pragma once

#include <cstdio>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/ui_provider.h"

namespace tarvik::host {

// An --answer for the replace dialog: kReplaceAnswer + the button's code (platform::kReplace*).
// Box answers and replace answers share one queue, so that they are used in the order given.
inline constexpr int kReplaceAnswer = 100;

// The button named `text` ("ok", "cancel", "abort", "retry", "ignore", "yes", "no", any case, or
// its number 1..7), or the replace dialog's button ("overwrite", "overwriteall", "resume",
// "resumeall", "skip", "skipall", "rename", any case) as a kReplaceAnswer value; "cancel" also
// cancels the replace dialog. nullopt for anything else.
std::optional<int> ButtonFromName(std::string_view text);

// What a file or folder dialog asks for.
enum class Selection { kFile, kFiles, kFolder };
struct DialogConditions {
  std::string title;
  std::string initial_folder;  // drive path; "" for the working folder
  std::string file_name;       // proposed name
  Selection selection = Selection::kFile;
  bool file_must_exist = false;
  bool path_must_exist = false;
};

// An answer typed or given for a dialog: host paths (relative ones from `folder`, the dialog's
// start) or drive paths, "|"-separated where several files may be chosen, checked against
// `conditions` and given back as drive paths; nullopt with `why` when it does not meet them.
std::optional<std::string> CheckedAnswer(const std::string& answer, const std::string& folder,
                                         const DialogConditions& conditions, std::string* why);

class HostUiProvider : public platform::UiProvider {
 public:
  // Questions are written to `terminal_out` and answered from `terminal_in` (both null: no
  // terminal); the provider does not close them.
  HostUiProvider(std::FILE* terminal_in, std::FILE* terminal_out, std::deque<int> box_answers,
                 std::deque<std::optional<std::string>> dialog_answers);

  int MessageBox(std::string_view text, std::string_view title, unsigned flags) override;
  std::optional<std::string> OpenFileDialog(const platform::FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const platform::FileDialogRequest& request) override;
  std::optional<std::string> BrowseForFolder(const platform::FolderDialogRequest& request) override;
  // From the next --answer, else the terminal (one line: an access key or a button's name), else
  // Cancel.
  int ReplaceDialog(const platform::ReplaceDialogRequest& request) override;
  // From the next --dialog (taken as the typed name), else the terminal, else Cancel.
  std::optional<std::string> RenameDialog(const platform::RenameDialogRequest& request) override;

 private:
  // A file or folder dialog's answer as drive paths: the next --dialog one, else a path typed
  // at the terminal (asked again until it meets the conditions), else Cancel.
  std::optional<std::string> AnswerDialog(std::string_view kind,
                                          const DialogConditions& conditions);
  // The next typed answer: the next --dialog one, else a line typed at the terminal after
  // `question`, else Cancel (told on standard error as "[kind] what -> cancel"). An empty answer
  // is Cancel too.
  std::optional<std::string> TypedAnswer(std::string_view kind, std::string_view what,
                                         const std::string& question);
  // The replace dialog's button chosen at the terminal; Cancel at the end of input.
  int AskReplaceAtTerminal(const platform::ReplaceDialogRequest& request);
  // One line typed at the terminal, without its line end; nullopt at end of input.
  std::optional<std::string> ReadLine();

  std::FILE* terminal_in_;   // answers typed at the terminal; null without one
  std::FILE* terminal_out_;  // where questions go
  std::deque<int> box_answers_;
  std::deque<std::optional<std::string>> dialog_answers_;
};

}  // namespace tarvik::host
