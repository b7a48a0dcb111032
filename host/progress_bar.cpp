#include "host/progress_bar.h"

#include <algorithm>
#include <cstdio>

namespace tarvik::host {

std::string ByteText(double bytes) {
  // Steps of 1024 bytes, named as such.
  static constexpr const char* kUnits[] = {"B", "KiB", "MiB", "GiB", "TiB"};
  int unit = 0;
  while (bytes >= 1024 && unit < 4) {
    bytes /= 1024;
    ++unit;
  }
  char text[32];
  if (unit == 0) {
    std::snprintf(text, sizeof text, "%.0f B", bytes);
  } else {
    std::snprintf(text, sizeof text, "%.1f %s", bytes, kUnits[unit]);
  }
  return text;
}

std::string ProgressLine(const TransferProgress& progress, int width) {
  const int percent = std::clamp(progress.percent, 0, 100);
  const int filled = percent * width / 100;
  std::string bar = "[";
  bar.append(static_cast<std::size_t>(filled), '=');
  if (filled < width) {
    bar += '>';
    bar.append(static_cast<std::size_t>(width - filled - 1), ' ');
  }
  bar += "]";
  char numbers[16];
  std::snprintf(numbers, sizeof numbers, " %3d%%", percent);
  std::string line = bar + numbers + "  " + ByteText(progress.transferred);
  if (progress.total > 0) line += " / " + ByteText(progress.total);
  if (progress.speed > 0) line += "  " + ByteText(progress.speed) + "/s";
  return line;
}

}  // namespace tarvik::host
