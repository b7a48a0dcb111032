#include "control/property_rules.h"

#include <array>

#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "platform/text/ascii_text.h"

namespace tarvik {

std::int32_t PortRule(std::int32_t value) {
  return (value >= 1 && value <= 65535) ? value : 21;
}

std::int16_t TimeoutRule(std::int16_t value) {
  return (value >= 30 && value <= 6000) ? value : std::int16_t{30};
}

std::int16_t KeepAliveIntervalRule(std::int16_t value) {
  if (value < 0) return 0;
  if (value > 0 && value < 30) return 30;
  if (value > 1800) return 1800;
  return value;
}

std::string KeepAliveCommandRule(std::string_view value) {
  return platform::ToUpperAscii(platform::Trim(value, platform::kSpaces));
}

std::string ListCommandRule(std::string_view value) {
  return platform::Trim(value, platform::kSpaces) == "MLSD" ? "MLSD" : "LIST";
}

std::int16_t RedoTimesRule(std::int16_t value) {
  return value >= 1 ? static_cast<std::int16_t>(value + 1) : std::int16_t{0};
}

std::int32_t SocketBufferRule(std::int32_t value) {
  return value < 32 ? 32 : value;
}

std::optional<std::int16_t> ReplaceCodeFromIndex(std::int16_t index) {
  static constexpr std::array<std::int16_t, 5> kCodes = {0, 3, 6, 8, 4};
  if (index < 0 || index >= static_cast<std::int16_t>(kCodes.size())) return std::nullopt;
  return kCodes[static_cast<std::size_t>(index)];
}

std::string_view InvalidReplaceSettingText() {
  return "Valid Number of 'ReplaceSetting':\n0:Show confirmation dialog\n1:Overwrite\n2:Resume\n"
         "3:Skip\n4:Rename";
}

std::string FileTypeListRule(std::string_view value) {
  std::string list(platform::Trim(value, platform::kSpaces));
  for (std::size_t at = list.find("*."); at != std::string::npos; at = list.find("*.", at)) {
    list.erase(at, 2);
  }
  for (char& c : list) {
    if (c == '*' || c == '.' || c == '|' || c == ',') c = ';';
  }
  if (list.empty()) return list;
  return ";" + platform::ToLowerAscii(list) + ";";
}

EncodingChoice EncodingRule(std::string_view value) {
  const std::string upper = platform::ToUpperAscii(platform::Trim(value, platform::kSpaces));
  if (upper == "UTF-8" || upper == "UTF8") return EncodingChoice::kUtf8;
  if (upper == "AUTO") return EncodingChoice::kAuto;
  return EncodingChoice::kAnsi;
}

}  // namespace tarvik
