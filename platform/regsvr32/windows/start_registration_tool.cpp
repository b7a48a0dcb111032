#include "platform/regsvr32/start_registration_tool.h"

#include "platform/fs/known_folders.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

// `arg` quoted for a command line as the C runtime splits it: backslashes are doubled only
// before a quote.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  return quoted + L"\"";
}

}  // namespace

// The system's own tool, started without a console window and not waited for.
bool StartRegistrationTool(const std::vector<std::string>& args) {
  const std::wstring tool = WideFromUtf8(GetSystemDirectory() + "\\regsvr32.exe");
  std::wstring command_line = Quoted(tool);
  for (const std::string& arg : args) command_line += L" " + Quoted(WideFromUtf8(arg));
  ::STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  ::PROCESS_INFORMATION process{};
  if (!CreateProcessW(tool.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                      CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process))
    return false;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace tarvik::platform
