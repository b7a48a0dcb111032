// One step of a tarvik command line: a property assignment, a property read or a method call,
// each by the member's published name.
//
//   ServerName=127.0.0.1          assignment: everything after the first "=" is the value
//   Connected                     read (or a call without arguments, whichever the member is)
//   GetFileList(/pub/)            call; arguments are separated by ","
//   RenameFile("a,b.txt", c.txt)  an argument in double quotes may hold "," and ")"; inside
//                                 quotes a backslash before " or another backslash escapes it
//   GetFtpDirectoryInfo()         no arguments: optional parameters take their defaults
//   ShowBrowseFolderDialog(,C:\)  an empty argument is omitted (its default applies)
// Arguments and values are texts; the control converts them to the parameter types.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::host {

struct CallStep {
  enum class Kind { kAssign, kRead, kCall };
  Kind kind = Kind::kRead;
  std::string name;  // the member's published name
  // kAssign: the one value; kCall: the arguments, nullopt for an omitted one.
  std::vector<std::optional<std::string>> arguments;
};

// The step `text` means; nullopt with `error` set when it is malformed.
std::optional<CallStep> ParseCallStep(std::string_view text, std::string* error);

}  // namespace tarvik::host
