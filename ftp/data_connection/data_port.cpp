#include "ftp/data_connection/data_port.h"

#include <array>
#include <charconv>
#include <cmath>

#include "ftp/control_connection/reply_parser.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

constexpr std::int32_t kFirstDataPort = 20000;
constexpr std::int32_t kDataPortSpan = 20001;
constexpr std::int32_t kHighestPort = 65535;

std::optional<int> ByteField(std::string_view field) {
  field = platform::Trim(field, platform::kSpaces);
  int value = -1;
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (error != std::errc() || end != field.data() + field.size() || value < 0 || value > 255) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string TransferTypeCode(std::int32_t transfer_mode) {
  return transfer_mode == 0 ? "A" : "I";
}

std::int32_t NextDataPort(std::int32_t previous, double random_fraction) {
  if (previous == 0) {
    return static_cast<std::int32_t>(std::lround(random_fraction * kDataPortSpan)) + kFirstDataPort;
  }
  return previous >= kHighestPort ? kFirstDataPort : previous + 1;
}

std::optional<std::int32_t> PasvReplyPort(std::string_view reply_text) {
  const std::size_t open = reply_text.find('(');
  const std::size_t close = reply_text.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return std::nullopt;
  }
  std::string_view list = reply_text.substr(open + 1, close - open - 1);
  std::array<int, 6> fields{};
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t comma = list.find(',');
    const bool last = i + 1 == fields.size();
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    const std::optional<int> value = ByteField(list.substr(0, comma));
    if (!value) return std::nullopt;
    fields[i] = *value;
    if (!last) list.remove_prefix(comma + 1);
  }
  const std::int32_t port = fields[4] * 256 + fields[5];
  if (port == 0) return std::nullopt;
  return port;
}

std::string PortArgument(std::string_view local_ip, std::int32_t port) {
  std::string argument(local_ip);
  for (char& c : argument) {
    if (c == '.') c = ',';
  }
  return argument + "," + std::to_string(port / 256) + "," + std::to_string(port % 256);
}

}  // namespace tarvik
