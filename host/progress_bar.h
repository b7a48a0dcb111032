// The progress line the host draws on a terminal while a transfer runs.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik::host {

struct TransferProgress {
  std::int32_t percent = 0;  // of the current file, 0..100
  double transferred = 0;    // bytes of the current file so far
  double total = 0;          // bytes of the current file; 0 when unknown
  std::int32_t speed = 0;    // bytes per second
};

// "[==========>         ]  52%  1.2 MiB / 2.3 MiB  840.0 KiB/s", `width` characters of bar.
std::string ProgressLine(const TransferProgress& progress, int width = 30);

// A byte count with a binary unit: "512 B", "1.5 KiB", "2.3 MiB", "1.0 GiB".
std::string ByteText(double bytes);

}  // namespace tarvik::host
