// The rule applied when the host writes ServerName: a host may paste an address as
// "ftp://host:21/", and the control keeps the bare host name. A port other than 21 stays in the
// value (after a colon) and makes Connect refuse the name, because the port has its own property.
//   "ftp://ftp.example.org:21/"  -> "ftp.example.org"
//   "ftp.example.org:2121"       -> "ftp.example.org:2121"   (refused by Connect, 21000)
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// Removes "ftp:", "http:" and "https:" (any case), every "/" and "\", then a trailing ":21".
std::string NormaliseServerName(std::string_view value);

}  // namespace tarvik
