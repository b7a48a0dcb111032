#include "platform/ui/ui_provider.h"

#include <cstdio>
#include <iterator>
#include <mutex>

#include "platform/ui/system_ui_provider.h"
#include "platform/ui/top_level_windows.h"

namespace tarvik::platform {
namespace {

std::mutex& ProviderMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<UiProvider>& InstalledProvider() {
  static std::shared_ptr<UiProvider> provider;
  return provider;
}

}  // namespace

int DefaultButton(unsigned flags) {
  // The buttons of each box type, left to right.
  static constexpr int kButtons[][3] = {
      {IDOK, IDOK, IDOK},      {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL}, {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
  };
  const unsigned type = flags & 0xF;
  if (type >= std::size(kButtons)) return IDOK;
  const unsigned index = (flags & MB_DEFBUTTON3) ? 2 : (flags & MB_DEFBUTTON2) ? 1 : 0;
  return kButtons[type][index];
}

int UiProvider::ReplaceDialog(const ReplaceDialogRequest&) {
  return kReplaceCancel;
}

std::optional<std::string> UiProvider::RenameDialog(const RenameDialogRequest&) {
  return std::nullopt;
}

int HeadlessUiProvider::MessageBox(std::string_view text, std::string_view title, unsigned flags) {
  if (title.empty())
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  else
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                 static_cast<int>(text.size()), text.data());
  return DefaultButton(flags);
}

std::optional<std::string> HeadlessUiProvider::OpenFileDialog(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<std::string> HeadlessUiProvider::SaveFileDialog(const FileDialogRequest&) {
  return std::nullopt;
}

std::optional<std::string> HeadlessUiProvider::BrowseForFolder(const FolderDialogRequest&) {
  return std::nullopt;
}

void SetUiProvider(std::shared_ptr<UiProvider> provider) {
  std::lock_guard lock(ProviderMutex());
  InstalledProvider() = std::move(provider);
}

UiProvider& CurrentUiProvider() {
  UiProvider& system = SystemUiProvider();
  std::lock_guard lock(ProviderMutex());
  UiProvider* installed = InstalledProvider().get();
  return installed != nullptr ? *installed : system;
}

int MessageBox(std::string_view text, std::string_view title, unsigned flags) {
  const ShownWindow window{std::string(title)};
  return CurrentUiProvider().MessageBox(text, title, flags);
}

std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) {
  const ShownWindow window(request.title.empty() ? "Open" : request.title);
  return CurrentUiProvider().OpenFileDialog(request);
}

std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) {
  const ShownWindow window(request.title.empty() ? "Save As" : request.title);
  return CurrentUiProvider().SaveFileDialog(request);
}

std::optional<std::string> BrowseForFolder(const FolderDialogRequest& request) {
  const ShownWindow window(kBrowseForFolderCaption);
  return CurrentUiProvider().BrowseForFolder(request);
}

int ReplaceDialog(const ReplaceDialogRequest& request) {
  const ShownWindow window(request.title);
  return CurrentUiProvider().ReplaceDialog(request);
}

std::optional<std::string> RenameDialog(const RenameDialogRequest& request) {
  const ShownWindow window(request.title);
  return CurrentUiProvider().RenameDialog(request);
}

}  // namespace tarvik::platform
