#include <regex>
#include <string>
#include <vector>

#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/log_file.h"
#include "platform/fs/known_folders.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"
#include "tests/core/errors/errors_fixture.h"

namespace tarvik {
namespace {

class LogFileTest : public ErrorsTest {
 protected:
  // The host file of the user's log.
  std::filesystem::path HostLog() const {
    return DriveC() / "users" / platform::GetUserName() / "Documents" / "Tarvik" / "lodrin.dat";
  }
  std::filesystem::path HostTrace() const { return root_ / "tmp" / "trace.qzw"; }
  static std::string Stamp() {
    return "  {" + platform::GeneralDateText(platform::LocalNow()) + "}\r\n";
  }
};

TEST_F(LogFileTest, TheLogLivesInTarvikUnderDocuments) {
  const std::string path = EnsureErrorRecord().get_LogFilePath();
  EXPECT_EQ(path, platform::GetDocumentsFolder() + "\\Tarvik\\lodrin.dat");
  EXPECT_TRUE(std::filesystem::is_directory(HostLog().parent_path()));  // folder made
  EXPECT_FALSE(std::filesystem::exists(HostLog()));                     // file not yet
}

TEST_F(LogFileTest, EveryLineEndsWithTwoBlanksAndTheTimeInBraces) {
  CError& record = EnsureErrorRecord();
  ASSERT_TRUE(record.WriteFile("CMD:PWD", false));
  ASSERT_TRUE(record.WriteFile("second", false));
  EXPECT_EQ(ReadFile(HostLog()), "CMD:PWD" + Stamp() + "second" + Stamp());
  const std::regex line(
      "[^\r\n]*  \\{[0-9]+/[0-9]+/[0-9]{4} [0-9]+:[0-9]{2}:[0-9]{2} [AP]M\\}\r\n");
  EXPECT_TRUE(std::regex_match(LogLine("x"), line)) << LogLine("x");
  ASSERT_TRUE(record.WriteFile("fresh", true));  // overwrite starts the file again
  EXPECT_EQ(ReadFile(HostLog()), "fresh" + Stamp());
}

TEST_F(LogFileTest, EnableLogOffWritesNothing) {
  CError& record = EnsureErrorRecord();
  record.put_EnableLog(false);
  EXPECT_FALSE(record.WriteFile("hidden", false));
  DispatchError("Connect", 16530, "530 Login incorrect.", false);
  EXPECT_FALSE(std::filesystem::exists(HostLog()));
  EXPECT_EQ(record.get_Number(), 16530);  // the error is still recorded
  record.put_EnableLog(true);
  EXPECT_TRUE(record.WriteFile("shown", false));
  EXPECT_EQ(ReadFile(HostLog()), "shown" + Stamp());
}

TEST_F(LogFileTest, MissingDocumentsFolderLeavesNoLogPathAndLogsNothing) {
  ASSERT_EQ(platform::WriteRegistryString(platform::HKEY_CURRENT_USER, platform::kShellFoldersKey,
                                          platform::kDocumentsValueName, "C:\\nowhere\\Documents"),
            platform::ERROR_SUCCESS);
  CError& record = EnsureErrorRecord();
  EXPECT_EQ(record.get_LogFilePath(), "");
  EXPECT_FALSE(record.WriteFile("lost", false));
  DispatchError("Download", 16550, "550 No such file", false);
  EXPECT_EQ(record.get_Description(), "550 No such file");
  TrimLogFileAtStartup();
  EXPECT_FALSE(std::filesystem::exists(DriveC() / "nowhere"));
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
    EXPECT_NE(entry.path().filename(), "lodrin.dat") << entry.path();
  }
}

TEST_F(LogFileTest, StartUpKeeps204800BytesAndDeletes204801) {
  EnsureErrorRecord();  // makes the folder
  const std::pair<std::size_t, bool> cases[] = {
      {204799, true}, {204800, true}, {204801, false}, {204802, false}, {0, true}};
  for (const auto& [size, kept] : cases) {
    WriteBytes(HostLog(), size);
    TrimLogFileAtStartup();
    EXPECT_EQ(std::filesystem::exists(HostLog()), kept) << size;
  }
}

TEST_F(LogFileTest, DealErrorLogsSourceDescriptionAndNumber) {
  DispatchError("  MSocketSupport.WindowProc ", 10054, "", false);
  EXPECT_EQ(ReadFile(HostLog()),
            "MSocketSupport.WindowProc|Connection reset by peer.(10054)" + Stamp());
  // A log path without "\" is not a Windows path: nothing is written there.
  CError& record = EnsureErrorRecord();
  record.put_LogFilePath("lodrin.dat");
  DispatchError("x", 16550, "550 No such file", false);
  EXPECT_EQ(ReadFile(HostLog()),
            "MSocketSupport.WindowProc|Connection reset by peer.(10054)" + Stamp());
}

TEST_F(LogFileTest, DispatchWithoutAnyNumberOnlyLogsIt) {
  EXPECT_EQ(DispatchError(" istCreateDirectory ", 0, "C:\\a", false), "");
  EXPECT_EQ(ReadFile(HostLog()), "istCreateDirectory:ErrorNumber=0C:\\a" + Stamp());
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 0);
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "istCreateDirectory");
}

TEST_F(LogFileTest, TraceWritesOnlyWhenEnabledAndRestartsAtTheLimit) {
  CError& record = EnsureErrorRecord();
  EXPECT_FALSE(record.Trace("off", false));
  EXPECT_FALSE(std::filesystem::exists(HostTrace()));
  record.put_EnableTrace(true);
  ASSERT_TRUE(record.Trace("on", false));
  EXPECT_EQ(ReadFile(HostTrace()), "on" + Stamp());
  WriteBytes(HostTrace(), 204801);
  ASSERT_TRUE(record.Trace("after", false));
  EXPECT_EQ(ReadFile(HostTrace()), "after" + Stamp());
  WriteBytes(HostTrace(), 204800);
  ASSERT_TRUE(record.Trace("kept", false));
  EXPECT_EQ(std::filesystem::file_size(HostTrace()), 204800 + ("kept" + Stamp()).size());
}

TEST_F(LogFileTest, TraceFailureShowsItsBox) {
  CError& record = EnsureErrorRecord();
  record.put_EnableTrace(true);
  std::filesystem::create_directory(HostTrace());  // a folder where the file should be
  EXPECT_FALSE(record.Trace("lost", false));
  const std::string path = platform::GetTempPath() + "trace.qzw";
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Trace Error!\r\nDescription:Unknown Error\r\n" +
                                                 path + "\r\n5"});
  EXPECT_TRUE(std::filesystem::is_directory(HostTrace()));  // left alone
}

}  // namespace
}  // namespace tarvik
