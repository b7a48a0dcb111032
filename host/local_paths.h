// Linux paths given to the host become the drive paths the control works with ("C:\dir\file"),
// by the drive table of platform/fs (the same TARVIK_ROOT / TARVIK_DRIVES the library reads).
//
// Which values are turned: the value of LocalPath, and the arguments of the local file methods
// (members whose names begin with "Local" or "GetLocal"). Only pieces that begin with "/" are
// turned; a path list ("a|b") is turned piece by piece; a trailing "/" (a folder item) stays a
// trailing "\". Drive paths and relative texts pass unchanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::host {

// Whether the values given to member `name` are local paths.
bool TakesLocalPaths(std::string_view name);

// `value` with its Linux paths turned into drive paths; nullopt with `error` naming the path when
// no drive holds one of them.
std::optional<std::string> ToDrivePaths(std::string_view value, std::string* error);

}  // namespace tarvik::host
