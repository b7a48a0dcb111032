#include "platform/shell/dynamic_library.h"

#include <dlfcn.h>
#include <limits.h>
#include <link.h>
#include <stdlib.h>


namespace tarvik::platform {
namespace {

// The pending dlerror() text, or `fallback` when the system left none.
std::string TakeDlError(const char* fallback) {
  const char* text = dlerror();
  return text != nullptr ? std::string(text) : std::string(fallback);
}

std::string RealPath(const char* path) {
  char resolved[PATH_MAX];
  if (path == nullptr || realpath(path, resolved) == nullptr) return {};
  return resolved;
}

}  // namespace

bool DynamicLibrary::Open(const std::string& path) {
  Close();
  path_ = path;
  dlerror();  // forget any earlier failure so that the text below is ours
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    error_ = TakeDlError("the library could not be loaded");
    return false;
  }
  error_.clear();
  return true;
}

void DynamicLibrary::Close() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) {
  if (handle_ == nullptr) {
    error_ = "the library is not loaded";
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name);
  if (address == nullptr) {
    error_ = TakeDlError("the symbol has no address");
    return nullptr;
  }
  error_.clear();
  return address;
}

std::string ModuleFileName(const void* address) {
  if (address == nullptr) return RealPath("/proc/self/exe");
  Dl_info info{};
  link_map* map = nullptr;
  if (dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
      map == nullptr) {
    return {};
  }
  // The main program has an empty name in the list of loaded objects.
  if (map->l_name == nullptr || map->l_name[0] == '\0') return RealPath("/proc/self/exe");
  return RealPath(map->l_name);
}

}  // namespace tarvik::platform
