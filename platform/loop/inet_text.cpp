// Dotted IPv4 text, the same on every system.
#include <charconv>
#include <cstring>

#include "platform/loop/winsock.h"

namespace tarvik::platform::winsock {
namespace {

// The address with the bytes `host_order` names, in memory order (network byte order).
std::uint32_t InNetworkOrder(std::uint32_t host_order) {
  const unsigned char bytes[4] = {
      static_cast<unsigned char>(host_order >> 24), static_cast<unsigned char>(host_order >> 16),
      static_cast<unsigned char>(host_order >> 8), static_cast<unsigned char>(host_order)};
  std::uint32_t address = 0;
  std::memcpy(&address, bytes, sizeof address);
  return address;
}

}  // namespace

std::optional<std::uint32_t> InetAddr(std::string_view dotted) {
  std::uint32_t host_order = 0;
  const char* at = dotted.data();
  const char* end = dotted.data() + dotted.size();
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (at == end || *at != '.') return std::nullopt;
      ++at;
    }
    unsigned value = 0;
    const auto [next, error] = std::from_chars(at, end, value);
    // Up to three digits each, so that "0001.2.3.4" or a sign is not taken for an address.
    if (error != std::errc() || next - at > 3 || value > 255) return std::nullopt;
    host_order = (host_order << 8) | value;
    at = next;
  }
  if (at != end) return std::nullopt;
  return InNetworkOrder(host_order);
}

std::string InetNtoa(std::uint32_t address) {
  unsigned char bytes[4];
  std::memcpy(bytes, &address, sizeof bytes);
  std::string text;
  for (const unsigned char byte : bytes) {
    if (!text.empty()) text.push_back('.');
    text += std::to_string(byte);
  }
  return text;
}

}  // namespace tarvik::platform::winsock
