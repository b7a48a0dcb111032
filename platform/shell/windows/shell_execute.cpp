#include "platform/shell/shell_execute.h"

#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {

std::intptr_t ShellExecute(std::string_view verb, std::string_view file,
                           std::string_view parameters, int show_cmd) {
  const std::wstring wide_verb = WideFromUtf8(verb);
  const std::wstring wide_parameters = WideFromUtf8(parameters);
  const ::HINSTANCE result = ShellExecuteW(
      nullptr, verb.empty() ? nullptr : wide_verb.c_str(), WideFromUtf8(file).c_str(),
      parameters.empty() ? nullptr : wide_parameters.c_str(), nullptr, show_cmd);
  return reinterpret_cast<std::intptr_t>(result);
}

}  // namespace tarvik::platform
