// The rules the control applies when the host writes a property: out-of-range values are clamped
// or replaced, never refused.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// 1..65535, anything else 21.
std::int32_t PortRule(std::int32_t value);
// 30..6000 seconds, anything else 30.
std::int16_t TimeoutRule(std::int16_t value);
// Negative: 0 (off); 1..29: 30; above 1800: 1800.
std::int16_t KeepAliveIntervalRule(std::int16_t value);
// Trimmed and upper-cased.
std::string KeepAliveCommandRule(std::string_view value);
// Trimmed; anything but "MLSD" (exactly) is "LIST".
std::string ListCommandRule(std::string_view value);
// n >= 1 is stored as n + 1 attempts, n < 1 as 0.
std::int16_t RedoTimesRule(std::int16_t value);
// At least 32 bytes.
std::int32_t SocketBufferRule(std::int32_t value);

// The replace code of a ReplaceIndex/ReplaceSetting value 0..4 (codes 0, 3, 6, 8, 4); nothing for
// any other value, which the control answers with a message box and code 0.
std::optional<std::int16_t> ReplaceCodeFromIndex(std::int16_t index);
// The text of that message box.
std::string_view InvalidReplaceSettingText();

// AllowType/DenyType: trimmed, "*." removed, each of "*", ".", "|" and "," turned into ";", and
// when not empty lower-cased with ";" added at both ends: "*.TXT, *.Doc" gives ";txt; doc;".
std::string FileTypeListRule(std::string_view value);

// The text encoding chosen by an Encoding value: after trimming and upper-casing, "UTF-8" or
// "UTF8" is UTF-8, "AUTO" asks Connect to detect, anything else is ANSI.
enum class EncodingChoice { kAnsi, kUtf8, kAuto };
EncodingChoice EncodingRule(std::string_view value);

}  // namespace tarvik
