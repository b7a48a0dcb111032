#include "platform/ui/scripted_ui_provider.h"

namespace tarvik::platform {

int ScriptedUiProvider::MessageBox(std::string_view text, std::string_view title, unsigned flags) {
  boxes_.push_back({std::string(text), std::string(title), flags});
  if (while_shown_) while_shown_();
  if (box_answers_.empty()) return DefaultButton(flags);
  const int answer = box_answers_.front();
  box_answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUiProvider::NextDialogAnswer() {
  if (while_shown_) while_shown_();
  if (dialog_answers_.empty()) return std::nullopt;
  auto answer = std::move(dialog_answers_.front());
  dialog_answers_.pop_front();
  return answer;
}

void ScriptedUiProvider::RecordFileDialog(DialogKind kind, const FileDialogRequest& request) {
  dialogs_.push_back({kind, request.title, request.filter, request.initial_folder,
                      request.file_name, request.multiple, request.file_must_exist,
                      request.path_must_exist});
}

std::optional<std::string> ScriptedUiProvider::OpenFileDialog(const FileDialogRequest& request) {
  RecordFileDialog(DialogKind::kOpenFile, request);
  return NextDialogAnswer();
}

std::optional<std::string> ScriptedUiProvider::SaveFileDialog(const FileDialogRequest& request) {
  RecordFileDialog(DialogKind::kSaveFile, request);
  return NextDialogAnswer();
}

std::optional<std::string> ScriptedUiProvider::BrowseForFolder(const FolderDialogRequest& request) {
  dialogs_.push_back({DialogKind::kBrowseForFolder, request.title, {}, request.initial_folder, {}});
  return NextDialogAnswer();
}

int ScriptedUiProvider::ReplaceDialog(const ReplaceDialogRequest& request) {
  replace_dialogs_.push_back(request);
  if (while_shown_) while_shown_();
  if (replace_answers_.empty()) return kReplaceCancel;
  const int answer = replace_answers_.front();
  replace_answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedUiProvider::RenameDialog(const RenameDialogRequest& request) {
  rename_dialogs_.push_back(request);
  if (while_shown_) while_shown_();
  if (rename_answers_.empty()) return std::nullopt;
  auto answer = std::move(rename_answers_.front());
  rename_answers_.pop_front();
  return answer;
}

}  // namespace tarvik::platform
