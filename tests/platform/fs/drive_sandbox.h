// A private drive table for tests: a fresh temporary folder holds TARVIK_ROOT, drives C: and D:
// (TARVIK_DRIVES), the network shares and the registry store, so no test touches the real home.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/fs/drive_table.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"

namespace tarvik::platform::testing {

class DriveSandbox : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"USER", "TMPDIR"})
      if (const char* value = std::getenv(name)) saved_environment_.emplace_back(name, value);
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-fs-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "c");
    std::filesystem::create_directories(root_ / "d");
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    setenv("TARVIK_DRIVES",
           ("C=" + (root_ / "c").string() + ";D=" + (root_ / "d").string()).c_str(), 1);
    setenv("TARVIK_REGISTRY", (root_ / "registry.db").c_str(), 1);
    ReloadDriveTable();
    CloseRegistryStore();
  }

  void TearDown() override {
    CloseRegistryStore();
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
    // The table is not reloaded here: with the variables gone it would make the default drive
    // folder in the real home. The next sandbox reloads it.
    unsetenv("TARVIK_DRIVES");
    unsetenv("TARVIK_REGISTRY");
    unsetenv("TARVIK_ROOT");
    unsetenv("USER");
    unsetenv("TMPDIR");
    for (const auto& [name, value] : saved_environment_) setenv(name.c_str(), value.c_str(), 1);
  }

  // Host path of drive C: + `relative` ("/"-separated).
  std::filesystem::path C(const std::string& relative = {}) const { return root_ / "c" / relative; }

  // Creates a host file (and its folders) below drive C: with `content`.
  std::filesystem::path MakeFile(const std::string& relative, const std::string& content = {}) {
    const auto path = C(relative);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }

  static std::string ReadHostFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path root_;
  std::vector<std::pair<std::string, std::string>> saved_environment_;  // USER, TMPDIR as found
};

}  // namespace tarvik::platform::testing
