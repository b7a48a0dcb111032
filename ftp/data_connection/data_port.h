// The pieces of opening a data connection that are plain rules: the transfer type letter, the
// port offered in active mode, and the port announced by a passive-mode reply.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

// "A" for FTP_ASCII_MODE (0), "I" for any other value (RFC 959, 3.1.1: TYPE A or TYPE I).
std::string TransferTypeCode(std::int32_t transfer_mode);

// The next local port for active mode. The first (previous == 0) is drawn from 20000..40001
// with `random_fraction` in [0, 1); each later one is one higher. Past 65535 it starts again at
// 20000, so the port always stays valid.
std::int32_t NextDataPort(std::int32_t previous, double random_fraction);

// The port of a 227 reply (RFC 959, 4.2: "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)"):
// p1 * 256 + p2. The address fields are not used (the data connection goes to the control
// connection's host), but all six fields must be numbers 0..255. nullopt for anything else, and
// for port 0.
//   "227 Entering Passive Mode (10,0,0,7,195,80)."  -> 50000
std::optional<std::int32_t> PasvReplyPort(std::string_view reply_text);

// The argument of PORT for a local IPv4 address and port:
//   "192.168.1.5", 20481  ->  "192,168,1,5,80,1"
std::string PortArgument(std::string_view local_ip, std::int32_t port);

}  // namespace tarvik
