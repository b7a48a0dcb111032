#include <string>
#include <vector>

#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/error_text.h"
#include "core/errors/message_table.h"
#include "tests/core/errors/errors_fixture.h"

namespace tarvik {
namespace {

using ErrorDispatchTest = ErrorsTest;

TEST_F(ErrorDispatchTest, ServerRefusalKeepsTheServersText) {
  const ControlFallbackError fallback;
  ReportErrorToRecord("DeleteFile", 16550, "550 No such file", false, fallback);
  EXPECT_EQ(ControlErrorNumber(fallback), 16550);
  EXPECT_EQ(ControlErrorInfo(fallback), "550 No such file");
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "FtpLibrary.DeleteFile");
}

TEST_F(ErrorDispatchTest, MessageBoxOnlyWhenAsked) {
  const ControlFallbackError fallback;
  ReportErrorToRecord("DeleteFile", 16550, "550 No such file", false, fallback);
  EXPECT_TRUE(BoxTexts().empty());
  ReportErrorToRecord("DeleteFile", 16550, "550 No such file", true, fallback);
  EXPECT_EQ(BoxTexts(), std::vector<std::string>{"550 No such file(16550)"});
  EXPECT_TRUE(EnsureErrorRecord().get_ShowError());
  DispatchError("CSocket.Connect", 10061, "", false);  // ShowError follows each report
  EXPECT_EQ(BoxTexts().size(), 1u);
  EnsureErrorRecord().DealError("", true);
  EXPECT_EQ(BoxTexts().back(), "Connection refused(10061)");
}

TEST_F(ErrorDispatchTest, GenericRefusalTextIsReplacedByTheTableText) {
  const ControlFallbackError fallback;
  ReportErrorToRecord("DeleteFile", 16550, "Application-defined or object-defined error", false,
                      fallback);
  EXPECT_EQ(ControlErrorInfo(fallback), "550 error occurred.");
  EXPECT_EQ(DispatchError("MFtpSupport", 20007, "", false), "Can't find the file");
}

TEST_F(ErrorDispatchTest, HostsRowTwentyAfterLangInfoOfFiftyOneParts) {
  std::string texts;
  for (int row = 0; row < 51; ++row) {
    texts += (row ? "|" : "") + std::string(row == 20 ? "Zeit abgelaufen" : "t");
  }
  ASSERT_TRUE(LetLangInfo(texts));
  const ControlFallbackError fallback;
  ReportErrorToRecord("Connect", 20004, "", false, fallback);
  EXPECT_EQ(ControlErrorNumber(fallback), 20004);
  EXPECT_EQ(ControlErrorInfo(fallback), "Zeit abgelaufen");
  EXPECT_EQ(GetErrorText(20004), "Zeit abgelaufen");
}

TEST_F(ErrorDispatchTest, FallbackFieldsStandInForAnEmptyRecord) {
  ControlFallbackError fallback{16011, ""};
  EXPECT_EQ(ControlErrorNumber(fallback), 16011);  // no record yet
  EXPECT_EQ(ControlErrorInfo(fallback), "Connection is interrupted");
  fallback.text = "Connection is interrupted: 421 Timeout";
  EXPECT_EQ(ControlErrorInfo(fallback), "Connection is interrupted: 421 Timeout");
  EnsureErrorRecord().put_Number(16550);
  EnsureErrorRecord().put_Description("550 gone");
  EXPECT_EQ(ControlErrorNumber(fallback), 16550);  // the record wins
  EXPECT_EQ(ControlErrorInfo(fallback), "550 gone");
}

TEST_F(ErrorDispatchTest, ReportWithoutNumberOrTextTakesTheControlsError) {
  const ControlFallbackError fallback{16012, "Unexpected reply"};
  ReportErrorToRecord("Rename", 0, "", false, fallback);
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 16012);
  EXPECT_EQ(ControlErrorInfo(fallback), "Unexpected reply");
  ReportErrorToRecord("", 0, "", false, ControlFallbackError{});
  EXPECT_EQ(EnsureErrorRecord().get_Source(), "FtpLibrary.Rename");  // "" keeps the source
}

TEST_F(ErrorDispatchTest, DataSocketFailureReadsAsConnectionRefused) {
  const ControlFallbackError fallback;
  ReportErrorToRecord("Download", 20061, "", false, fallback);
  EXPECT_EQ(EnsureErrorRecord().get_Number(), 20061);
  EXPECT_EQ(ControlErrorNumber(fallback), 10061);
  // The empty description was filled from ErrorInfo, which already reads the number as 10061.
  EXPECT_EQ(ControlErrorInfo(fallback), "Connection refused");

  // Reported by a module, the record keeps the data-socket text; the host still sees 10061.
  EnsureErrorRecord().Clear();
  EXPECT_EQ(DispatchError("PasvSkt", 20061, "", false), "Data Socket Error: Connection failed");
  EXPECT_EQ(ControlErrorNumber(fallback), 10061);
  EXPECT_EQ(ControlErrorInfo(fallback), "Data Socket Error: Connection failed");
}

TEST_F(ErrorDispatchTest, CanceledOperationAlwaysReadsAsCanceled) {
  const ControlFallbackError fallback;
  ReportErrorToRecord("Download", 16010, "426 Transfer aborted", false, fallback);
  EXPECT_EQ(ControlErrorInfo(fallback), "The operation has been canceled");
  SelectMessageColumn(1);
  EXPECT_EQ(ControlErrorInfo(fallback), "操作已被取消");
}

}  // namespace
}  // namespace tarvik
