#include "ftp/control_connection/reply_parser.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvik {
namespace {

struct CodeCase {
  const char* name;
  std::string text;
  int code;
};
void PrintTo(const CodeCase& c, std::ostream* out) {
  *out << c.name;
}

class ReplyCodeTest : public ::testing::TestWithParam<CodeCase> {};

TEST_P(ReplyCodeTest, FinalCodeOfBuffer) {
  EXPECT_EQ(GetResponseCode(GetParam().text), GetParam().code) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyCodeTest,
    ::testing::Values(
        CodeCase{"MultiLineGreetingInOnePiece", "220-Welcome\r\n220-second line\r\n220 Ready\r\n",
                 220},
        CodeCase{"PwdThenTransferComplete", "257 \"/home\" is cwd\r\n226 Done\r\n", 226},
        CodeCase{"Only257", "257 \"/home\" is cwd\r\n", 257},
        CodeCase{"FinalLineWithoutCrLf", "550", 550},
        CodeCase{"FinalLineWithTextWithoutCrLf", "550 No such file", 550},
        CodeCase{"ShorterThanThree", "55", 0}, CodeCase{"Empty", "", 0},
        CodeCase{"ContinuationOnly", "331-Password please\r\n", 0},
        CodeCase{"GreetingContinuationCountsAs220", "220-Hello there\r\n", 220},
        CodeCase{"ShortContinuationIsNotEnough", "220-Hi\r\n", 0},
        CodeCase{"Garbage", "hello world\r\nno code here\r\n", 0},
        CodeCase{"DigitsWithoutSeparator", "2201 text\r\n", 0},
        CodeCase{"LaterLineWins", "200 ok\r\n500 bad\r\n", 500},
        CodeCase{"NulRemoved",
                 std::string("2\0"
                             "30 ok\r\n",
                             8),
                 230},
        CodeCase{"BlanksTrimmed", "  221 Bye  \r\n", 221},
        CodeCase{"FeatureList", "211-Features:\r\n MDTM\r\n UTF8\r\n211 End\r\n", 211}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplyInfoTest, LastTerminatedLineLongerThanThree) {
  EXPECT_EQ(GetResponseInfo("530-Denied\r\n530 Login incorrect.\r\n"), "530 Login incorrect.");
  EXPECT_EQ(GetResponseInfo("550 No such file\r\nabc\r\n"), "550 No such file");
}

TEST(ReplyInfoTest, PieceAfterLastCrLfIsIgnored) {
  EXPECT_EQ(GetResponseInfo("550 No such file"), "");
  EXPECT_EQ(GetResponseInfo("200 ok\r\n550 partial"), "200 ok");
}

TEST(ReplyInfoTest, CutAtNulAndTrimmed) {
  EXPECT_EQ(GetResponseInfo(std::string("  550 gone \0junk\r\n", 18)), "550 gone");
}

}  // namespace
}  // namespace tarvik
