// The server certificate of a Schannel session checked against the system's certificate store:
// its chain must end in a trusted root and be fit for server authentication, and its names must
// cover the host the caller asked for.
#pragma once

#include <string>

#include "platform/win32/windows_api.h"

#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

namespace tarvik::platform::tls {

// "" when the certificate `context` presented is good for `host` (a name or a dotted address),
// else the reason, worded as the posix build words it: "certificate verify failed (hostname
// mismatch)".
std::string CheckServerCertificate(::CtxtHandle& context, const std::string& host);

// Whether `host` is a dotted IPv4 or an IPv6 address rather than a name.
bool IsAddress(const std::string& host);

}  // namespace tarvik::platform::tls
