// The steps of a tarvik command line, read from their text.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/call_step.h"

namespace tarvik::host {
namespace {

using Arguments = std::vector<std::optional<std::string>>;

struct StepCase {
  const char* text;
  CallStep::Kind kind;
  const char* name;
  Arguments arguments;
};

class CallStepTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(CallStepTest, ReadsTheStep) {
  const StepCase& c = GetParam();
  std::string error;
  const std::optional<CallStep> step = ParseCallStep(c.text, &error);
  ASSERT_TRUE(step.has_value()) << error;
  EXPECT_EQ(step->kind, c.kind);
  EXPECT_EQ(step->name, c.name);
  EXPECT_EQ(step->arguments, c.arguments);
}

const StepCase kSteps[] = {
    {"Connected", CallStep::Kind::kRead, "Connected", {}},
    {"ServerName=127.0.0.1", CallStep::Kind::kAssign, "ServerName", {"127.0.0.1"}},
    {"Password=a=b", CallStep::Kind::kAssign, "Password", {"a=b"}},
    {"RemotePath=", CallStep::Kind::kAssign, "RemotePath", {""}},
    {"GetFileList(/pub/)", CallStep::Kind::kCall, "GetFileList", {"/pub/"}},
    {"GetFtpDirectoryInfo()", CallStep::Kind::kCall, "GetFtpDirectoryInfo", {}},
    {"SendCommand(SYST,)", CallStep::Kind::kCall, "SendCommand", {"SYST", std::nullopt}},
    {"RenameFile( a.txt , b.txt )", CallStep::Kind::kCall, "RenameFile", {"a.txt", "b.txt"}},
    {"RenameFile(\"a, b).txt\", c)", CallStep::Kind::kCall, "RenameFile", {"a, b).txt", "c"}},
    {"SendCommand(SITE,\" \")", CallStep::Kind::kCall, "SendCommand", {"SITE", " "}},
    {"LocalFileWrite(C:\\a.txt, \"say \\\"hi\\\" \\\\o/\", True)",
     CallStep::Kind::kCall,
     "LocalFileWrite",
     {"C:\\a.txt", "say \"hi\" \\o/", "True"}},
    {"ShowBrowseFolderDialog(,C:\\)",
     CallStep::Kind::kCall,
     "ShowBrowseFolderDialog",
     {std::nullopt, "C:\\"}},
};
// Cases show the member they name: the printed bytes of the struct would carry addresses that
// change from run to run, and so would the test names.
void PrintTo(const StepCase& c, std::ostream* out) {
  *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(Steps, CallStepTest, ::testing::ValuesIn(kSteps));

TEST(CallStepErrorsTest, MalformedStepsAreRefusedWithAReason) {
  const char* bad[] = {"",       "=value",       "(x)",          "Name(x",
                       "Name)x", "Name(\"open)", "Name(\"a\"b)", "Name x"};
  for (const char* text : bad) {
    std::string error;
    EXPECT_FALSE(ParseCallStep(text, &error).has_value()) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
}  // namespace tarvik::host
