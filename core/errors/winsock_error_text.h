// Texts of the Windows Sockets error codes (10004..11004). Five of them come from the message
// table, so they follow its language: 10013 "Permission denied", 10060 "Connection timeout",
// 10061 "Connection refused", 11001 "Unable to resolve host", and any unlisted code "Unknown
// Error"; the others are fixed English.
#pragma once

#include <string>

namespace tarvik {

// The text for socket error `code`. For a code that gives "Unknown Error", the description of the
// error being handled (CurrentPendingError) is returned instead when it is meaningful (not
// generic, see IsGenericErrorText).
std::string GetWinsockErrorDescription(long code);

}  // namespace tarvik
