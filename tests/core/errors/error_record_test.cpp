#include <string>

#include "core/errors/error_record.h"
#include "core/errors/pending_error.h"
#include "tests/core/errors/errors_fixture.h"

namespace tarvik {
namespace {

using ErrorRecordTest = ErrorsTest;

TEST_F(ErrorRecordTest, SettingNumberZeroKeepsThePreviousNumber) {
  CError record;
  record.put_Number(16550);
  record.put_Number(0);
  EXPECT_EQ(record.get_Number(), 16550);
  record.put_Number(20004);
  EXPECT_EQ(record.get_Number(), 20004);
  record.put_Description("text");
  record.put_Source("src");
  record.Clear();
  EXPECT_EQ(record.get_Number(), 0);
  EXPECT_EQ(record.get_Description(), "");
  EXPECT_EQ(record.get_Source(), "");
}

TEST_F(ErrorRecordTest, DescriptionDropsLeftoverPlaceholders) {
  const std::pair<const char*, const char*> cases[] = {
      {"Can't find the file[ {0} ]", "Can't find the file"},
      {"Failed to create directory[ {0} ] !", "Failed to create directory !"},
      {"types:[{0}]", "types:"},
      {"more than {0}", "more than "},
      {"a[]b[  ]c", "abc"},
      {"[ {0} ] and [ {0} ]", " and "},
      {"[ [{0}] ]", ""},  // "[{0}]" goes first, then "[  ]" is what is left
      {"550 No such file", "550 No such file"},
  };
  for (const auto& [value, stored] : cases) {
    CError record;
    record.put_Number(20007);
    record.put_Description(value);
    EXPECT_EQ(record.get_Description(), stored) << value;
  }
}

TEST_F(ErrorRecordTest, GenericDescriptionTakesTheMessageOfTheNumber) {
  CError record;
  record.put_Number(16550);
  record.put_Description("Application-defined or object-defined error");
  EXPECT_EQ(record.get_Description(), "550 error occurred.");
  record.put_Number(20007);
  record.put_Description("  ");
  EXPECT_EQ(record.get_Description(), "Can't find the file");  // message, placeholder removed
  record.put_Number(21000);
  record.put_Description("anything at all");
  EXPECT_EQ(record.get_Description(), "Invalid FTP host address");
}

TEST_F(ErrorRecordTest, GetErrorNumberPrefersThePendingErrorOverTheLastSystemError) {
  CError record;
  EXPECT_EQ(record.GetErrorNumber(), 0);
  platform::SetLastError(5);
  EXPECT_EQ(record.GetErrorNumber(), 5);
  PendingErrorScope pending(16550, "550 No such file");
  EXPECT_EQ(record.GetErrorNumber(), 16550);
}

TEST_F(ErrorRecordTest, DealErrorCompletesTheRecordFromThePendingError) {
  CError record;
  record.DealError("Nowhere", false);  // nothing pending, nothing recorded: nothing happens
  EXPECT_EQ(record.get_Number(), 0);
  EXPECT_EQ(record.get_Source(), "");

  PendingErrorScope pending(10054, "Connection reset by peer.");
  record.DealError("CSocket.Receive", false);
  EXPECT_EQ(record.get_Number(), 10054);
  EXPECT_EQ(record.get_Description(), "Connection reset by peer.");
  EXPECT_EQ(record.get_Source(), "CSocket.Receive");
  record.DealError("   ", false);  // a blank source leaves the source alone
  EXPECT_EQ(record.get_Source(), "CSocket.Receive");
}

TEST_F(ErrorRecordTest, TheThreadRecordIsCreatedOnFirstUseAndReleased) {
  EXPECT_EQ(FindErrorRecord(), nullptr);
  CError& record = EnsureErrorRecord();
  EXPECT_EQ(FindErrorRecord(), &record);
  EXPECT_EQ(&EnsureErrorRecord(), &record);
  record.put_Number(16550);
  ReleaseErrorRecord();
  EXPECT_EQ(FindErrorRecord(), nullptr);
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 0);  // a fresh record
}

}  // namespace
}  // namespace tarvik
