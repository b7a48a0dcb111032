// Faults in the middle of a download or an upload, played by the scripted server: the control
// connection reset or closed in the middle of a reply or of the data, 421 while data flows, the
// data connection reset or closed early. Every fault ends the call with a clear error, keeps what
// arrived of a download, and leaves the same control ready for the next call, which resumes.
// And the replies of a download cut by TCP at every byte position; a cancel under MaxSpeed; a
// server that sends more than the size it announced.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/ftp/transfer/loopback/scripted_transfer.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFileSize = 1000;
constexpr std::size_t kPartSize = 400;

struct Fault {
  const char* name;
  // Plays the first attempt after the login, up to and including the fault.
  std::function<void(FakeFtpServer&, const std::string& bytes)> play;
  long error;             // the ErrorNumber the attempt ends with
  std::size_t kept;       // bytes of the local file afterwards (0: none, or empty)
  bool control_lost;      // the next call logs in again
};

// The server's side of a session the client gave up: it waits for the close, then for a new login.
FakeFtpServer& PlayNewSession(FakeFtpServer& server, const Fault& fault) {
  if (!fault.control_lost) return server;
  return PlayLogin(server.ExpectClose());
}

FakeFtpServer& PlayRetrieve(FakeFtpServer& server) {
  return PlayRetrieveStart(PlaySizeQuery(server, kFileSize));
}

template <typename Case>
class ScriptedDownloadTest : public ::testing::TestWithParam<Case> {
 protected:
  void Aim(const FakeFtpServer& server) {
    FtpLibrary& c = hosted_.control;
    AimAtScriptedServer(c, server, local_ / "file.bin");
    c.put_ReplaceIndex(2);  // resume into what an earlier attempt kept
    c.put_RedoTimes(0);     // one attempt per call
  }
  std::size_t LocalSize() const {
    return fs::exists(local_ / "file.bin") ? fs::file_size(local_ / "file.bin") : 0;
  }

  HostedControl hosted_;
  fs::path local_ = FreshLocalFolder("fault-local");
};

using FaultTransferTest = ScriptedDownloadTest<Fault>;

TEST_P(FaultTransferTest, DownloadEndsWithAClearErrorAndTheNextCallResumes) {
  const Fault& fault = GetParam();
  const std::string bytes = RandomBytes(kFileSize);
  FakeFtpServer server;
  PlayLogin(server);
  fault.play(server, bytes);
  PlaySizeQuery(PlayNewSession(server, fault), kFileSize).Expect("TYPE I").Reply("200 Type set").Expect("PASV").ReplyPasv();
  if (fault.kept > 0) {
    server.Expect("REST " + std::to_string(fault.kept)).Reply("350 Restarting");
  }
  server.ExpectLike("RETR *file.bin")
      .Reply("150 Opening")
      .SendData(bytes.substr(fault.kept))
      .Reply("226 Transfer complete");
  server.Start();
  Aim(server);

  FtpLibrary& c = hosted_.control;
  EXPECT_FALSE(c.Download());
  EXPECT_EQ(c.get_ErrorNumber(), fault.error) << c.get_ErrorInfo();
  ExpectShowable(c.get_ErrorInfo());
  EXPECT_EQ(LocalSize(), fault.kept);

  ASSERT_TRUE(c.Download()) << c.get_ErrorNumber() << " " << c.get_ErrorInfo();
  EXPECT_TRUE(ReadHostFile(local_ / "file.bin") == bytes);
  EXPECT_TRUE(server.WaitFinished());
}

const Fault kFaults[] = {
    {"ControlResetInAReply",
     [](FakeFtpServer& s, const std::string&) {
       s.Expect("TYPE I").Reply("200 Type set").ExpectLike("SIZE *file.bin").ReplyRaw("213 1").Reset();
     },
     16011, 0, true},
    {"ControlClosedInAReply",
     [](FakeFtpServer& s, const std::string&) {
       PlaySizeQuery(s).Expect("TYPE I").Reply("200 Type set").Expect("PASV").ReplyPasv().ExpectLike(
           "RETR *file.bin").ReplyRaw("150 Open").Drop();
     },
     16011, 0, true},
    {"ControlResetWhileDataFlows",
     [](FakeFtpServer& s, const std::string& bytes) {
       PlayRetrieve(s).SendDataPart(bytes.substr(0, kPartSize)).Reset();
     },
     16011, kPartSize, true},
    {"ControlClosedWhileDataFlows",
     [](FakeFtpServer& s, const std::string& bytes) {
       PlayRetrieve(s).SendDataPart(bytes.substr(0, kPartSize)).Drop();
     },
     16011, kPartSize, true},
    {"ServiceClosingWhileDataFlows",
     [](FakeFtpServer& s, const std::string& bytes) {
       PlayRetrieve(s)
           .SendDataPart(bytes.substr(0, kPartSize))
           .Reply("421 Timeout, closing control connection")
           .Drop();
     },
     16421, kPartSize, true},
    {"DataReset",
     [](FakeFtpServer& s, const std::string& bytes) {
       PlayRetrieve(s).SendDataPart(bytes.substr(0, kPartSize)).ResetData();
     },
     10054, kPartSize, true},
    {"DataClosedEarly",
     [](FakeFtpServer& s, const std::string& bytes) {
       PlayRetrieve(s)
           .SendDataPart(bytes.substr(0, kPartSize))
           .CloseData()
           .Reply("226 Transfer complete");
     },
     10061, kPartSize, false},  // a size mismatch (20061) reads as 10061
};

// Every reply of a download cut by TCP at the same byte position, for every position, on one
// control and one session: each download is whole and the replies stay paired with their commands.
TEST(SplitTransferReplyTest, EveryCutOfTheTransferRepliesGivesAWholeDownload) {
  const fs::path local = FreshLocalFolder("split-local") / "file.bin";
  const std::string bytes = RandomBytes(kFileSize);
  const std::string replies[] = {"200 Type set", "213 " + std::to_string(kFileSize),
                                 "150 Opening BINARY mode data connection",
                                 "226 Transfer complete"};
  const auto cut = [](const std::string& reply, std::size_t at) {
    return std::min(at, reply.size() + 1);  // a cut inside the framed line, CR LF included
  };
  FakeFtpServer server;
  PlayLogin(server);
  std::size_t positions = 0;
  for (const std::string& reply : replies) positions = std::max(positions, reply.size() + 2);
  for (std::size_t at = 1; at < positions; ++at) {
    server.Expect("TYPE I")
        .ReplySplit(replies[0], cut(replies[0], at))
        .ExpectLike("SIZE *file.bin")
        .ReplySplit(replies[1], cut(replies[1], at))
        .Expect("TYPE I")
        .ReplySplit(replies[0], cut(replies[0], at))
        .Expect("PASV")
        .ReplyPasv()
        .ExpectLike("RETR *file.bin")
        .ReplySplit(replies[2], cut(replies[2], at))
        .SendData(bytes)
        .ReplySplit(replies[3], cut(replies[3], at));
  }
  server.Start();
  HostedControl hosted;
  FtpLibrary& c = hosted.control;
  AimAtScriptedServer(c, server, local);
  c.put_ReplaceIndex(1);  // overwrite: the size comes by SIZE every time
  for (std::size_t at = 1; at < positions; ++at) {
    SCOPED_TRACE("cut after byte " + std::to_string(at));
    ASSERT_TRUE(c.Download()) << c.get_ErrorNumber() << " " << c.get_ErrorInfo();
    EXPECT_TRUE(ReadHostFile(local) == bytes);
  }
  EXPECT_TRUE(server.WaitFinished());
}

template <typename Case>
std::string FaultName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTransferTest, ::testing::ValuesIn(kFaults),
                         FaultName<Fault>);

// A cancel while MaxSpeed throttles the download, by Abort from OnTransfer or by "cancel.sta":
// what arrives after it is at most about a second's worth at that speed plus what the system
// already held, never the rest of the file (which is four seconds' worth and more).
struct Cancel {
  const char* name;
  std::int32_t max_speed;  // KB/s
  bool by_status_file;
};

constexpr double kHeldBytes = 256 << 10;  // what the system may hold of the data connection

using CancelTest = ScriptedDownloadTest<Cancel>;

TEST_P(CancelTest, StopsTheDownloadWithinAboutASecondOfData) {
  const Cancel& cancel = GetParam();
  const double second = cancel.max_speed * 1024.0;
  const std::size_t size = static_cast<std::size_t>(4 * (second + kHeldBytes));
  FakeFtpServer server;
  PlayLogin(server);
  PlayRetrieveStart(PlaySizeQuery(server, size)).SendData(RandomBytes(size));
  server.Start();
  Aim(server);
  FtpLibrary& c = hosted_.control;
  c.put_MaxSpeed(cancel.max_speed);
  c.put_TranstatePath(DrivePath(local_));
  double at_cancel = -1;
  hosted_.on_transfer = [&] {
    if (at_cancel >= 0 || c.get_TransferredSize() <= 0) return;
    at_cancel = c.get_TransferredSize();
    if (cancel.by_status_file) {
      WriteHostFile(local_ / "cancel.sta", "");
    } else {
      c.Abort();
    }
  };

  EXPECT_FALSE(c.Download());
  EXPECT_EQ(c.get_ErrorNumber(), 16010) << c.get_ErrorInfo();
  ASSERT_GE(at_cancel, 0);
  EXPECT_LE(static_cast<double>(LocalSize()) - at_cancel, second + kHeldBytes)
      << "of " << size << " bytes, " << at_cancel << " before the cancel";
  EXPECT_TRUE(server.WaitFinished());
}

const Cancel kCancels[] = {
    {"AbortAt200KBs", 200, false},
    {"StatusFileAt200KBs", 200, true},
    {"AbortAt8000KBs", 8000, false},
    {"StatusFileAt8000KBs", 8000, true},
};

INSTANTIATE_TEST_SUITE_P(Faults, CancelTest, ::testing::ValuesIn(kCancels), FaultName<Cancel>);

// A server that sends more than it announced (or forever). In binary mode the announced size, an
// explicit 0 included, bounds the download: the first byte too many ends it as a size mismatch,
// with the file kept up to that size. In ASCII mode the size does not count, and MaxSize bounds it.
struct Oversize {
  const char* name;
  std::size_t announced;
  bool ascii;
  long error;
  std::size_t kept;
};

constexpr std::size_t kEndlessSize = 32 << 20;
constexpr std::int32_t kMaxSizeMiB = 1;

using OversizeTest = ScriptedDownloadTest<Oversize>;

TEST_P(OversizeTest, MoreThanTheBoundEndsTheDownloadAtOnce) {
  const Oversize& oversize = GetParam();
  FakeFtpServer server;
  PlayLogin(server);
  PlaySizeQuery(server, oversize.announced)
      .Expect(oversize.ascii ? "TYPE A" : "TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .ExpectLike("RETR *file.bin")
      .Reply("150 Opening")
      .SendData(RandomBytes(kEndlessSize));
  server.Start();
  Aim(server);
  FtpLibrary& c = hosted_.control;
  c.put_TransferMode(oversize.ascii ? 0 : 1);
  c.put_MaxSize(kMaxSizeMiB);

  EXPECT_FALSE(c.Download());
  EXPECT_EQ(c.get_ErrorNumber(), oversize.error) << c.get_ErrorInfo();
  EXPECT_EQ(LocalSize(), oversize.kept);
  EXPECT_TRUE(server.WaitFinished());
}

const Oversize kOversizes[] = {
    {"AnnouncedZero", 0, false, 10061, 0},  // a size mismatch (20061) reads as 10061
    {"AnnouncedThousand", 1000, false, 10061, 1000},
    {"AsciiModeBoundByMaxSize", 1000, true, 20003, std::size_t{kMaxSizeMiB} << 20},
};

INSTANTIATE_TEST_SUITE_P(Faults, OversizeTest, ::testing::ValuesIn(kOversizes),
                         FaultName<Oversize>);

// An existing file that is to be overwritten keeps its old contents until a byte of the new one
// arrives or the final reply confirms that the new one is empty, whichever order the server
// closes the data connection and answers RETR in.
struct OverwriteEnd {
  const char* name;
  std::size_t remote_size;  // the SIZE answer
  // Plays what follows the 150 to RETR.
  std::function<void(FakeFtpServer&, const std::string& bytes)> play;
  long error;           // 0: the download succeeds
  std::size_t written;  // bytes of the new file in the local file; kOld: the old file stays
};

constexpr std::size_t kOld = static_cast<std::size_t>(-1);

class OverwriteEndTest : public ::testing::TestWithParam<OverwriteEnd> {};

TEST_P(OverwriteEndTest, TheOldFileIsCutOnlyForNewBytesOrAConfirmedEmptyFile) {
  const OverwriteEnd& row = GetParam();
  const fs::path local = FreshLocalFolder("overwrite-local") / "file.bin";
  WriteHostFile(local, "old contents");
  const std::string bytes = RandomBytes(kFileSize);
  FakeFtpServer server;
  PlayRetrieveStart(PlaySizeQuery(PlayLogin(server), row.remote_size));
  row.play(server, bytes);
  server.Start();
  HostedControl hosted;
  FtpLibrary& c = hosted.control;
  AimAtScriptedServer(c, server, local);
  c.put_ReplaceIndex(1);  // overwrite
  c.put_RedoTimes(0);     // one attempt

  EXPECT_EQ(c.Download(), row.error == 0) << c.get_ErrorInfo();
  EXPECT_EQ(c.get_ErrorNumber(), row.error) << c.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  const std::string kept = ReadHostFile(local);
  if (row.written == kOld) {
    EXPECT_EQ(kept, "old contents");
  } else {
    EXPECT_TRUE(kept == bytes.substr(0, row.written)) << kept.size() << " bytes";
  }
}

const OverwriteEnd kOverwriteEnds[] = {
    {"ClosedEmptyThenRefused", kFileSize,
     [](FakeFtpServer& s, const std::string&) {
       s.OpenData().CloseData().Reply("550 Failed to open file");
     },
     16550, kOld},
    {"RefusedThenClosedEmpty", kFileSize,
     [](FakeFtpServer& s, const std::string&) {
       s.OpenData().Reply("550 Failed to open file").CloseData();
     },
     16550, kOld},
    {"ClosedEmptyThenCompleteForAFileThatIsNotEmpty", kFileSize,
     [](FakeFtpServer& s, const std::string&) {
       s.OpenData().CloseData().Reply("226 Transfer complete");
     },
     10061, kOld},  // a size mismatch (20061) reads as 10061
    {"ClosedEmptyThenCompleteForAnEmptyFile", 0,
     [](FakeFtpServer& s, const std::string&) {
       s.OpenData().CloseData().Reply("226 Transfer complete");
     },
     0, 0},
    {"PartThenRefused", kFileSize,
     [](FakeFtpServer& s, const std::string& bytes) {
       s.SendDataPart(bytes.substr(0, kPartSize)).CloseData().Reply("451 Read error");
     },
     16451, kPartSize},
};

INSTANTIATE_TEST_SUITE_P(Faults, OverwriteEndTest, ::testing::ValuesIn(kOverwriteEnds),
                         [](const auto& info) { return std::string(info.param.name); });

// Uploads are large enough that the fault meets the client still sending; the server keeps what
// it read before the fault, and the next call resumes from there.
constexpr std::size_t kUploadSize = 16 << 20;
constexpr std::size_t kUploadKept = 1 << 20;

FakeFtpServer& PlayStore(FakeFtpServer& server) {
  return server.Expect("TYPE I")
      .Reply("200 Type set")
      .ExpectLike("SIZE *file.bin")
      .Reply("550 No such file")
      .Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .ExpectLike("STOR *file.bin")
      .Reply("150 Ready")
      .ReceiveDataPart(kUploadKept);
}

using UploadFaultTest = FaultTransferTest;

TEST_P(UploadFaultTest, UploadEndsWithAClearErrorAndTheNextCallResumes) {
  const Fault& fault = GetParam();
  const std::string bytes = RandomBytes(kUploadSize);
  WriteHostFile(local_ / "file.bin", bytes);
  FakeFtpServer server;
  PlayLogin(server);
  fault.play(server, bytes);
  PlayNewSession(server, fault)
      .Expect("TYPE I")
      .Reply("200 Type set")
      .ExpectLike("SIZE *file.bin")
      .Reply("213 " + std::to_string(kUploadKept))
      .Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("REST " + std::to_string(kUploadKept))
      .Reply("350 Restarting")
      .ExpectLike("STOR *file.bin")
      .Reply("150 Ready")
      .ReceiveData()
      .Reply("226 Transfer complete");
  server.Start();
  Aim(server);

  FtpLibrary& c = hosted_.control;
  EXPECT_FALSE(c.Upload());
  EXPECT_EQ(c.get_ErrorNumber(), fault.error) << c.get_ErrorInfo();
  ExpectShowable(c.get_ErrorInfo());

  ASSERT_TRUE(c.Upload()) << c.get_ErrorNumber() << " " << c.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  const auto uploads = server.Uploads();
  ASSERT_EQ(uploads.size(), 2u);
  EXPECT_TRUE(uploads[0] + uploads[1] == bytes);
}

const Fault kUploadFaults[] = {
    {"ControlReset", [](FakeFtpServer& s, const std::string&) { PlayStore(s).Reset(); }, 16011, 0,
     true},
    {"ControlClosed", [](FakeFtpServer& s, const std::string&) { PlayStore(s).Drop(); }, 16011, 0,
     true},
    {"DataReset", [](FakeFtpServer& s, const std::string&) { PlayStore(s).ResetData(); }, 10054, 0,
     true},
};

INSTANTIATE_TEST_SUITE_P(Faults, UploadFaultTest, ::testing::ValuesIn(kUploadFaults),
                         FaultName<Fault>);

// A hostile listing names entries with a path or a control character. The folder walk skips
// them (they are logged) and transfers the rest of the folder: nothing is fetched from, or
// written to, where the names lead.
struct HostileName {
  const char* name;
  const char* listed;
};

class HostileNameTest : public ::testing::TestWithParam<HostileName> {};

TEST_P(HostileNameTest, FolderDownloadSkipsTheEntryAndFetchesTheRest) {
  const std::string listed = GetParam().listed;
  const fs::path local = FreshLocalFolder("hostile-local");
  FakeFtpServer server;
  PlayLogin(server)
      .ExpectLike("CWD *dir*")
      .Reply("250 Directory changed")
      .Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST")
      .Reply("150 Here comes the listing")
      .SendData("-rw-r--r--    1 u  u  2 Jan 05 12:30 " + listed + "\r\n" +
                "-rw-r--r--    1 u  u  2 Jan 05 12:30 " + listed + "y\r\n" +
                "-rw-r--r--    1 u  u  2 Jan 05 12:30 file.bin\r\n")
      .Reply("226 Listing sent")
      .ExpectLike("CWD *")
      .Reply("250 Directory changed");
  PlayRetrieveStart(server).SendData("ok").Reply("226 Transfer complete");
  server.Start();
  HostedControl hosted;
  FtpLibrary& c = hosted.control;
  AimAtScriptedServer(c, server, local / "");
  c.put_RemotePath("/dir/");

  ASSERT_TRUE(c.Download()) << c.get_ErrorNumber() << " " << c.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  std::vector<std::string> written;
  for (const auto& entry : fs::recursive_directory_iterator(local)) {
    written.push_back(fs::relative(entry.path(), local).string());
  }
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::string>{"dir", "dir/file.bin"}));
}

const HostileName kHostileNames[] = {
    {"ParentFolders", "../../etc/x"},
    {"AbsolutePath", "/etc/x"},
    {"Backslashes", "..\\..\\x"},
    {"ControlCharacterBeforeTheSeparator", "a\x1b[2J/x"},
};

INSTANTIATE_TEST_SUITE_P(Listings, HostileNameTest, ::testing::ValuesIn(kHostileNames),
                         [](const ::testing::TestParamInfo<HostileName>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace tarvik::test
