// The command line of the tarvik host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/host_options.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::host {
namespace {

std::optional<HostOptions> Parse(std::vector<std::string> args, std::string* error) {
  return ParseHostOptions(args, error);
}

TEST(HostOptionsTest, ReadsOptionsAndStepsInOrder) {
  std::string error;
  const std::optional<HostOptions> options =
      Parse({"-v", "--class={31AE647D-11D1-4E6A-BE2D-90157640019A}", "ServerName=h", "--answer",
             "yes", "--answer=No", "--dialog", "/tmp/x", "--dialog=", "--no-progress", "Connect",
             "--", "Disconnect"},
            &error);
  ASSERT_TRUE(options.has_value()) << error;
  EXPECT_TRUE(options->verbose);
  EXPECT_FALSE(options->progress);
  EXPECT_FALSE(options->help);
  EXPECT_EQ(options->class_name, "{31AE647D-11D1-4E6A-BE2D-90157640019A}");
  EXPECT_EQ(options->box_answers, (std::deque<int>{platform::IDYES, platform::IDNO}));
  ASSERT_EQ(options->dialog_answers.size(), 2u);
  EXPECT_EQ(options->dialog_answers[0], "/tmp/x");
  EXPECT_EQ(options->dialog_answers[1], std::nullopt);
  ASSERT_EQ(options->steps.size(), 3u);
  EXPECT_EQ(options->steps[0].name, "ServerName");
  EXPECT_EQ(options->steps[1].name, "Connect");
  EXPECT_EQ(options->steps[2].name, "Disconnect");
}

TEST(HostOptionsTest, DefaultsToTheRegisteredControl) {
  std::string error;
  const std::optional<HostOptions> options = Parse({"--members"}, &error);
  ASSERT_TRUE(options.has_value()) << error;
  EXPECT_EQ(options->class_name, "TarvikFtp.FtpLibrary");
  EXPECT_TRUE(options->members);
  EXPECT_FALSE(options->all_members);
  EXPECT_TRUE(options->progress);
}

TEST(HostOptionsTest, RefusesBadCommandLinesWithAReason) {
  const std::vector<std::vector<std::string>> bad = {
      {"--frobnicate"},
      {"--answer", "maybe"},
      {"--answer"},
      {"--class"},
      {"--class="},
      {"--dialog"},
      {"Name(x"},
      // After "--" every word is a step, and "-odd" is no member name.
      {"--", "-odd=1"}};
  for (const std::vector<std::string>& args : bad) {
    std::string error;
    EXPECT_FALSE(Parse(args, &error).has_value()) << ::testing::PrintToString(args);
    EXPECT_FALSE(error.empty()) << ::testing::PrintToString(args);
  }
}

TEST(HostOptionsTest, HelpDescribesStepsOptionsAndExitStatus) {
  const std::string help = HelpText();
  for (const char* word :
       {"Usage: tarvik", "Name=value", "Name(a, b, ...)", "--members", "--verbose", "--answer",
        "--dialog", "--class", "ErrorNumber", "Exit status", "TARVIK_DRIVES"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
}

}  // namespace
}  // namespace tarvik::host
