// A private, empty registry store for each test: TARVIK_ROOT points at a fresh temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"

namespace tarvik::platform {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-reg-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    unsetenv("TARVIK_REGISTRY");
    CloseRegistryStore();
  }
  void TearDown() override {
    CloseRegistryStore();
    std::filesystem::remove_all(root_);
  }

  std::filesystem::path StorePath() const { return root_ / "registry.db"; }

  // Creates `path` below HKEY_CURRENT_USER and returns its handle.
  HKEY Create(std::string_view path) {
    HKEY key = 0;
    EXPECT_EQ(RegCreateKey(HKEY_CURRENT_USER, path, &key), ERROR_SUCCESS) << path;
    return key;
  }

  std::filesystem::path root_;
};

}  // namespace tarvik::platform
