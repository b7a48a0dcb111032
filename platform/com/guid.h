// Globally unique identifiers: the 128-bit numbers that name classes, interfaces and type
// libraries, written "{2CB8B2CC-DF09-43A6-8C13-0A8A6692FD02}".
//
// Identifiers in static tables are written with MakeGuid("{...}"), which is checked while
// compiling: a malformed literal does not build.
#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::platform::com {

struct Guid {
  std::uint32_t data1 = 0;              // first group, 8 hex digits
  std::uint16_t data2 = 0;              // second group, 4 hex digits
  std::uint16_t data3 = 0;              // third group, 4 hex digits
  std::array<std::uint8_t, 8> data4{};  // fourth group (2 bytes) and last group (6 bytes)

  friend constexpr bool operator==(const Guid&, const Guid&) = default;
  friend constexpr auto operator<=>(const Guid&, const Guid&) = default;

  constexpr bool is_null() const { return *this == Guid{}; }

  // Reads "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": braces required, hex digits of either case,
  // nothing before or after. nullopt for anything else.
  static constexpr std::optional<Guid> Parse(std::string_view text);

  // The registry form: upper-case hex digits in braces.
  std::string ToString() const;
};

namespace guid_detail {

constexpr int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The value of `count` hex digits at text[pos]; -1 when one of them is not a hex digit.
constexpr std::int64_t HexNumber(std::string_view text, std::size_t pos, std::size_t count) {
  std::int64_t value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    int digit = HexValue(text[pos + i]);
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

}  // namespace guid_detail

constexpr std::optional<Guid> Guid::Parse(std::string_view text) {
  // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
  // 0        9    14   19   24           37
  if (text.size() != 38 || text[0] != '{' || text[37] != '}' || text[9] != '-' || text[14] != '-' ||
      text[19] != '-' || text[24] != '-') {
    return std::nullopt;
  }
  using guid_detail::HexNumber;
  const std::int64_t d1 = HexNumber(text, 1, 8);
  const std::int64_t d2 = HexNumber(text, 10, 4);
  const std::int64_t d3 = HexNumber(text, 15, 4);
  if (d1 < 0 || d2 < 0 || d3 < 0) return std::nullopt;
  Guid guid;
  guid.data1 = static_cast<std::uint32_t>(d1);
  guid.data2 = static_cast<std::uint16_t>(d2);
  guid.data3 = static_cast<std::uint16_t>(d3);
  constexpr std::size_t kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (std::size_t i = 0; i < 8; ++i) {
    const std::int64_t byte = HexNumber(text, kBytePositions[i], 2);
    if (byte < 0) return std::nullopt;
    guid.data4[i] = static_cast<std::uint8_t>(byte);
  }
  return guid;
}

// A GUID from a literal, checked at compile time.
consteval Guid MakeGuid(std::string_view text) {
  const std::optional<Guid> guid = Guid::Parse(text);
  if (!guid) throw "malformed GUID literal";  // reached only while compiling: a build error
  return *guid;
}

}  // namespace tarvik::platform::com
