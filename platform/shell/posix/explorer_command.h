// The command lines the Linux stand-in of the shell reads: a program's arguments, and the folder
// an Explorer command line shows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvik::platform {

// The words of a command line: blanks separate, double quotes group (and are dropped), \" inside
// quotes is a quote.
std::vector<std::string> SplitCommandLine(std::string_view text);

// The Windows path of the folder an Explorer command line shows: its options are the words before
// the path, each ended by ","; "/select," shows the folder that holds the path, and so does a path
// naming an existing file. Empty when the command line names no path.
std::string ExplorerFolder(std::string_view parameters);

}  // namespace tarvik::platform
