// The size of the blocks an upload reads and sends, adapted to how fast they go: it doubles while
// ten blocks take less than a second and halves (not below 2,000) when ten take more than four,
// and stays a multiple of the segment size (1,460) unless the maximum cuts it. At most one block
// is in memory at a time.
#pragma once

#include <cstdint>

namespace tarvik {

inline constexpr std::int32_t kUploadSegmentSize = 1460;
inline constexpr std::int32_t kFirstUploadBlockSize = 10'240;

struct UploadBlockState {
  std::int32_t size = kFirstUploadBlockSize;  // bytes of the next block
  std::int32_t measured = 0;                  // blocks timed since the last adjustment (0..10)
  std::int64_t measured_ms = 0;               // their summed durations
};

// Takes the duration of the block just sent (when any bytes have been sent) and returns the size
// of the next one, at most `maximum`.
std::int32_t NextUploadBlockSize(UploadBlockState& state, bool bytes_sent, std::int64_t block_ms,
                                 std::int32_t maximum);

}  // namespace tarvik
