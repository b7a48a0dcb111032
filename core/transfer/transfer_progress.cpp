#include "core/transfer/transfer_progress.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

#include "core/session/operation_core.h"
#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

constexpr std::int64_t kTransferEventSpacingMs = 200;
constexpr double kLeftTimeCap = 2'000'000'000;
constexpr std::uint32_t kThrottleSleepMs = 20;
constexpr std::uint32_t kThrottleLongSleepMs = 500;

std::int32_t WholeSecondsBetween(const TransferStatistics::Time& start,
                                 const TransferStatistics::Time& end) {
  if (!start) return 0;
  const auto until = end ? *end : platform::CurrentClock().Now();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(until - *start).count();
  return static_cast<std::int32_t>(seconds < 0 ? 0 : seconds);
}

// Speed, the time left and one more SpeedAvg sample from the bytes of this file over `elapsed`
// milliseconds (at least 1).
void TakeSpeedSample(TransferStatistics& statistics, std::int64_t bytes_done,
                     std::int64_t resume_offset, std::int64_t expected_size, std::int64_t elapsed) {
  const double speed = std::round(static_cast<double>(bytes_done - resume_offset) /
                                  static_cast<double>(elapsed) * 1000);
  statistics.speed = speed < 1 ? 1
                     : speed > std::numeric_limits<std::int32_t>::max()
                         ? std::numeric_limits<std::int32_t>::max()
                         : static_cast<std::int32_t>(speed);
  const double left =
      std::trunc(static_cast<double>(expected_size - bytes_done) / statistics.speed);
  statistics.left_time_estimate = left > 0 ? left : 1;
  if (statistics.speed_samples == std::numeric_limits<std::int32_t>::max() ||
      !std::isfinite(statistics.speed_sum + statistics.speed)) {
    statistics.speed_sum = 0;
    statistics.speed_samples = 0;
  }
  statistics.speed_sum += statistics.speed;
  ++statistics.speed_samples;
}

}  // namespace

std::int16_t RunningPercent(double done, double total) {
  if (total <= 0) return 0;
  const double percent = std::nearbyint(done / total * 100);  // ties to even
  if (percent >= 99) return 99;
  return static_cast<std::int16_t>(percent < 0 ? 0 : percent);
}

void SpeedStep(TransferStatistics& statistics, std::int64_t bytes_done, std::int64_t resume_offset,
               std::int64_t expected_size, std::int64_t now_ms) {
  if (statistics.start_tick_ms == 0) statistics.start_tick_ms = now_ms;
  const std::int64_t elapsed = now_ms - statistics.start_tick_ms;
  if (elapsed < 1) return;
  TakeSpeedSample(statistics, bytes_done, resume_offset, expected_size, elapsed);
}

void FinalSpeedStep(TransferStatistics& statistics, std::int64_t bytes_done,
                    std::int64_t resume_offset, std::int64_t now_ms) {
  if (statistics.start_tick_ms == 0 || bytes_done <= resume_offset) return;
  const std::int64_t elapsed = std::max<std::int64_t>(now_ms - statistics.start_tick_ms, 1);
  TakeSpeedSample(statistics, bytes_done, resume_offset, bytes_done, elapsed);
}

void AddToTotal(TransferStatistics& statistics, std::int64_t count) {
  statistics.total_transferred_size += static_cast<double>(count);
  if (statistics.total_transferred_size <= statistics.total_file_size) {
    statistics.total_percent =
        RunningPercent(statistics.total_transferred_size, statistics.total_file_size);
  }
}

std::int32_t SpeedAvgOf(const TransferStatistics& statistics) {
  if (statistics.speed_samples <= 0) return 0;
  return static_cast<std::int32_t>(std::round(statistics.speed_sum / statistics.speed_samples));
}

std::int32_t LeftTimeOf(const TransferStatistics& statistics) {
  const double left =
      statistics.left_time_estimate > kLeftTimeCap ? kLeftTimeCap : statistics.left_time_estimate;
  return static_cast<std::int32_t>(std::round(left));
}

std::int32_t ElapsedTimeOf(const TransferStatistics& statistics) {
  return WholeSecondsBetween(statistics.file_start, statistics.file_end);
}

std::int32_t TotalElapsedTimeOf(const TransferStatistics& statistics) {
  const std::int32_t seconds = WholeSecondsBetween(statistics.batch_start, statistics.batch_end);
  return seconds > 1 ? seconds - 1 : seconds;
}

void MarkFileStart(TransferStatistics& statistics) {
  statistics.file_start = platform::CurrentClock().Now();
  statistics.file_end.reset();
}

void MarkFileEnd(TransferStatistics& statistics) {
  statistics.file_end = platform::CurrentClock().Now();
}

void MarkBatchStart(TransferStatistics& statistics) {
  statistics.batch_start = platform::CurrentClock().Now();
  statistics.batch_end.reset();
}

void MarkBatchEnd(TransferStatistics& statistics) {
  statistics.batch_end = platform::CurrentClock().Now();
}

void RaiseTransferSpaced(OperationCore& session, std::int64_t now_ms) {
  TransferStatistics& statistics = session.statistics();
  if (now_ms - statistics.last_transfer_event_ms <= kTransferEventSpacingMs) return;
  statistics.last_transfer_event_ms = now_ms;
  session.RaiseTransfer();
}

void ThrottleSpeed(OperationCore& session) {
  const double limit = session.transfer_settings().max_speed;
  TransferStatistics& statistics = session.statistics();
  if (limit <= 0 || statistics.speed <= limit) return;
  platform::Sleep(kThrottleSleepMs);
  if (limit * 1.2 > statistics.speed) {
    statistics.speed = static_cast<std::int32_t>(limit);
  } else {
    platform::Sleep(kThrottleLongSleepMs);
  }
}

}  // namespace tarvik
