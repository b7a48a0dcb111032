// Reading FTP reply codes and texts out of the text received on the control connection.
//
// A reply (RFC 959, 4.2) is one line "nnn text" or several lines, the first "nnn-text" and the
// last "nnn text". The session cuts the received bytes into whole replies first
// (reply_framer.h); these readers work on such a reply, or on a few of them (a preliminary reply
// and its final one). They are tolerant: every line that starts with three digits and a blank (or
// is just three digits) counts as a final line, and the latest such line wins.
//
//   "220-Welcome\r\n220-to the server\r\n220 Ready\r\n"   -> 220
//   "257 \"/home\" is current\r\n226 Transfer done\r\n"    -> 226
//   "257 \"/home\" is current\r\n"                         -> 257
//   "550"   (a final line without its CR LF)               -> 550
//   "331-Password\r\n"                                     -> 0, continuation "Password"
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

struct ReplyCodeScan {
  int code = 0;              // the final reply code, 0 while no final line was seen
  std::string continuation;  // text after "nnn-" of the last continuation line seen
};

// Scans `text` line by line (pieces between CR LF pairs, the last piece included).
// A "257 " line counts only when no other final line is present: a 257 that precedes the
// completion reply of a transfer must not end the wait for that completion.
ReplyCodeScan ScanReplyCode(std::string_view text);

// The final reply code of `text`, or 0 while the reply is incomplete. A greeting made only of
// "220-" (or "221-") continuation lines counts as a complete 220: some servers send the final
// line only after a delay, and the login may go on meanwhile (the late line is absorbed).
int GetResponseCode(std::string_view text);

// The last line longer than three characters among the CR LF terminated lines of `text` (the
// piece after the last CR LF is not examined), cut at its first NUL and trimmed of blanks.
// "" when there is none. This is the server's own wording that error reports carry.
std::string GetResponseInfo(std::string_view text);

}  // namespace tarvik
