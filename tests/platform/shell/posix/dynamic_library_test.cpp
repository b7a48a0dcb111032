#include "platform/shell/dynamic_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>

namespace tarvik::platform {
namespace {

const std::string kProbe = TARVIK_SHELL_PROBE;

using IntFunction = int (*)();

std::string Canonical(const std::string& path) {
  return std::filesystem::canonical(path).string();
}

TEST(DynamicLibraryTest, LoadsALibraryAndCallsAnExport) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Open(kProbe)) << library.error();
  EXPECT_TRUE(library.is_open());
  EXPECT_EQ(library.path(), kProbe);
  EXPECT_TRUE(library.error().empty());
  const auto answer = library.Function<IntFunction>("TarvikProbeAnswer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
}

TEST(DynamicLibraryTest, MissingFileFailsWithTheLoadersMessage) {
  DynamicLibrary library;
  EXPECT_FALSE(library.Open("/nonexistent/folder/libnothing.so"));
  EXPECT_FALSE(library.is_open());
  EXPECT_NE(library.error().find("libnothing.so"), std::string::npos) << library.error();
}

TEST(DynamicLibraryTest, FileThatIsNoLibraryFails) {
  DynamicLibrary library;
  EXPECT_FALSE(library.Open(std::string(__FILE__)));
  EXPECT_FALSE(library.error().empty());
}

TEST(DynamicLibraryTest, MissingSymbolIsNullWithAnError) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Open(kProbe));
  EXPECT_EQ(library.Symbol("NoSuchExport"), nullptr);
  EXPECT_NE(library.error().find("NoSuchExport"), std::string::npos) << library.error();
  // A later success clears the error.
  EXPECT_NE(library.Symbol("TarvikProbeAnswer"), nullptr);
  EXPECT_TRUE(library.error().empty());
}

TEST(DynamicLibraryTest, SymbolOfAClosedLibraryIsNull) {
  DynamicLibrary library;
  EXPECT_EQ(library.Symbol("TarvikProbeAnswer"), nullptr);
  EXPECT_FALSE(library.error().empty());
  ASSERT_TRUE(library.Open(kProbe));
  library.Close();
  EXPECT_FALSE(library.is_open());
  EXPECT_EQ(library.Symbol("TarvikProbeAnswer"), nullptr);
}

TEST(DynamicLibraryTest, TwoLoadsShareOneCopyUntilTheLastCloses) {
  DynamicLibrary first;
  ASSERT_TRUE(first.Open(kProbe));
  const auto increment_first = first.Function<IntFunction>("TarvikProbeIncrement");
  const int start = increment_first();

  DynamicLibrary second;
  ASSERT_TRUE(second.Open(kProbe));
  const auto increment_second = second.Function<IntFunction>("TarvikProbeIncrement");
  EXPECT_EQ(increment_second(), start + 1);  // same data as the first load

  first.Close();
  EXPECT_EQ(increment_second(), start + 2);  // still mapped for the second load
}

TEST(DynamicLibraryTest, MovingHandsTheLoadOver) {
  DynamicLibrary original;
  ASSERT_TRUE(original.Open(kProbe));
  DynamicLibrary moved(std::move(original));
  EXPECT_FALSE(original.is_open());  // NOLINT(bugprone-use-after-move): checks the moved-from
  ASSERT_TRUE(moved.is_open());
  EXPECT_EQ(moved.Function<IntFunction>("TarvikProbeAnswer")(), 42);

  DynamicLibrary assigned;
  assigned = std::move(moved);
  EXPECT_FALSE(moved.is_open());  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(assigned.Function<IntFunction>("TarvikProbeAnswer")(), 42);
}

int FunctionOfTheTestProgram() {
  return 7;
}

TEST(ModuleFileNameTest, NamesTheLibraryHoldingAnAddress) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Open(kProbe));
  EXPECT_EQ(ModuleFileName(library.Symbol("TarvikProbeAnswer")), Canonical(kProbe));
  EXPECT_EQ(ModuleFileName(library.Symbol("tarvik_probe_counter")), Canonical(kProbe));
}

TEST(ModuleFileNameTest, NamesTheProgramForItsOwnCodeAndForNull) {
  const std::string program = Canonical("/proc/self/exe");
  EXPECT_EQ(ModuleFileName(nullptr), program);
  EXPECT_EQ(ModuleFileName(reinterpret_cast<const void*>(&FunctionOfTheTestProgram)), program);
  EXPECT_EQ(FunctionOfTheTestProgram(), 7);
}

TEST(ModuleFileNameTest, AnAddressOutsideEveryFileHasNoName) {
  EXPECT_EQ(ModuleFileName(reinterpret_cast<const void*>(16)), "");
}

}  // namespace
}  // namespace tarvik::platform
