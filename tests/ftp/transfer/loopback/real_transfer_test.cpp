// Transfers through the control against the real servers: contents arrive unchanged both ways, in
// both data-connection modes, resume continues partial files, and existing targets are handled
// by the standing answers.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "local/path_lists.h"
#include "platform/ui/scripted_ui_provider.h"
#include "tests/ftp/transfer/loopback/real_transfer_fixture.h"

namespace tarvik::test {
namespace {

using RealTransferTest = RealTransferFixture;

// 0 B, 1 B, 1 MiB and 100 MiB down and up, passive and active.
TEST_P(RealTransferTest, ContentsArriveUnchangedBothWaysInBothModes) {
  const std::size_t sizes[] = {0, 1, 1 << 20, 100 << 20};
  Server().FreshDir("t");
  for (const bool passive : {true, false}) {
    control().put_Passive(passive);
    for (const std::size_t size : sizes) {
      SCOPED_TRACE((passive ? "passive, " : "active, ") + std::to_string(size) + " bytes");
      const std::string name = "f" + std::to_string(size) + (passive ? "p" : "a");
      const std::string bytes = RandomBytes(size, static_cast<std::uint32_t>(size));
      Server().PutFile("t/" + name, bytes);
      ASSERT_TRUE(Download("/t/" + name, local_ / name)) << Failure();
      EXPECT_TRUE(ReadHostFile(local_ / name) == bytes);
      EXPECT_EQ(control().get_Percent(), 100);
      EXPECT_EQ(control().get_TransferredSize(), static_cast<double>(size));

      ASSERT_TRUE(Upload(local_ / name, "/t/up-" + name)) << Failure();
      EXPECT_TRUE(ReadHostFile(Server().RootDir() / "t" / ("up-" + name)) == bytes);
      EXPECT_EQ(control().get_TransferredRemoteFiles(), "/t/up-" + name);
    }
  }
}

// Names with blanks and UTF-8, in a folder with a blank, on a UTF-8 session.
TEST_P(RealTransferTest, NamesWithBlanksAndUtf8) {
  control().put_UTF8(true);
  Server().FreshDir("sp ace");
  const std::string name =
      "gr\xC3\xBC\xC3\x9F"
      "e und so.txt";
  Server().PutFile("sp ace/" + name, "umlaut");
  ASSERT_TRUE(Download("/sp ace/" + name, local_ / name)) << Failure();
  EXPECT_EQ(ReadHostFile(local_ / name), "umlaut");
  ASSERT_TRUE(Upload(local_ / name, "/sp ace/copy " + name)) << Failure();
  EXPECT_EQ(ReadHostFile(Server().RootDir() / "sp ace" / ("copy " + name)), "umlaut");
}

// TYPE A: the server may turn LF into CR LF on the way; the file is complete either way.
TEST_P(RealTransferTest, AsciiModeTakesTheServersLineEnds) {
  Server().FreshDir("asc");
  Server().PutFile("asc/lines.txt", "one\ntwo\nthree\n");
  control().put_TransferMode(0);
  ASSERT_TRUE(Download("/asc/lines.txt", local_ / "lines.txt")) << Failure();
  const std::string got = ReadHostFile(local_ / "lines.txt");
  EXPECT_TRUE(got == "one\ntwo\nthree\n" || got == "one\r\ntwo\r\nthree\r\n") << got;
}

// A partial file is continued from where it stops, in both directions.
TEST_P(RealTransferTest, ResumeContinuesPartialFilesBothWays) {
  const std::string bytes = RandomBytes(3 << 20, 11);
  Server().FreshDir("r");
  Server().PutFile("r/whole.bin", bytes);
  WriteHostFile(local_ / "whole.bin", bytes.substr(0, 1 << 20));
  control().put_ReplaceIndex(2);  // resume
  ASSERT_TRUE(Download("/r/whole.bin", local_ / "whole.bin")) << Failure();
  EXPECT_TRUE(ReadHostFile(local_ / "whole.bin") == bytes);

  Server().PutFile("r/part.bin", bytes.substr(0, 2 << 20));
  ASSERT_TRUE(Upload(local_ / "whole.bin", "/r/part.bin")) << Failure();
  EXPECT_TRUE(ReadHostFile(Server().RootDir() / "r" / "part.bin") == bytes);

  // Already complete: nothing moves and the file counts as done.
  ASSERT_TRUE(Download("/r/whole.bin", local_ / "whole.bin")) << Failure();
  EXPECT_EQ(control().get_Percent(), 100);
}

// Each standing answer for an existing target.
TEST_P(RealTransferTest, StandingAnswersForExistingTargets) {
  Server().FreshDir("c");
  Server().PutFile("c/report.txt", "new contents");
  struct Row {
    std::int16_t replace_index;  // 1 overwrite, 3 skip, 4 rename
    std::string rename_rule;
    std::string kept;     // contents of report.txt afterwards
    std::string renamed;  // file that received the download ("" none)
    bool skipped;
  };
  const Row rows[] = {
      {1, "", "new contents", "", false},
      {3, "", "old", "", true},
      {4, "{oldname}_copy", "old", "report_copy.txt", false},
      {4, "backup", "old", "report1.txt", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("ReplaceIndex " + std::to_string(row.replace_index) + " " + row.rename_rule);
    fs::remove_all(local_);
    WriteHostFile(local_ / "report.txt", "old");
    // An existing read-only file is replaced all the same.
    ::chmod((local_ / "report.txt").c_str(), 0444);
    control().put_ReplaceIndex(row.replace_index);
    if (!row.rename_rule.empty()) control().put_RenameRule(row.rename_rule);
    ASSERT_TRUE(Download("/c/report.txt", local_ / "report.txt")) << Failure();
    EXPECT_EQ(ReadHostFile(local_ / "report.txt"), row.kept);
    if (!row.renamed.empty()) EXPECT_EQ(ReadHostFile(local_ / row.renamed), "new contents");
    EXPECT_EQ(control().get_SkippedFiles(), row.skipped ? "/c/report.txt" : "");
  }
}

// A standing Skip, set by ReplaceIndex or answered "Skip All" in the question, leaves every
// existing target as it is, uploads as downloads, file lists as folders; what is not there yet
// arrives, and the skipped files are listed by their source paths.
TEST_P(RealTransferTest, StandingSkipLeavesExistingTargetsBothWays) {
  struct Row {
    bool upload;
    bool folder;          // the folder item instead of a list of its files
    bool skip_all_asked;  // "Skip All" in the question instead of ReplaceIndex 3 (skip)
  };
  const Row rows[] = {
      {true, false, false},  {true, true, false},  {true, false, true},  {true, true, true},
      {false, false, false}, {false, true, false}, {false, false, true}, {false, true, true},
  };
  auto ui = std::make_shared<platform::ScriptedUiProvider>();
  platform::SetUiProvider(ui);
  const char* names[] = {"a.txt", "b.txt", "c.txt"};  // c.txt is new at the target
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.upload ? "upload" : "download") + (row.folder ? ", folder" : "") +
                 (row.skip_all_asked ? ", Skip All asked" : ", ReplaceIndex 3"));
    const fs::path local = local_ / "src";
    fs::remove_all(local);
    Server().FreshDir("s");
    std::string sources;
    std::set<std::string> expected_skips;
    for (const char* name : names) {
      const bool existing = name != std::string("c.txt");
      const std::string remote = "s/src/" + std::string(name);
      if (row.upload) {
        WriteHostFile(local / name, std::string("new ") + name);
        if (existing) Server().PutFile(remote, "old");
      } else {
        Server().PutFile(remote, std::string("new ") + name);
        if (existing) WriteHostFile(local / name, "old");
      }
      const std::string source = row.upload ? DrivePath(local / name) : "/" + remote;
      sources += (sources.empty() ? "" : "|") + source;
      if (existing) expected_skips.insert(source);
    }
    if (row.folder) sources = row.upload ? DrivePath(local) + "\\" : "/s/src/";
    if (row.skip_all_asked) ui->QueueReplaceAnswer(platform::kReplaceSkipAll);
    control().put_ReplaceIndex(row.skip_all_asked ? 0 : 3);
    control().put_RemotePath(row.upload ? "/s/" + std::string(row.folder ? "" : "src/") : sources);
    control().put_LocalPath(row.upload ? sources : DrivePath(row.folder ? local_ : local) + "\\");
    const std::size_t asked = ui->replace_dialogs().size();
    ASSERT_TRUE(row.upload ? control().Upload() : control().Download()) << Failure();

    EXPECT_EQ(ui->replace_dialogs().size() - asked, row.skip_all_asked ? 1u : 0u);
    for (const char* name : names) {
      const std::string target =
          row.upload ? Server().GetFile("s/src/" + std::string(name)) : ReadHostFile(local / name);
      EXPECT_EQ(target, name == std::string("c.txt") ? "new c.txt" : "old") << name;
    }
    const std::vector<std::string> skips = SplitPathList(control().get_SkippedFiles());
    EXPECT_EQ(std::set<std::string>(skips.begin(), skips.end()), expected_skips);
  }
  platform::SetUiProvider(nullptr);
}

// Failures that another attempt would only repeat end at once, before or without data.
TEST_P(RealTransferTest, CheckedFailuresEndAtOnce) {
  Server().FreshDir("e");
  Server().PutFile("e/big.bin", std::string(3 << 20, 'x'));
  WriteHostFile(local_ / "keep.bin", "keep me");
  struct Row {
    std::string remote, local;
    double max_size_mb;
    long error;
  };
  const Row rows[] = {
      {"/e/missing.bin", DrivePath(local_ / "m.bin"), 0, 20007},
      {"/e/big.bin", DrivePath(local_ / "big.bin"), 1, 20003},
      {"/e/big.bin", "C:big.bin", 0, 20011},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.remote + " -> " + row.local);
    control().put_MaxSize(row.max_size_mb);
    control().put_RemotePath(row.remote);
    control().put_LocalPath(row.local);
    EXPECT_FALSE(control().Download());
    EXPECT_EQ(control().get_ErrorNumber(), row.error) << control().get_ErrorInfo();
    EXPECT_EQ(control().get_TransferState(), "");  // no retry countdown
  }
  control().put_MaxSize(0);
  // An upload of a missing local file names it.
  EXPECT_FALSE(Upload(local_ / "absent.bin", "/e/absent.bin"));
  EXPECT_EQ(control().get_ErrorNumber(), 20009);
  EXPECT_NE(control().get_ErrorInfo().find("absent.bin"), std::string::npos);
  EXPECT_EQ(ReadHostFile(local_ / "keep.bin"), "keep me");
}

// Abort from a progress handler: the partial file stays and the control works on.
TEST_P(RealTransferTest, AbortFromProgressHandlerKeepsThePartialFile) {
  Server().FreshDir("ab");
  const std::string bytes = RandomBytes(64 << 20, 5);
  Server().PutFile("ab/big.bin", bytes);
  Server().PutFile("ab/small.txt", "small");
  control().put_MaxSpeed(8192);  // long enough for several progress events
  hosted_.on_transfer = [this] {
    if (control().get_TransferredSize() > 0 && control().get_Percent() < 100) control().Abort();
  };
  EXPECT_FALSE(Download("/ab/big.bin", local_ / "big.bin"));
  EXPECT_EQ(control().get_ErrorNumber(), 16010) << control().get_ErrorInfo();
  const auto partial = fs::file_size(local_ / "big.bin");
  EXPECT_GT(partial, 0u);
  EXPECT_LT(partial, bytes.size());
  hosted_.on_transfer = nullptr;
  control().put_ReplaceIndex(2);
  control().put_MaxSpeed(0);
  ASSERT_TRUE(Download("/ab/big.bin", local_ / "big.bin")) << Failure();
  EXPECT_TRUE(ReadHostFile(local_ / "big.bin") == bytes);
}

// AbortCurrent stops one file of a list; the list goes on and the file is recorded.
TEST_P(RealTransferTest, AbortCurrentStopsOnlyTheCurrentFile) {
  Server().FreshDir("ac");
  Server().PutFile("ac/big.bin", RandomBytes(32 << 20, 3));
  Server().PutFile("ac/next.txt", "next");
  control().put_MaxSpeed(8192);
  bool aborted = false;
  hosted_.on_transfer = [&] {
    if (!aborted && control().get_TransferredSize() > 0 && control().get_Percent() < 100) {
      aborted = true;
      control().AbortCurrent();
    }
  };
  control().put_RemotePath("/ac/big.bin|/ac/next.txt");
  control().put_LocalPath(DrivePath(local_) + "\\");
  ASSERT_TRUE(control().Download()) << Failure();
  EXPECT_EQ(control().get_AbortedFiles(), "/ac/big.bin");
  EXPECT_EQ(ReadHostFile(local_ / "next.txt"), "next");
  EXPECT_EQ(control().get_TransferredRemoteFiles(), "/ac/next.txt");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealTransferTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
