// The setup program run as a user runs it: tarvinst and the files it ships with copied into a
// folder of their own, a private TARVIK_ROOT (drive C:, registry), the registration tool on PATH.
#pragma once

#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/fs/drive_table.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"
#include "tests/support/host_files.h"

namespace tarvik::setup {

struct SetupRun {
  int exit_code = -1;
  std::string boxes;  // standard error, where the headless message boxes go
};

using test::ReadHostFile;

class SetupProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-setup-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    base_ = pattern;
    root_ = base_ / "root";
    shipped_ = base_ / "shipped";
    std::filesystem::create_directories(shipped_);
    // This process reads the same registry and drives as the programs it starts.
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    unsetenv("TARVIK_REGISTRY");
    unsetenv("TARVIK_DRIVES");
    platform::ReloadDriveTable();
    platform::CloseRegistryStore();
  }
  void TearDown() override {
    platform::CloseRegistryStore();
    std::error_code ignored;
    std::filesystem::remove_all(base_, ignored);
  }

  // Ships tarvinst under `name`, with `control` as tarvikftp.ocx (none when empty).
  void Ship(const std::string& name = "tarvinst",
            const std::string& control = TARVIK_SERVER_LIBRARY) {
    program_ = shipped_ / name;
    std::filesystem::copy_file(TARVINST_PROGRAM, program_,
                               std::filesystem::copy_options::overwrite_existing);
    if (!control.empty()) {
      std::filesystem::copy_file(control, shipped_ / "tarvikftp.ocx",
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }

  SetupRun RunSetup(const std::string& environment = "") {
    const std::filesystem::path err = base_ / "boxes.txt";
    const std::string tool_folder = std::filesystem::path(TARVIK_REGSVR32).parent_path().string();
    const std::string command = "TARVIK_ROOT='" + root_.string() + "' PATH='" + tool_folder +
                                "':\"$PATH\" " + environment + " '" + program_.string() +
                                "' </dev/null >/dev/null 2>'" + err.string() + "'";
    const int status = std::system(command.c_str());
    platform::CloseRegistryStore();  // read what the program wrote afresh
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadHostFile(err)};
  }

  std::filesystem::path InstallFolder() const {
    return root_ / "drive_c" / "Program Files" / "TarvikFtp";
  }
  static bool KeyExists(platform::HKEY root, const std::string& path) {
    platform::HKEY key = 0;
    if (platform::RegOpenKey(root, path, &key) != platform::ERROR_SUCCESS) return false;
    platform::RegCloseKey(key);
    return true;
  }

  std::filesystem::path base_;
  std::filesystem::path root_;
  std::filesystem::path shipped_;
  std::filesystem::path program_;
};

}  // namespace tarvik::setup
