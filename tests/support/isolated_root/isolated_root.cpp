// Linked into a test executable, keeps the registry, log and drives of all its tests in a private
// folder (TARVIK_ROOT), removed at the end.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

namespace {

class IsolatedRoot : public ::testing::Environment {
 public:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-test-XXXXXX");
    root_ = ::mkdtemp(pattern.data());
    ::setenv("TARVIK_ROOT", root_.c_str(), 1);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

 private:
  std::string root_;
};

const auto* const kIsolatedRoot = ::testing::AddGlobalTestEnvironment(new IsolatedRoot);

}  // namespace
