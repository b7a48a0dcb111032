#include "core/transfer/size_format.h"

#include <cmath>
#include <cstdio>

#include "core/errors/error_code.h"
#include "core/errors/message_texts.h"
#include "platform/text/digit_grouping.h"
#include "platform/text/number_text.h"

namespace tarvik {
namespace {

struct SizeUnit {
  double bytes;
  int decimals;  // how many the unit's pattern writes at most
  const char* name;
};

// Largest first. A gigabyte counts 1000 megabytes here, as these texts always have.
constexpr SizeUnit kUnits[] = {
    {1048576000.0, 2, "GB"},
    {1048576.0, 1, "MB"},
    {1024.0, 0, "KB"},
};

// A whole number written in digits, at least `width` of them (leading zeros fill).
std::string WholeText(double value, int width = 1) {
  char text[400];  // the largest double has 309 digits
  std::snprintf(text, sizeof text, "%0*.0f", width, value);
  return text;
}

// `value` rounded half away from zero to 2 decimals, that rounded again (half away from zero) to
// `decimals` (0..2), and written with no trailing zeros and no point when no decimal is left
// ("2", not "2."). A value too large for a double to hold its hundredths is written whole.
std::string WithDecimals(double value, int decimals) {
  constexpr double kLargestExactWhole = 9007199254740992.0;  // 2^53
  if (value * 100.0 >= kLargestExactWhole) return WholeText(std::round(value));
  const double hundredths = std::round(value * 100.0);
  const double scale = std::pow(10.0, decimals);
  const double scaled = std::round(hundredths / std::pow(10.0, 2 - decimals));
  const double fraction = std::fmod(scaled, scale);
  const std::string whole = WholeText((scaled - fraction) / scale);
  if (decimals == 0) return whole;
  std::string digits = WholeText(fraction, decimals);
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return digits.empty() ? whole : whole + "." + digits;
}

}  // namespace

std::string FormatSize(double size) {
  if (std::isfinite(size)) {
    for (const SizeUnit& unit : kUnits) {
      if (size < unit.bytes) continue;
      return WithDecimals(size / unit.bytes, unit.decimals) + " " + unit.name;
    }
  }
  return platform::DoubleToText(size) + " Bytes";
}

std::string ValueToTime(double seconds) {
  if (!(seconds > 0)) return "00:00:00";
  const double whole = std::nearbyint(seconds);
  if (!std::isfinite(whole)) return "00:00:00";
  const double hours = std::floor(whole / 3600.0);
  const double rest = std::fmod(whole, 3600.0);
  return WholeText(hours, 2) + ":" + WholeText(std::floor(rest / 60.0), 2) + ":" +
         WholeText(std::fmod(rest, 60.0), 2);
}

std::string FormatTime(std::int32_t seconds) {
  std::string text = ValueToTime(seconds);
  if (text.starts_with("00")) text.erase(0, 3);
  return text;
}

std::string FormatNumber(double size) {
  if (!std::isfinite(size)) return "";
  const double whole = std::round(size);
  if (whole == 0) return "";
  const std::string digits = platform::GroupDigits(WholeText(std::fabs(whole)));
  return whole < 0 ? "-" + digits : digits;
}

std::string TooLargeText(double max_size) {
  std::string megabytes = std::to_string(std::round(max_size / 1024 / 1024 * 10) / 10);
  megabytes = megabytes.substr(0, megabytes.find('.') + 2);
  std::string text = ErrorTextWith(ErrorCode::kFileTooLarge, megabytes + "M");
  for (std::size_t at; (at = text.find(".0")) != std::string::npos;) text.erase(at, 2);
  return text;
}

}  // namespace tarvik
