// A private world for each test of the error record: TARVIK_ROOT (drives, registry) and TMPDIR
// point into a fresh temporary folder, the clock stands still, and the thread's record, message
// table and last error start afresh.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/errors/error_record.h"
#include "core/errors/message_table.h"
#include "platform/fs/drive_table.h"
#include "platform/fs/last_error.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"
#include "platform/time/clock.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik {

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmpdir = getenv("TMPDIR");
    saved_tmpdir_ = tmpdir != nullptr ? std::optional<std::string>(tmpdir) : std::nullopt;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvik-errors-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "tmp");
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    unsetenv("TARVIK_DRIVES");
    unsetenv("TARVIK_REGISTRY");
    platform::ReloadDriveTable();
    platform::CloseRegistryStore();
    platform::SetClockForTesting(std::make_shared<platform::ManualClock>());
    platform::SetLastError(0);
    ui_ = std::make_shared<platform::ScriptedUiProvider>();
    platform::SetUiProvider(ui_);
    ReleaseErrorRecord();
    LoadMessageTexts();
  }
  void TearDown() override {
    ReleaseErrorRecord();
    LoadMessageTexts();
    platform::SetClockForTesting(nullptr);
    platform::SetUiProvider(nullptr);
    platform::CloseRegistryStore();
    std::filesystem::remove_all(root_);
    if (saved_tmpdir_) {
      setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  // The texts of the message boxes shown so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : ui_->boxes()) {
      EXPECT_EQ(box.title, "");
      EXPECT_EQ(box.flags, platform::MB_OK);
      texts.push_back(box.text);
    }
    return texts;
  }

  // The host folder of the C: drive.
  std::filesystem::path DriveC() const { return root_ / "drive_c"; }

  static std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteBytes(const std::filesystem::path& path, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << std::string(size, 'x');
  }

  std::filesystem::path root_;
  std::shared_ptr<platform::ScriptedUiProvider> ui_;  // records every message box
  std::optional<std::string> saved_tmpdir_;           // TMPDIR before the test
};

}  // namespace tarvik
