#include "platform/text/digit_grouping.h"

#include <mutex>
#include <optional>

#include "platform/text/system_locale.h"

namespace tarvik::platform {
namespace {

constexpr std::string_view kDefaultSeparator = ",";

struct SeparatorState {
  std::mutex mutex;
  std::optional<std::string> separator;  // unset until first read or after a reset
};

SeparatorState& State() {
  static SeparatorState state;
  return state;
}

}  // namespace

std::string DigitGroupSeparator() {
  SeparatorState& state = State();
  std::lock_guard lock(state.mutex);
  if (!state.separator) {
    std::string separator = ThousandsSeparatorOfUserLocale();
    state.separator = separator.empty() ? std::string(kDefaultSeparator) : separator;
  }
  return *state.separator;
}

void SetDigitGroupSeparator(std::string_view separator) {
  SeparatorState& state = State();
  std::lock_guard lock(state.mutex);
  if (separator.empty())
    state.separator.reset();
  else
    state.separator = std::string(separator);
}

std::string GroupDigits(std::string_view digits) {
  const std::string separator = DigitGroupSeparator();
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += separator;
    grouped += digits[i];
  }
  return grouped;
}

}  // namespace tarvik::platform
