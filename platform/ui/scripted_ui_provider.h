// A provider for tests: it records every message box and dialog it is asked for and answers from
// queues the test fills. With an empty queue a message box answers its default button and a
// dialog answers Cancel (the replace dialog kReplaceCancel), as the headless provider does, but
// nothing is written anywhere.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/ui_provider.h"

namespace tarvik::platform {

class ScriptedUiProvider : public UiProvider {
 public:
  struct ShownBox {
    std::string text;
    std::string title;
    unsigned flags = 0;
  };
  enum class DialogKind { kOpenFile, kSaveFile, kBrowseForFolder };
  struct ShownDialog {
    DialogKind kind;
    std::string title;
    std::string filter;  // open and save dialogs only
    std::string initial_folder;
    std::string file_name;  // open and save dialogs only
    bool multiple = false;  // the request's conditions (open and save dialogs only)
    bool file_must_exist = false;
    bool path_must_exist = false;
  };

  // Answers for the next message boxes and dialogs, in order (nullopt answers Cancel).
  void QueueAnswer(int answer) { box_answers_.push_back(answer); }
  void QueueDialogAnswer(std::optional<std::string> path) {
    dialog_answers_.push_back(std::move(path));
  }

  void QueueReplaceAnswer(int button) { replace_answers_.push_back(button); }
  void QueueRenameAnswer(std::optional<std::string> typed) {
    rename_answers_.push_back(std::move(typed));
  }

  // Runs `action` while each later box or dialog is shown, before it is answered (what a user's
  // modal loop would let happen meanwhile).
  void WhileShown(std::function<void()> action) { while_shown_ = std::move(action); }

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  const std::vector<ShownDialog>& dialogs() const { return dialogs_; }
  const std::vector<ReplaceDialogRequest>& replace_dialogs() const { return replace_dialogs_; }
  const std::vector<RenameDialogRequest>& rename_dialogs() const { return rename_dialogs_; }

  int MessageBox(std::string_view text, std::string_view title, unsigned flags) override;
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
  std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request) override;
  int ReplaceDialog(const ReplaceDialogRequest& request) override;
  std::optional<std::string> RenameDialog(const RenameDialogRequest& request) override;

 private:
  std::optional<std::string> NextDialogAnswer();
  void RecordFileDialog(DialogKind kind, const FileDialogRequest& request);

  std::function<void()> while_shown_;                      // see WhileShown
  std::deque<int> box_answers_;                            // answers still to give
  std::deque<std::optional<std::string>> dialog_answers_;  // dialog answers still to give
  std::vector<ShownBox> boxes_;                            // every box shown, in order
  std::vector<ShownDialog> dialogs_;                       // every dialog shown, in order
  std::deque<int> replace_answers_;
  std::deque<std::optional<std::string>> rename_answers_;
  std::vector<ReplaceDialogRequest> replace_dialogs_;
  std::vector<RenameDialogRequest> rename_dialogs_;
};

}  // namespace tarvik::platform
