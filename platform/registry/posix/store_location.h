// Where the Linux registry store lives, and closing it (platform/registry/registry.h).
#pragma once

#include <string>

namespace tarvik::platform {

// Closes the store and every open handle. The next call opens the store again, from the path the
// environment names then. For tests and for a process that changes TARVIK_ROOT.
void CloseRegistryStore();
// The path of the database file in use, or that the next call will open.
std::string RegistryStorePath();

}  // namespace tarvik::platform
