// Faults a real server or the local disk brings into a transfer: the server restarted between two
// calls, the process's file size limit reached part way, the local file deleted or made read-only
// while it is written. Each ends with a clear error (or, where nothing was lost, a whole file),
// keeps what was written, and the same control goes on with the next call.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "tests/ftp/transfer/loopback/real_transfer_fixture.h"

namespace tarvik::test {
namespace {

using RealFaultTest = RealTransferFixture;

TEST_P(RealFaultTest, ServerRestartedBetweenTwoCalls) {
  Server().FreshDir("r");
  const std::string bytes = RandomBytes(1 << 20, 3);
  Server().PutFile("r/a.bin", bytes);
  ASSERT_TRUE(Download("/r/a.bin", local_ / "a.bin")) << Failure();
  RealServers::Restart(GetParam());
  ASSERT_TRUE(Download("/r/a.bin", local_ / "b.bin")) << Failure();
  EXPECT_TRUE(ReadHostFile(local_ / "b.bin") == bytes);
  ASSERT_TRUE(Upload(local_ / "b.bin", "/r/up.bin")) << Failure();
  EXPECT_TRUE(Server().GetFile("r/up.bin") == bytes);
}

INSTANTIATE_TEST_SUITE_P(Servers, RealFaultTest, AllRealServers(), RealServerParamName);

// The local faults depend on the local disk only: one server serves them.
class LocalFaultTest : public RealTransferFixture {
 protected:
  static constexpr std::size_t kSize = 3 << 20;

  void SetUp() override {
    RealTransferFixture::SetUp();
    Server().FreshDir("l");
    bytes_ = RandomBytes(kSize, 5);
    Server().PutFile("l/f.bin", bytes_);
    control().put_RedoTimes(0);     // one attempt per call
    control().put_ReplaceIndex(2);  // resume into what an earlier call kept
  }
  // Runs `fault` once, at the first progress event of the download, with part of the file written.
  void AtFirstProgress(std::function<void()> fault) {
    hosted_.on_transfer = [this, fault = std::move(fault)]() mutable {
      const double done = control().get_TransferredSize();
      if (fault && done > 0 && done < static_cast<double>(kSize)) std::exchange(fault, nullptr)();
    };
  }
  fs::path Target() const { return local_ / "f.bin"; }

  std::string bytes_;
};

// Holds the process's file size limit at `bytes` while it lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    ignored_ = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead of killing
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, ignored_);
  }

 private:
  rlimit saved_{};
  void (*ignored_)(int) = nullptr;
};

TEST_P(LocalFaultTest, FileSizeLimitEndsTheDownloadAndKeepsWhatWasWritten) {
  constexpr std::size_t kLimit = 1 << 20;
  {
    FileSizeLimit limit(kLimit);
    EXPECT_FALSE(Download("/l/f.bin", Target()));
  }
  EXPECT_NE(control().get_ErrorNumber(), 0);
  ExpectShowable(control().get_ErrorInfo());
  EXPECT_NE(control().get_ErrorInfo().find("Failed to write file"), std::string::npos)
      << control().get_ErrorInfo();
  ASSERT_EQ(fs::file_size(Target()), kLimit);
  EXPECT_TRUE(ReadHostFile(Target()) == bytes_.substr(0, kLimit));

  ASSERT_TRUE(Download("/l/f.bin", Target())) << Failure();
  EXPECT_TRUE(ReadHostFile(Target()) == bytes_);
}

TEST_P(LocalFaultTest, FileDeletedDuringTheDownloadFailsAndTheNextCallFetchesItAgain) {
  control().put_MaxSpeed(2000);  // about 1.5 s, so that progress is seen part way
  AtFirstProgress([this] { fs::remove(Target()); });
  EXPECT_FALSE(Download("/l/f.bin", Target()));
  EXPECT_EQ(control().get_ErrorNumber(), 2);
  EXPECT_NE(control().get_ErrorInfo().find("deleted"), std::string::npos)
      << control().get_ErrorInfo();
  ExpectShowable(control().get_ErrorInfo());
  EXPECT_FALSE(fs::exists(Target()));

  hosted_.on_transfer = nullptr;
  control().put_MaxSpeed(0);
  ASSERT_TRUE(Download("/l/f.bin", Target())) << Failure();
  EXPECT_TRUE(ReadHostFile(Target()) == bytes_);
}

// The open file keeps its write access, as on Windows: the download completes, and the file is
// left read-only. Overwriting it later clears the attribute first.
TEST_P(LocalFaultTest, FileMadeReadOnlyDuringTheDownloadIsCompletedAndCanBeReplaced) {
  control().put_MaxSpeed(2000);
  AtFirstProgress([this] { ::chmod(Target().c_str(), 0444); });
  ASSERT_TRUE(Download("/l/f.bin", Target())) << Failure();
  EXPECT_TRUE(ReadHostFile(Target()) == bytes_);
  EXPECT_EQ(fs::status(Target()).permissions() & fs::perms::owner_write, fs::perms::none);

  hosted_.on_transfer = nullptr;
  control().put_MaxSpeed(0);
  control().put_ReplaceIndex(1);  // overwrite
  ASSERT_TRUE(Download("/l/f.bin", Target())) << Failure();
  EXPECT_TRUE(ReadHostFile(Target()) == bytes_);
}

INSTANTIATE_TEST_SUITE_P(Servers, LocalFaultTest, ::testing::Values("vsftpd"), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
