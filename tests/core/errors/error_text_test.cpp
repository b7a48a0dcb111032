#include <string>

#include "core/errors/error_text.h"
#include "core/errors/generic_text.h"
#include "core/errors/pending_error.h"
#include "core/errors/winsock_error_text.h"
#include "tests/core/errors/errors_fixture.h"

namespace tarvik {
namespace {

using ErrorTextTest = ErrorsTest;

TEST_F(ErrorTextTest, NumbersTakeTheirMessages) {
  const std::pair<long, const char*> cases[] = {
      {20001, "Hostname Required"},
      {20003, "Can't transfer the file whose size more than {0}"},
      {20004, "Operation timed out"},
      {20007, "Can't find the file[ {0} ]"},
      {20009, "Can't find the file[ {0} ]"},
      {20010, "Can't find the folder[ {0} ]"},
      {20024, "Failed to open file[ {0} ] !"},
      {20050, "Create Window Error"},
      {20061, "Data Socket Error: Connection failed"},
      {20062, "Data Socket Error"},
      {16002, "Unknowed file list type."},
      {16006, "Connect failed(No response from server)"},
      {16010, "The operation has been canceled"},
      {16425, "Can 't open data connection."},
      {16452, "Requested action not taken."},
      {16553, "Requested action not taken."},
      {16530, "Login failed"},
      {16550, "550 error occurred."},
      {18001, "No Resuming Support"},
      {18404, "File Not Found"},
      {10054, "Connection reset by peer."},
      {10060, "Connection timeout"},
      {10061, "Connection refused"},
      {11001, "Unable to resolve host"},
      {11004, "Valid name, no data record of requested type."},
      {20013, "Unknown Error"},  // a gap in the control's numbers
      {16551, "Requested action aborted: page type unknown."},
      {12345, "Unknown Error"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(GetErrorText(number), text) << number;
}

TEST_F(ErrorTextTest, TableRowsFollowTheLanguageFixedTextsDoNot) {
  SelectMessageColumn(1);
  EXPECT_EQ(GetErrorText(20004), "操作超时");
  EXPECT_EQ(GetErrorText(10061), "连接被拒绝");
  EXPECT_EQ(GetErrorText(99999), "未知错误");
  EXPECT_EQ(GetErrorText(16550), "550 error occurred.");
  EXPECT_EQ(GetErrorText(10054), "Connection reset by peer.");
}

TEST_F(ErrorTextTest, UnknownSocketCodeTakesAMeaningfulPendingDescription) {
  EXPECT_EQ(GetWinsockErrorDescription(12345), "Unknown Error");
  {
    PendingErrorScope pending(12345, "Disk quota exceeded");
    EXPECT_EQ(GetWinsockErrorDescription(12345), "Disk quota exceeded");
    EXPECT_EQ(GetWinsockErrorDescription(10054), "Connection reset by peer.");  // listed code
    {
      PendingErrorScope generic(12345, "Application-defined or object-defined error");
      EXPECT_EQ(GetWinsockErrorDescription(12345), "Unknown Error");
    }
    EXPECT_EQ(GetWinsockErrorDescription(12345), "Disk quota exceeded");  // scopes nest
  }
  EXPECT_EQ(GetWinsockErrorDescription(12345), "Unknown Error");
  EXPECT_EQ(CurrentPendingError().number, 0);
}

TEST(GenericTextTest, RecognisesTheRuntimeWordingAndBlanks) {
  const std::pair<const char*, bool> cases[] = {
      {"", true},
      {"   ", true},
      {" \t\r\n", true},
      {"Application-defined or object-defined error", true},
      {"OBJECT required", true},
      {"Erreur définie par l'application ou par l'objet", true},
      {"Anwendungs- oder objektdefinierter Fehler", true},
      {"应用程序定义或对象定义错误", true},
      {"550 No such file", false},
      {"Connection refused", false},
      {"objec", false},
  };
  for (const auto& [text, generic] : cases) EXPECT_EQ(IsGenericErrorText(text, 0), generic) << text;
  EXPECT_TRUE(IsGenericErrorText("550 No such file", 21000));  // that number carries no text
}

}  // namespace
}  // namespace tarvik
