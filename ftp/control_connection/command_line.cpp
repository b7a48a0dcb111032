#include "ftp/control_connection/command_line.h"

#include <algorithm>
#include <array>
#include <utility>

#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

bool StartsWithSlash(std::string_view text) {
  return !text.empty() && (text.front() == '/' || text.front() == '\\');
}

// Path marks of the argument (see PrepareCommand).
std::string ApplyPathMarks(std::string_view verb, std::string_view argument) {
  if (argument.starts_with(':')) {
    argument.remove_prefix(1);
    return StartsWithSlash(argument) ? std::string(argument) : "/" + std::string(argument);
  }
  // Containment in this list (not equality) is the rule: "CW" or "" count as listed too.
  constexpr std::string_view kVerbsWithVerbatimArgument = "PASS,CWD,RNFR,RNTO";
  if (kVerbsWithVerbatimArgument.find(verb) == std::string_view::npos &&
      StartsWithSlash(argument)) {
    argument.remove_prefix(1);
  }
  return std::string(argument);
}

}  // namespace

std::string CommandVerb(std::string_view verb_or_line) {
  return platform::ToUpperAscii(verb_or_line.substr(0, verb_or_line.find(' ')));
}

PreparedCommand PrepareCommand(std::string_view verb, std::string_view argument,
                               const CommandRules& rules) {
  PreparedCommand command;
  command.verb = CommandVerb(verb);
  // A whole command line given as the verb keeps the case of everything after its verb.
  const std::string_view rest_of_line = verb.substr(std::min(verb.find(' '), verb.size()));
  if (argument == kKeepAliveArgument || argument == kCommandTestArgument) {
    command.sets_last_command = false;
    argument = {};
  }
  command.argument = ApplyPathMarks(command.verb, argument);

  const bool credential = command.verb == "USER" || command.verb == "PASS";
  if (credential && rules.decode_credential) {
    command.argument = rules.decode_credential(command.argument);
    if (command.verb == "USER" && command.argument.empty()) command.argument = "anonymous";
  }

  std::string words = command.verb + std::string(rest_of_line);
  if (command.verb == "LIST" && rest_of_line.empty()) {
    if (rules.list_command == "MLSD") {
      words = "MLSD";
    } else if (rules.list_all) {
      words = "LIST -al";
    }
  }
  // RFC 959: <verb> [<SP> <argument>] <CRLF>; a command without argument is the bare verb.
  command.line = words + (command.argument.empty() ? "" : " " + command.argument) + "\r\n";

  const std::string shown = command.verb == "PASS" ? std::string("********") : command.argument;
  command.message = command.verb + std::string(rest_of_line) + " " + shown;
  return command;
}

FtpStates StateForCommand(std::string_view verb, Operation operation) {
  static constexpr std::array<std::pair<std::string_view, FtpStates>, 12> kStateByVerb = {{
      {"USER", FtpStates::ftpAuthentication},
      {"PASS", FtpStates::ftpAuthentication},
      {"CWD", FtpStates::ftpChangingCurrentDirectory},
      {"LIST", FtpStates::ftpRetrievingDirectoryInfo},
      {"PWD", FtpStates::ftpRetrievingDirectoryInfo},
      {"MKD", FtpStates::ftpCreatingDirectory},
      {"DELE", FtpStates::ftpDeletingFile},
      {"RETR", FtpStates::ftpDownloadInProgress},
      {"RMD", FtpStates::ftpRemovingDirectory},
      {"RNFR", FtpStates::ftpRenamingFile},
      {"STOR", FtpStates::ftpUploadInProgress},
      {"QUIT", FtpStates::ftpQuiting},
  }};
  for (const auto& [name, state] : kStateByVerb) {
    if (verb == name) return state;
  }
  if (verb == "TYPE" || verb == "PASV" || verb == "PORT" || verb == "REST") {
    switch (operation) {
      case Operation::kDownload:
        return FtpStates::ftpDownloadInProgress;
      case Operation::kUpload:
        return FtpStates::ftpUploadInProgress;
      case Operation::kListing:
        return FtpStates::ftpRetrievingDirectoryInfo;
      case Operation::kFileSize:
        return FtpStates::ftpGetFileSize;
      default:
        break;
    }
  }
  return FtpStates::ftpFreeState;
}

}  // namespace tarvik
