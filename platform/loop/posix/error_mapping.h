// The Windows Sockets numbers (platform/loop/winsock_errors.h) of this system's errno values and
// resolver result codes.
#pragma once

#include "platform/loop/winsock_errors.h"

namespace tarvik::platform::winsock {

// The Windows Sockets number for an errno value; 0 stays 0, a value with no counterpart gives
// kWsaSysCallFailure.
int ErrorFromErrno(int errno_value);

// The Windows Sockets number for a getaddrinfo()/getnameinfo() result code (EAI_*); 0 stays 0.
int ErrorFromResolver(int eai_code);

}  // namespace tarvik::platform::winsock
