#include "platform/ui/windows/question_dialogs.h"

#include <array>

#include "platform/text/windows/wide_text.h"
#include "platform/ui/top_level_windows.h"
#include "platform/ui/windows/dialog_template.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

constexpr wchar_t kReplaceClass[] = L"frmReplaceSetting";
constexpr wchar_t kRenameClass[] = L"frmReName";
constexpr int kLabelId = 100;
constexpr int kNameId = 101;
constexpr int kReplaceButtonBase = 1000;  // + the button's answer code
constexpr ::UINT_PTR kOnTopTimer = 1;
constexpr ::UINT kOnTopInterval = 1000;

// The replace dialog's buttons by place, left to right in two rows.
constexpr std::array<int, kReplaceButtonCount> kReplaceLayout = {
    kReplaceOverwrite,    kReplaceResume,    kReplaceSkip,    kReplaceRename,
    kReplaceOverwriteAll, kReplaceResumeAll, kReplaceSkipAll, kReplaceCancel};

::HINSTANCE ThisModule() {
  ::HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<const wchar_t*>(&ThisModule), &module);
  return module;
}

// A dialog class of this module under `name`; registering it again changes nothing.
void RegisterDialogClass(const wchar_t* name) {
  ::WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = DefDlgProcW;
  window_class.cbWndExtra = DLGWINDOWEXTRA;
  window_class.hInstance = ThisModule();
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<const wchar_t*>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<::HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  RegisterClassExW(&window_class);
}

void PutOnTop(::HWND window) {
  ::SetWindowPos(window, reinterpret_cast<::HWND>(HWND_TOPMOST), 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Modal under the thread's active window; -1 when the window cannot open.
::INT_PTR RunDialog(const wchar_t* window_class, const DialogTemplate& layout, ::DLGPROC procedure,
                    ::LPARAM state) {
  RegisterDialogClass(window_class);
  return DialogBoxIndirectParamW(ThisModule(), layout.get(), GetActiveWindow(), procedure, state);
}

::INT_PTR CALLBACK ReplaceProcedure(::HWND dialog, ::UINT message, ::WPARAM w, ::LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto& request = *reinterpret_cast<const ReplaceDialogRequest*>(l);
      EnableWindow(GetDlgItem(dialog, kReplaceButtonBase + kReplaceResume), request.resume_enabled);
      // Above every other window, and kept there while it is open.
      PutOnTop(dialog);
      SetTimer(dialog, kOnTopTimer, kOnTopInterval, nullptr);
      return TRUE;
    }
    case WM_TIMER:
      PutOnTop(dialog);
      return TRUE;
    case WM_COMMAND: {
      // Escape and the window's close box come as IDCANCEL: both are Cancel.
      const int id = LOWORD(w);
      const int answer = id == IDCANCEL ? kReplaceCancel : id - kReplaceButtonBase;
      if (answer < kReplaceCancel || answer > kReplaceSkipAll) return FALSE;
      KillTimer(dialog, kOnTopTimer);
      EndDialog(dialog, answer);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

struct RenameState {
  const RenameDialogRequest* request;
  std::optional<std::string> typed;
};

::INT_PTR CALLBACK RenameProcedure(::HWND dialog, ::UINT message, ::WPARAM w, ::LPARAM l) {
  switch (message) {
    case WM_INITDIALOG: {
      SetWindowLongPtrW(dialog, DWLP_USER, l);
      const auto& state = *reinterpret_cast<RenameState*>(l);
      const ::HWND name = GetDlgItem(dialog, kNameId);
      const std::wstring proposed = WideFromUtf8(state.request->proposed_name);
      SetWindowTextW(name, proposed.c_str());
      SendMessageW(name, EM_SETSEL, proposed.size(), proposed.size());  // the caret at the end
      SetFocus(name);
      if (IsWindowTopMost(FindWindow(state.request->title))) PutOnTop(dialog);
      return FALSE;  // the focus is set
    }
    case WM_COMMAND: {
      auto& state = *reinterpret_cast<RenameState*>(GetWindowLongPtrW(dialog, DWLP_USER));
      if (LOWORD(w) == IDOK) {
        const ::HWND name = GetDlgItem(dialog, kNameId);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(name)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(name, text.data(), static_cast<int>(text.size()))));
        state.typed = Utf8FromWide(text);
      } else if (LOWORD(w) != IDCANCEL) {
        return FALSE;
      }
      EndDialog(dialog, LOWORD(w));
      return TRUE;
    }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<int> ShowReplaceDialog(const ReplaceDialogRequest& request) {
  constexpr short kWidth = 58, kHeight = 14, kGap = 4, kMargin = 7;
  constexpr short kColumns = kReplaceButtonCount / 2;
  constexpr short kLabelHeight = 72;
  DialogTemplate layout(kReplaceClass, WideFromUtf8(request.title),
                        2 * kMargin + kColumns * kWidth + (kColumns - 1) * kGap,
                        2 * kMargin + kLabelHeight + 2 * (kGap + kHeight));
  layout.Add(ControlClass::kStatic, kLabelId, WideFromUtf8(request.text), kMargin, kMargin,
             kColumns * kWidth + (kColumns - 1) * kGap, kLabelHeight, SS_LEFT | SS_NOPREFIX);
  for (std::size_t place = 0; place < kReplaceLayout.size(); ++place) {
    const int code = kReplaceLayout[place];
    const auto column = static_cast<short>(place % kColumns);
    const auto row = static_cast<short>(place / kColumns);
    layout.Add(ControlClass::kButton, kReplaceButtonBase + code,
               WideFromUtf8(request.captions[static_cast<std::size_t>(code - 1)]),
               static_cast<short>(kMargin + column * (kWidth + kGap)),
               static_cast<short>(kMargin + kLabelHeight + kGap + row * (kHeight + kGap)), kWidth,
               kHeight, BS_PUSHBUTTON | WS_TABSTOP);
  }
  const ::INT_PTR answer =
      RunDialog(kReplaceClass, layout, ReplaceProcedure, reinterpret_cast<::LPARAM>(&request));
  if (answer <= 0) return std::nullopt;
  return static_cast<int>(answer);
}

bool ShowRenameDialog(const RenameDialogRequest& request, std::optional<std::string>& typed) {
  DialogTemplate layout(kRenameClass, WideFromUtf8(request.title), 200, 50);
  layout.Add(ControlClass::kStatic, kLabelId, WideFromUtf8(request.label), 7, 9, 50, 8, SS_LEFT);
  layout.Add(ControlClass::kEdit, kNameId, L"", 60, 7, 133, 12,
             ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
  layout.Add(ControlClass::kButton, IDOK, WideFromUtf8(request.ok_caption), 86, 29, 50, 14,
             BS_DEFPUSHBUTTON | WS_TABSTOP);
  layout.Add(ControlClass::kButton, IDCANCEL, WideFromUtf8(request.cancel_caption), 143, 29, 50, 14,
             BS_PUSHBUTTON | WS_TABSTOP);
  RenameState state{&request, std::nullopt};
  if (RunDialog(kRenameClass, layout, RenameProcedure, reinterpret_cast<::LPARAM>(&state)) <= 0)
    return false;
  typed = std::move(state.typed);
  return true;
}

}  // namespace tarvik::platform
