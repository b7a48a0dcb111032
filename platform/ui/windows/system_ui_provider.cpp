// The system's boxes and dialogs; where a window cannot open (no display), the headless answer.
#include "platform/ui/system_ui_provider.h"

#include "platform/text/windows/wide_text.h"
#include "platform/ui/top_level_windows.h"
#include "platform/ui/windows/common_dialogs.h"
#include "platform/ui/windows/question_dialogs.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

class WindowsUiProvider : public UiProvider {
 public:
  int MessageBox(std::string_view text, std::string_view title, unsigned flags) override {
    const std::wstring wide_text = WideFromUtf8(text);
    const std::wstring wide_title = WideFromUtf8(title);
    ::UINT style = flags;
    if (IsWindowTopMost(FindWindow(title))) style |= MB_TOPMOST;
    const int answer = MessageBoxW(GetActiveWindow(), wide_text.c_str(), wide_title.c_str(), style);
    return answer > 0 ? answer : headless_.MessageBox(text, title, flags);
  }
  std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override {
    return ShowOpenDialog(request);
  }
  std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override {
    return ShowSaveDialog(request);
  }
  std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request) override {
    return ShowFolderDialog(request);
  }
  int ReplaceDialog(const ReplaceDialogRequest& request) override {
    return ShowReplaceDialog(request).value_or(headless_.ReplaceDialog(request));
  }
  std::optional<std::string> RenameDialog(const RenameDialogRequest& request) override {
    std::optional<std::string> typed;
    return ShowRenameDialog(request, typed) ? typed : headless_.RenameDialog(request);
  }

 private:
  HeadlessUiProvider headless_;
};

}  // namespace

UiProvider& SystemUiProvider() {
  static WindowsUiProvider provider;
  return provider;
}

}  // namespace tarvik::platform
