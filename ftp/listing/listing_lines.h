// The three line formats of a directory listing, each read into a CFtpFile. FormatFileList
// (format_file_list.h) picks the format of each line and finishes the entry.
//
//   Unix long listing  "-rw-r--r--   1 owner group  1234 Jan 05 12:30 name"
//                      "drwxr-xr-x   2 owner group  4096 Jan 05  2019 name"
//                      "lrwxrwxrwx   1 owner group     7 Jan 05 12:30 link -> target"
//   MLSD/MLST facts    "type=file;size=1234;modify=20190105123045.123;UNIX.mode=0644; name"
//   DOS/IIS            "01-05-19  12:30PM       <DIR>          name"
//                      "01-05-19  12:30PM                 1234 name"
//
// Each parser tells whether its line gave an entry, was read but names none (".", the folder
// itself, a line without a name), or could not be read (logged; a column it cannot read raises
// kBadListingColumn instead). Either way the other lines are kept.
#pragma once

#include <cstddef>
#include <string_view>

#include "ftp/listing/ftp_file.h"
#include "ftp/listing/listing_diagnostics.h"
#include "ftp/listing/listing_words.h"
#include "platform/time/local_time.h"

namespace tarvik {

// Error number raised when a column of a line cannot be read; the line gives no entry.
inline constexpr long kBadListingColumn = 13;

enum class LineRead { kEntry, kNoEntry, kUnreadable };

// What every line parser needs besides the line.
struct ListingLineContext {
  platform::SystemTime today;       // local date and time when the listing is parsed
  ListingDiagnostics& diagnostics;  // log lines and reported failures
};

// A fact line cut into its fact list and the name. The facts are the line's first word (after
// the one blank an MLST reply puts first), each "name=value" and ended by ";" (the last ";" may be
// missing); the one blank or TAB after them is not part of the name ("type=file;size=1; a;b"
// gives "type=file;size=1;" and "a;b"). Without that blank ("type=file;size=1;name") the name is
// the rest of the line after the last ";" of the first word. `facts` is empty for a line that
// does not begin with facts; its name is the line without the one blank it may begin with.
// Fact lines are told apart first: no Unix mode or DOS date holds "=", while a file name may
// look like a date.
struct FactLineParts {
  std::string_view facts;
  std::string_view name;
};
FactLineParts SplitFactLine(std::string_view line);

// True when `word` is a Unix mode string: a type letter (- d l c b p s D), nine permission
// letters (r w x s S t T l L -), and an optional ACL or attribute mark (+ . @).
bool IsUnixMode(std::string_view word);

// Reads a Unix-style line whose first word is a mode string.
LineRead ParseUnixLine(std::string_view line, const ListingWords& words,
                       const ListingLineContext& context, CFtpFile& entry);

// Reads a fact line, split by SplitFactLine; a line without facts is a file of that name.
// The entries of the folder itself and of its parent ("cdir", "pdir") give none. An unreadable
// "modify" fact is logged and leaves the time empty.
LineRead ParseFactLine(const FactLineParts& line, const ListingLineContext& context,
                       CFtpFile& entry);

// Reads a DOS-style line; unreadable (and logged) when its date, time or size cannot be read.
LineRead ParseDosLine(std::string_view line, const ListingWords& words,
                      const ListingLineContext& context, CFtpFile& entry);

}  // namespace tarvik
