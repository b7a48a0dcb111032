// Shared pieces of the listing tests: a diagnostics recorder, and a fixture that pins the local
// clock, the time zone and the date patterns so that every date text is known in advance.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ftp/listing/format_file_list.h"
#include "ftp/listing/listing_diagnostics.h"
#include "platform/time/clock.h"
#include "platform/time/date_format.h"

namespace tarvik::test {

class RecordingDiagnostics : public ListingDiagnostics {
 public:
  struct Report {
    std::string procedure;
    long number;
    std::string description;
  };

  void WriteLog(std::string_view text) override { log.emplace_back(text); }
  void ReportError(std::string_view procedure, long number, std::string_view description) override {
    reports.push_back({std::string(procedure), number, std::string(description)});
  }

  // Log lines that begin with `prefix`.
  std::size_t LogLinesStartingWith(std::string_view prefix) const {
    std::size_t count = 0;
    for (const std::string& line : log) count += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return count;
  }

  std::vector<std::string> log;
  std::vector<Report> reports;
};

// A wall clock that stands still at one point in time.
class PinnedClock : public platform::Clock {
 public:
  explicit PinnedClock(std::chrono::system_clock::time_point now) : now_(now) {}
  std::int64_t MonotonicMs() override { return 1'000'000; }
  std::chrono::system_clock::time_point Now() override { return now_; }

 private:
  std::chrono::system_clock::time_point now_;
};

// Local time is UTC and "now" is 15 March 2026 10:00 unless a test pins otherwise; dates read
// "M/d/yyyy h:mm:ss tt".
class ListingEnvironment {
 public:
  ListingEnvironment() {
    if (const char* tz = std::getenv("TZ")) saved_tz_ = tz;
    SetTimeZone("UTC0");
    PinUtc(2026, 3, 15, 10, 0);
    platform::SetDatePatterns("M/d/yyyy", "h:mm:ss tt");
  }
  ~ListingEnvironment() {
    platform::SetClockForTesting(nullptr);
    platform::SetDatePatterns("", "");
    if (saved_tz_)
      setenv("TZ", saved_tz_->c_str(), 1);
    else
      unsetenv("TZ");
  }

  static void SetTimeZone(const char* posix_tz) { setenv("TZ", posix_tz, 1); }

  static void PinUtc(int year, unsigned month, unsigned day, int hour, int minute) {
    using namespace std::chrono;
    const auto point =
        sys_days{std::chrono::year{year} / month / day} + hours{hour} + minutes{minute};
    platform::SetClockForTesting(std::make_shared<PinnedClock>(point));
  }

 private:
  std::optional<std::string> saved_tz_;
};

class ListingTest : public ::testing::Test {
 protected:
  std::shared_ptr<CFtpFiles> Parse(std::string_view listing, std::string_view base = "/base") {
    return FormatFileList(listing, base, diagnostics_);
  }

  ListingEnvironment environment_;
  RecordingDiagnostics diagnostics_;
};

}  // namespace tarvik::test

namespace tarvik::test {

// One raw listing line and the entry it must give (or that it gives none).
struct LineCase {
  const char* name;            // test name
  const char* line;            // the raw line, as sent
  bool kept = true;            // false: the line gives no entry
  const char* file_name = "";  // expected entry...
  bool is_directory = false;
  double file_size = 0;
  const char* time = "";  // stored LastWriteTime text (seconds included)
  const char* permissions = "";
  const char* owner = "";
  const char* group = "";
  const char* link_target = "";
};

// Shown as its name in test listings (the struct's bytes would show addresses).
inline void PrintTo(const LineCase& row, std::ostream* out) {
  *out << row.name;
}
inline std::string LineCaseName(const ::testing::TestParamInfo<LineCase>& info) {
  return info.param.name;
}

// Parses the row's line as a one-line listing under "/base" and checks the entry.
class LineCaseTest : public ListingTest, public ::testing::WithParamInterface<LineCase> {
 protected:
  void CheckRow() {
    const LineCase& row = GetParam();
    const auto files = Parse(std::string(row.line) + "\r\n");
    if (!row.kept) {
      // Unreadable on its own, a line makes the listing unreadable (nullptr).
      EXPECT_TRUE(files == nullptr || files->Size() == 0u);
      return;
    }
    ASSERT_NE(files, nullptr) << "log: " << ::testing::PrintToString(diagnostics_.log);
    ASSERT_EQ(files->Size(), 1u) << "log: " << ::testing::PrintToString(diagnostics_.log);
    const CFtpFile& entry = *files->ItemAt(1);
    EXPECT_EQ(entry.FileName(), row.file_name);
    EXPECT_EQ(entry.FilePath(), std::string("/base/") + row.file_name);
    EXPECT_EQ(entry.IsDirectory(), row.is_directory);
    EXPECT_EQ(entry.FileSize(), row.file_size);
    EXPECT_EQ(entry.StoredLastWriteTime(), row.time);
    EXPECT_EQ(entry.Permissions(), row.permissions);
    EXPECT_EQ(entry.Owner(), row.owner);
    EXPECT_EQ(entry.Group(), row.group);
    EXPECT_EQ(entry.LinkTarget(), row.link_target);
  }
};

}  // namespace tarvik::test
