// Turning a verb and an argument into the line sent on the control connection, the text the host
// is shown for it, and the session state the command announces.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/session/ftp_states.h"

namespace tarvik {

// Arguments that mark an internal command: nothing is sent after the verb, and the verb does not
// become the last command (the reply dispatch keeps following the exchange it was in).
inline constexpr std::string_view kKeepAliveArgument = "KEEP_ALIVE";
inline constexpr std::string_view kCommandTestArgument = "useforftpcommandtest";

struct CommandRules {
  // Decodes scrambled USER and PASS arguments; empty when credentials are plain.
  std::function<std::string(std::string_view)> decode_credential;
  std::string list_command = "LIST";  // "MLSD" turns LIST into MLSD
  bool list_all = false;              // LIST -al
};

struct PreparedCommand {
  std::string verb;      // upper-cased verb (of a whole line given as verb: its first word)
  std::string argument;  // argument after the path marks and decoding
  std::string line;      // what is sent, CR LF included
  bool sets_last_command = true;
  std::string message;  // MessageInfo text: verb, a blank, argument; PASS masked
};

// Applies the command rules:
//  - the verb is upper-cased; of a whole line given as the verb ("MDTM renamed.txt") only the
//    first word, the rest is sent as given;
//  - the keep-alive and command-test arguments are dropped and leave the last command alone;
//  - ":path" forces an absolute path ("/" put in front unless it starts with "/" or "\");
//    otherwise one leading "/" or "\" is removed, except for PASS, CWD, RNFR and RNTO, whose
//    arguments are sent as given;
//  - scrambled USER/PASS arguments are decoded; an empty decoded user name is "anonymous";
//  - LIST becomes "MLSD arg" when the list command is MLSD, else "LIST -al arg" with list_all;
//  - without argument the line is the bare verb, with no blank before its CR LF.
PreparedCommand PrepareCommand(std::string_view verb, std::string_view argument,
                               const CommandRules& rules);

// The session state that sending `verb` announces during `operation` (the free state for verbs
// that announce nothing). TYPE, PASV, PORT and REST take the state of the transfer they serve.
// The upper-cased first word of a verb or of a whole command line ("cwd /a" -> "CWD").
std::string CommandVerb(std::string_view verb_or_line);

FtpStates StateForCommand(std::string_view verb, Operation operation);

}  // namespace tarvik
