// The message for an error number. Numbers of the control's own checks (20001..20062), session
// errors (16001..16012) and HTTP errors (18001..18004, 18404) take a row of the message table, so
// they follow its language; the FTP reply texts (16000 + reply code) are fixed English; every
// other number is taken as a Windows Sockets or system code (GetWinsockErrorDescription).
#pragma once

#include <string>

namespace tarvik {

std::string GetErrorText(long number);

}  // namespace tarvik
