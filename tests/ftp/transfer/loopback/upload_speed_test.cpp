// Speed and SpeedAvg of uploads against what really moved: the bytes over the time the Upload
// call took. The bounds are loose on purpose (a busy machine only makes the call longer and the
// figures smaller together); with MaxSpeed the call cannot be faster than the limit allows.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/ftp/transfer/loopback/real_transfer_fixture.h"

namespace tarvik::test {
namespace {

using UploadSpeedTest = RealTransferFixture;

TEST_P(UploadSpeedTest, FiguresFollowTheBytesThatMoved) {
  struct Row {
    const char* name;
    int files;
    std::size_t size;             // bytes of each file
    std::int32_t max_speed_kb;    // MaxSpeed; 0: no limit
    double most_above_the_truth;  // how far the figures may lie above bytes / call time
  };
  const Row rows[] = {
      // Many small files, each sent in one block: every file counts. A file's own time leaves
      // out the commands between files, so its speed may lie well above the batch's.
      {"a batch of small files", 200, 3000, 0, 50},
      // One file throttled: the figures stay near the limit the throttle keeps.
      {"one file under MaxSpeed", 1, 1 << 20, 512, 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Server().FreshDir("sp");
    const fs::path folder = local_ / "sp";
    fs::remove_all(folder);
    for (int i = 0; i < row.files; ++i) {
      WriteHostFile(folder / ("f" + std::to_string(i)),
                    RandomBytes(row.size, static_cast<std::uint32_t>(i)));
    }
    control().put_MaxSpeed(row.max_speed_kb);
    ASSERT_TRUE(control().Connect()) << Failure();

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Upload(folder / "", "/sp/")) << Failure();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double truth = static_cast<double>(row.files * row.size) / seconds;

    for (const double figure : {static_cast<double>(control().get_Speed()),
                                static_cast<double>(control().get_SpeedAvg())}) {
      EXPECT_GE(figure, truth / 3) << "bytes/s, while " << truth << " moved";
      EXPECT_LE(figure, truth * row.most_above_the_truth) << "bytes/s, while " << truth << " moved";
    }
    if (row.max_speed_kb > 0) {
      EXPECT_LE(truth, row.max_speed_kb * 1024.0 * 2);
    }
  }
}

// One server serves it: the figures are the control's own.
INSTANTIATE_TEST_SUITE_P(Servers, UploadSpeedTest, ::testing::Values("pyftpdlib"),
                         RealServerParamName);

}  // namespace
}  // namespace tarvik::test
