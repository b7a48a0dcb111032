#include "ftp/transfer/upload_block.h"

#include <algorithm>

namespace tarvik {
namespace {

constexpr int kBlocksPerMeasure = 10;
constexpr std::int64_t kFastMs = 1000;
constexpr std::int64_t kSlowMs = 4000;
constexpr std::int64_t kSmallestHalvedBlock = 2000;
constexpr std::int64_t kSmallestRoundedBlock = 5120;

}  // namespace

std::int32_t NextUploadBlockSize(UploadBlockState& state, bool bytes_sent, std::int64_t block_ms,
                                 std::int32_t maximum) {
  const std::int64_t granule = kUploadSegmentSize;
  std::int64_t size = state.size;
  if (bytes_sent) {
    if (state.measured >= kBlocksPerMeasure) {
      if (state.measured_ms < kFastMs) {
        size *= 2;
      } else if (state.measured_ms > kSlowMs) {
        size = std::max(size / 2, kSmallestHalvedBlock);
      }
      state.measured = 0;
      state.measured_ms = 0;
    } else {
      ++state.measured;
      state.measured_ms += block_ms;
    }
  }
  size = std::min<std::int64_t>(size, static_cast<std::int64_t>(maximum) + 2 * granule);
  size = std::max(size, granule);
  if (size > granule) {
    size += granule - size % granule;
    if (size < kSmallestRoundedBlock) size += granule;
  }
  size = std::min<std::int64_t>(size, maximum);
  state.size = static_cast<std::int32_t>(std::max<std::int64_t>(size, 1));
  return state.size;
}

}  // namespace tarvik
