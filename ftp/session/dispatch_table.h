// What each reply means for the running operation: rows of (operation, last command, reply codes,
// action). The reply dispatcher looks the rows of the running operation up:
//   - rows are picked by the last command sent ("" is the greeting, before any command; "*" is
//     any command); when the operation has rows but none for the last command, nothing happens;
//   - among those, the row listing the reply code acts, else the row without codes ("any other");
//   - a code that no row lists fails the operation with 16000 + code and the server's own line.
// An operation without rows ignores its replies. Each group of rows lives beside the operations
// it serves; adding an operation means adding a group to DispatchTable().
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/ftp_states.h"

namespace tarvik {

class FtpSession;

// One complete reply as the dispatcher hands it to a row.
struct DispatchedReply {
  int code = 0;      // final reply code
  std::string text;  // the text of the arrival that completed the reply
};

using DispatchAction = void (*)(FtpSession& session, const DispatchedReply& reply);

inline constexpr std::string_view kAnyCommand = "*";

struct DispatchRow {
  Operation operation;
  std::string_view last_command;  // "" greeting, "*" any, else the verb
  std::vector<int> codes;         // empty: every code not listed by a sibling row
  DispatchAction action;          // nullptr: ignore the reply
};

// The rows of the login exchange (operation 1).
std::vector<DispatchRow> LoginRows();
// The rows of the session's own commands: current directory, quit, abort, raw commands.
std::vector<DispatchRow> SessionCommandRows();

// Every row, built once.
const std::vector<DispatchRow>& DispatchTable();

// Runs the row for `reply` under `operation` and `last_command` (see above).
void DispatchReply(FtpSession& session, Operation operation, std::string_view last_command,
                   const DispatchedReply& reply);

// Raises 16000 + code with the server's own last line as description.
[[noreturn]] void FailWithReply(const DispatchedReply& reply);

}  // namespace tarvik
