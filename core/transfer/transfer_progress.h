// The figures of a running transfer that the host reads inside OnTransfer: percentages, speed,
// times left and elapsed, and the pacing of OnTransfer itself and of the MaxSpeed limit.
//
// Byte counts are 64-bit integers inside the engine; the figures are the host's Double and Long
// properties.
#pragma once

#include <cstdint>

#include "core/session/session_state.h"

namespace tarvik {

class OperationCore;

// done / total * 100, rounded half to even, at most 99 (100 is given only at completion).
std::int16_t RunningPercent(double done, double total);

// The speed of the current file from its start tick: Speed (at least 1), the time left, and one
// more sample for SpeedAvg. Nothing while less than 1 ms has passed.
void SpeedStep(TransferStatistics& statistics, std::int64_t bytes_done, std::int64_t resume_offset,
               std::int64_t expected_size, std::int64_t now_ms);

// The speed of a file that has just completed, as one more sample: its bytes over the time from
// its start tick, counted as at least 1 ms, so that a small file sent within a millisecond still
// counts. Nothing when no byte of it moved.
void FinalSpeedStep(TransferStatistics& statistics, std::int64_t bytes_done,
                    std::int64_t resume_offset, std::int64_t now_ms);

// Counts `count` more bytes into the batch totals (with ShowTotalProgress).
void AddToTotal(TransferStatistics& statistics, std::int64_t count);

// Property reads.
std::int32_t SpeedAvgOf(const TransferStatistics& statistics);
std::int32_t LeftTimeOf(const TransferStatistics& statistics);
std::int32_t ElapsedTimeOf(const TransferStatistics& statistics);
std::int32_t TotalElapsedTimeOf(const TransferStatistics& statistics);

// Time stamps of the file's data phase and of the batch.
void MarkFileStart(TransferStatistics& statistics);
void MarkFileEnd(TransferStatistics& statistics);
void MarkBatchStart(TransferStatistics& statistics);
void MarkBatchEnd(TransferStatistics& statistics);

// OnTransfer during data flow: raised when more than 200 ms have passed since the last one, so a
// slow handler of the host does not slow the transfer.
void RaiseTransferSpaced(OperationCore& session, std::int64_t now_ms);

// The MaxSpeed limit, after each arrival or send completion: above the limit the thread sleeps
// 20 ms; well above it (by more than a fifth) 500 ms more. Within a fifth above, Speed reads as
// the limit.
void ThrottleSpeed(OperationCore& session);

}  // namespace tarvik
