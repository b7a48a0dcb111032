#include "platform/shell/dynamic_library.h"

#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

// The system's text for the thread's last error.
std::string SystemErrorText(const char* fallback) {
  const ::DWORD error = ::GetLastError();
  wchar_t* text = nullptr;
  const ::DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = length > 0 ? Utf8FromWide(std::wstring_view(text, length)) : fallback;
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
    message.pop_back();
  return message + " (error " + std::to_string(error) + ")";
}

std::string FileNameOf(::HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const ::DWORD length =
        GetModuleFileNameW(module, path.data(), static_cast<::DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) return Utf8FromWide(std::wstring_view(path.data(), length));
    path.resize(path.size() * 2);
  }
}

}  // namespace

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  path_ = path;
  handle_ = LoadLibraryW(WideFromUtf8(path).c_str());
  if (handle_ == nullptr) {
    error_ = SystemErrorText("the library could not be loaded");
    return false;
  }
  error_.clear();
  return true;
}

void DynamicLibrary::Close() {
  if (handle_ != nullptr) FreeLibrary(static_cast<::HMODULE>(handle_));
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = "the library is not loaded";
    return nullptr;
  }
  void* address =
      reinterpret_cast<void*>(GetProcAddress(static_cast<::HMODULE>(handle_), name));
  if (address == nullptr) {
    error_ = SystemErrorText("the symbol has no address");
    return nullptr;
  }
  error_.clear();
  return address;
}

std::string ModuleFileName(const void* address) {
  if (address == nullptr) return FileNameOf(nullptr);
  ::HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(address), &module))
    return {};
  return FileNameOf(module);
}

}  // namespace tarvik::platform
