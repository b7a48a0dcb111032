// Cuts the bytes received on the control connection into whole replies (RFC 959, 4.2):
//
//   "200 Type set to I" CRLF                             one line: code, blank, text
//   "211-Features:" CRLF " MDTM" CRLF "211 End" CRLF     several lines: the first "nnn-", the last
//                                                        the same code and a blank (or just the
//                                                        code)
//
// A line counts only once its line end (CR LF, or a bare LF) has arrived: until then its bytes
// wait for the next arrival, so a reply cut by TCP anywhere (after the code digits, inside a
// quoted path) is never taken for a shorter one. Lines between the first and the last line of a
// multi-line reply may hold anything, digits included. Leading blanks and NUL bytes before the
// code of a first line are tolerated. A complete line outside any reply that does not start with
// a code comes out as a reply of code 0, so that the session can tell a peer that speaks another
// protocol ("SSH-2.0-OpenSSH_9.2").
//
//   "257 \"/a b\" is cwd\r\n226 Done\r\n"  -> 257 "\"/a b\" is cwd", then 226 "Done"
//   "220-Hello\r\n220"                     -> nothing yet (the last line has no line end)
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

struct FramedReply {
  int code = 0;      // reply code; 0 for a line that is no reply
  std::string text;  // the reply's bytes, every line ending in CR LF
};

class ReplyFramer {
 public:
  // Appends received bytes.
  void Add(std::string_view bytes) { pending_.append(bytes); }
  // Takes the oldest complete reply out, if one has arrived whole.
  std::optional<FramedReply> Next();
  // Bytes received and not yet part of a complete reply.
  std::size_t PendingSize() const { return pending_.size(); }
  void Clear() { pending_.clear(); }

 private:
  std::string pending_;  // received bytes not yet handed out
};

}  // namespace tarvik
