// The store's lifetime in a library that is loaded, used and unloaded again and again, as a
// registration tool or setup program does with a server library.
#include <dirent.h>

#include <gtest/gtest.h>

#include "platform/shell/dynamic_library.h"
#include "tests/platform/registry/registry_fixture.h"

namespace tarvik::platform {
namespace {

using RegistryLifetimeTest = RegistryTest;

int OpenDescriptors() {
  int count = 0;
  DIR* folder = opendir("/proc/self/fd");
  while (folder != nullptr && readdir(folder) != nullptr) ++count;
  if (folder != nullptr) closedir(folder);
  return count;
}

// Loads the probe, lets it write through its own store, and unloads it.
void LoadRegisterUnload() {
  DynamicLibrary library;
  ASSERT_TRUE(library.Open(TARVIK_REGISTRY_PROBE)) << library.error();
  const auto entry = library.Function<long (*)()>("DllRegisterServer");
  ASSERT_NE(entry, nullptr) << library.error();
  ASSERT_EQ(entry(), ERROR_SUCCESS);
}

TEST_F(RegistryLifetimeTest, UnloadingALibraryClosesItsStore) {
  LoadRegisterUnload();  // the first cycle settles what stays loaded for good
  const int before = OpenDescriptors();
  for (int cycle = 0; cycle < 30; ++cycle) LoadRegisterUnload();
  EXPECT_EQ(OpenDescriptors(), before);

  std::string text;
  ASSERT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "Probe", "Loaded", &text), ERROR_SUCCESS);
  EXPECT_EQ(text, "yes");
}

}  // namespace
}  // namespace tarvik::platform
