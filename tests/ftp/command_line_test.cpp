#include "ftp/control_connection/command_line.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(CommandLineTest, VerbIsUpperCasedArgumentKeepsCase) {
  const PreparedCommand command = PrepareCommand("retr", "File.TXT", {});
  EXPECT_EQ(command.verb, "RETR");
  EXPECT_EQ(command.line, "RETR File.TXT\r\n");
  EXPECT_EQ(command.message, "RETR File.TXT");
  EXPECT_TRUE(command.sets_last_command);
}

TEST(CommandLineTest, WholeLineAsVerbUpperCasesOnlyTheVerb) {
  const PreparedCommand command = PrepareCommand("mdtm renamed.txt", "", {});
  EXPECT_EQ(command.line, "MDTM renamed.txt\r\n");
  EXPECT_EQ(command.verb, "MDTM");
  EXPECT_EQ(PrepareCommand("site chmod", "644 A.txt", {}).line, "SITE chmod 644 A.txt\r\n");
}

TEST(CommandLineTest, InternalArgumentsAreNotSentAndKeepLastCommand) {
  for (const char* argument : {"KEEP_ALIVE", "useforftpcommandtest"}) {
    const PreparedCommand command = PrepareCommand("noop", argument, {});
    EXPECT_EQ(command.line, "NOOP\r\n");
    EXPECT_FALSE(command.sets_last_command);
  }
}

TEST(CommandLineTest, PathMarks) {
  EXPECT_EQ(PrepareCommand("SIZE", "/pub/a.txt", {}).argument, "pub/a.txt");
  EXPECT_EQ(PrepareCommand("SIZE", "\\pub", {}).argument, "pub");
  EXPECT_EQ(PrepareCommand("SIZE", ":pub/a.txt", {}).argument, "/pub/a.txt");
  EXPECT_EQ(PrepareCommand("SIZE", ":/pub", {}).argument, "/pub");
  EXPECT_EQ(PrepareCommand("CWD", "/pub", {}).argument, "/pub");
  EXPECT_EQ(PrepareCommand("RNTO", "/b", {}).argument, "/b");
  EXPECT_EQ(PrepareCommand("PASS", "/secret", {}).argument, "/secret");
}

TEST(CommandLineTest, PasswordIsMaskedInMessageOnly) {
  const PreparedCommand command = PrepareCommand("PASS", "s3cret", {});
  EXPECT_EQ(command.line, "PASS s3cret\r\n");
  EXPECT_EQ(command.message, "PASS ********");
}

TEST(CommandLineTest, ScrambledCredentialsAreDecoded) {
  CommandRules rules;
  rules.decode_credential = [](std::string_view text) {
    return text == "x" ? std::string("joe") : std::string();
  };
  EXPECT_EQ(PrepareCommand("USER", "x", rules).line, "USER joe\r\n");
  EXPECT_EQ(PrepareCommand("USER", "bad", rules).line, "USER anonymous\r\n");
  EXPECT_EQ(PrepareCommand("PASS", "bad", rules).line, "PASS\r\n");
  EXPECT_EQ(PrepareCommand("SYST", "x", rules).line, "SYST x\r\n");
}

TEST(CommandLineTest, ListVariants) {
  CommandRules rules;
  EXPECT_EQ(PrepareCommand("LIST", "dir", rules).line, "LIST dir\r\n");
  rules.list_all = true;
  EXPECT_EQ(PrepareCommand("LIST", "dir", rules).line, "LIST -al dir\r\n");
  rules.list_command = "MLSD";
  EXPECT_EQ(PrepareCommand("LIST", "dir", rules).line, "MLSD dir\r\n");
}

TEST(CommandLineTest, WithoutArgumentTheLineIsTheBareVerb) {
  CommandRules rules;
  rules.list_all = true;
  EXPECT_EQ(PrepareCommand("LIST", "", rules).line, "LIST -al\r\n");
  rules.list_command = "MLSD";
  EXPECT_EQ(PrepareCommand("LIST", "", rules).line, "MLSD\r\n");
  EXPECT_EQ(PrepareCommand("pwd", "", rules).line, "PWD\r\n");
  EXPECT_EQ(PrepareCommand("PASV", "KEEP_ALIVE", rules).line, "PASV\r\n");
}

TEST(CommandLineTest, StateByVerbAndOperation) {
  EXPECT_EQ(StateForCommand("USER", Operation::kConnect), FtpStates::ftpAuthentication);
  EXPECT_EQ(StateForCommand("PWD", Operation::kGetCurrentDirectory),
            FtpStates::ftpRetrievingDirectoryInfo);
  EXPECT_EQ(StateForCommand("QUIT", Operation::kQuit), FtpStates::ftpQuiting);
  EXPECT_EQ(StateForCommand("TYPE", Operation::kDownload), FtpStates::ftpDownloadInProgress);
  EXPECT_EQ(StateForCommand("PASV", Operation::kUpload), FtpStates::ftpUploadInProgress);
  EXPECT_EQ(StateForCommand("PORT", Operation::kListing), FtpStates::ftpRetrievingDirectoryInfo);
  EXPECT_EQ(StateForCommand("REST", Operation::kFileSize), FtpStates::ftpGetFileSize);
  EXPECT_EQ(StateForCommand("TYPE", Operation::kRawCommand), FtpStates::ftpFreeState);
  EXPECT_EQ(StateForCommand("SYST", Operation::kRawCommand), FtpStates::ftpFreeState);
}

}  // namespace
}  // namespace tarvik
