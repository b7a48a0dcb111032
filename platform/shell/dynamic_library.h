// Dynamic libraries in the manner of LoadLibrary / GetProcAddress / FreeLibrary /
// GetModuleFileName: the system's own calls on Windows, built on dlopen, dlsym, dlclose and dladdr
// on Linux.
//
// A library is loaded with RTLD_NOW (every reference resolved at once, so that a broken library
// fails at load and not at its first call) and RTLD_LOCAL (its symbols do not satisfy other
// libraries, so that two in-process servers exporting the same entry point names stay apart).
// Loading the same file twice shares one mapping: the system counts the loads and unmaps the file
// at the last Close().
//
// Nothing here throws; failures return false / nullptr / an empty text, and error() tells why.
#pragma once

#include <string>

namespace tarvik::platform {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Loads `path` (closing the library held before). A name without "/" is searched the way the
  // system searches shared libraries. False on failure, with error() set to the system's text.
  bool Open(const std::string& path);
  // Releases this load of the library. Addresses obtained from it must not be used afterwards.
  void Close();
  bool is_open() const { return handle_ != nullptr; }

  // The address of the exported symbol `name`; nullptr when the library is not open or does not
  // export it (error() then says so).
  void* Symbol(const char* name);
  // Symbol() as a function pointer of type `Fn`, e.g. Function<long (*)()>("DllCanUnloadNow").
  template <typename Fn>
  Fn Function(const char* name) {
    return reinterpret_cast<Fn>(Symbol(name));
  }

  // The path given to the last Open().
  const std::string& path() const { return path_; }
  // Text of the last failure of Open() or Symbol(); empty after a success.
  const std::string& error() const { return error_; }

 private:
  void* handle_ = nullptr;  // dlopen handle, nullptr when closed
  std::string path_;        // as given to Open()
  std::string error_;       // last failure text
};

// The absolute path, symbolic links resolved, of the library or program whose code or data holds
// `address`. nullptr names the running program. Empty when the address belongs to no loaded file.
std::string ModuleFileName(const void* address);

}  // namespace tarvik::platform
