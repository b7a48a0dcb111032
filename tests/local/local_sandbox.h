// The drive sandbox of the platform tests, plus what the local file methods touch: the thread's
// error record (released around each test, so its log path follows the sandbox) and the log file.
#pragma once

#include <cstdlib>
#include <string>

#include "core/errors/error_record.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::testing {

class LocalSandbox : public platform::testing::DriveSandbox {
 protected:
  void SetUp() override {
    DriveSandbox::SetUp();
    setenv("USER", "tester", 1);
    ReleaseErrorRecord();
  }
  void TearDown() override {
    ReleaseErrorRecord();
    DriveSandbox::TearDown();
  }

  // Everything written to the log so far.
  std::string LogText() const {
    return ReadHostFile(C("users/tester/Documents/Tarvik/lodrin.dat"));
  }
};

}  // namespace tarvik::testing
