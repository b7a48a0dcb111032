#include "platform/ui/windows/common_dialogs.h"

#include <algorithm>
#include <vector>

#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

#include <commdlg.h>

namespace tarvik::platform {
namespace {

// Room for a selection of many files in one open dialog.
constexpr std::size_t kFileBufferChars = 1 << 16;

bool IsFullPath(std::wstring_view name) {
  return (name.size() >= 3 && name[1] == L':' && name[2] == L'\\') || name.starts_with(L"\\\\");
}

const wchar_t* OrNull(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}

std::optional<std::string> ShowFileDialog(const FileDialogRequest& request, bool open) {
  const std::wstring filter = FilterList(request.filter);
  const std::wstring title = WideFromUtf8(request.title);
  const std::wstring folder = WideFromUtf8(request.initial_folder);
  std::vector<wchar_t> buffer(kFileBufferChars, L'\0');
  const std::wstring name = WideFromUtf8(request.file_name);
  name.copy(buffer.data(), std::min(name.size(), buffer.size() - 1));

  ::OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = buffer.data();
  dialog.nMaxFile = static_cast<::DWORD>(buffer.size());
  dialog.lpstrInitialDir = OrNull(folder);
  dialog.lpstrTitle = OrNull(title);
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (open && request.multiple) dialog.Flags |= OFN_ALLOWMULTISELECT;
  if (request.file_must_exist) dialog.Flags |= OFN_FILEMUSTEXIST;
  if (request.path_must_exist) dialog.Flags |= OFN_PATHMUSTEXIST;
  const bool chosen = open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) return std::nullopt;
  return ChosenFiles(buffer.data());
}

// Selects the starting folder once the folder dialog is up, and shows the selected folder's path
// under the tree.
int CALLBACK FolderDialogEvent(::HWND dialog, ::UINT event, ::LPARAM argument, ::LPARAM start) {
  if (event == BFFM_INITIALIZED && *reinterpret_cast<const wchar_t*>(start) != L'\0') {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  } else if (event == BFFM_SELCHANGED) {
    wchar_t selected[MAX_PATH] = L"";
    SHGetPathFromIDListW(reinterpret_cast<::PCIDLIST_ABSOLUTE>(argument), selected);
    SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<::LPARAM>(selected));
  }
  return 0;
}

}  // namespace

std::wstring FilterList(std::string_view filter) {
  if (filter.empty()) return std::wstring(L"*.*\0*.*\0", 8);
  std::wstring list = WideFromUtf8(filter);
  for (wchar_t& c : list) {
    if (c == L'|') c = L'\0';
  }
  list.push_back(L'\0');
  return list;  // c_str() adds the list's final zero
}

std::string ChosenFiles(const wchar_t* buffer) {
  const std::wstring_view first(buffer);
  const wchar_t* name = buffer + first.size() + 1;
  if (*name == L'\0') return Utf8FromWide(first);
  std::wstring joined;
  for (; *name != L'\0'; name += std::wstring_view(name).size() + 1) {
    const std::wstring_view part(name);
    if (!joined.empty()) joined += L'|';
    if (!IsFullPath(part)) {
      joined += first;
      if (!first.ends_with(L'\\')) joined += L'\\';
    }
    joined += part;
  }
  return Utf8FromWide(joined);
}

std::optional<std::string> ShowOpenDialog(const FileDialogRequest& request) {
  return ShowFileDialog(request, true);
}

std::optional<std::string> ShowSaveDialog(const FileDialogRequest& request) {
  return ShowFileDialog(request, false);
}

std::optional<std::string> ShowFolderDialog(const FolderDialogRequest& request) {
  const std::wstring title = WideFromUtf8(request.title);
  const std::wstring start = WideFromUtf8(request.initial_folder);
  ::BROWSEINFOW browse{};
  browse.hwndOwner = GetActiveWindow();
  browse.lpszTitle = OrNull(title);
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;
  browse.lpfn = FolderDialogEvent;
  browse.lParam = reinterpret_cast<::LPARAM>(start.c_str());
  ::PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
  if (chosen == nullptr) return std::nullopt;
  wchar_t folder[MAX_PATH] = L"";
  const bool named = SHGetPathFromIDListW(chosen, folder);
  CoTaskMemFree(chosen);
  if (!named) return std::nullopt;  // a place that is no folder of the file system
  return Utf8FromWide(folder);
}

}  // namespace tarvik::platform
