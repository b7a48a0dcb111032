// The text rules of the control's dialogs and shell commands: the open dialog's filter, how the
// arguments of Execute and Explore are split, and the folder browser's result.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The open dialog's file pattern from SFDFilter, or AllowType when that is empty: "|" and ","
// separate types like ";"; bare types become patterns ("exe,txt" gives "*.exe;*.txt"), a text
// with "*" is taken as patterns; "*.*." becomes "*.", "**" "*" and ".." "." until none is left.
// Blanks around an entry and empty entries (AllowType's stored form ";txt; doc;") are dropped.
// "" when there are no types.
std::string OpenDialogPattern(std::string_view sfd_filter, std::string_view allow_type);

struct ShellCommand {
  std::string program;     // Execute: the program; Explore: the Explorer options
  std::string parameters;  // Execute: its parameters; Explore: the path
};

// Execute's text: program and parameters split at the first "*", else right after the first
// ".exe" (any case); else the whole text is the program. Both trimmed.
ShellCommand SplitExecuteText(std::string_view text);

// Explore's text: options and path split at the first "*", else, when ":\" follows a drive letter
// after at least two characters, the path starts at that letter and the options are the text
// before the character preceding it; else the whole text is the path. Both trimmed, and options
// that do not end in "," get one.
ShellCommand SplitExploreText(std::string_view text);

// The folder browser's answer as the control returns it: with a trailing "\", doubled "\"
// reduced to one (a network path keeps its leading "\\").
std::string FolderResult(std::string_view folder);

}  // namespace tarvik
