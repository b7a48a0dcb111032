// The three line formats of a directory listing, each read into a CFtpFile. FormatFileList
// (format_file_list.h) picks the format of each line and finishes the entry.
//
//   Unix long listing  "-rw-r--r--   1 owner group  1234 Jan 05 12:30 name"
//                      "drwxr-xr-x   2 owner group  4096 Jan 05  2019 name"
//                      "lrwxrwxrwx   1 owner group     7 Jan 05 12:30 link -> target"
//   MLSD/MLST facts    "type=file;size=1234;modify=20190105123045.123;UNIX.mode=0644; name"
//   DOS/IIS            "01-05-19  12:30PM       <DIR>          name"
//                      "01-05-19  12:30PM                 1234 name"
#pragma once

#include <cstddef>
#include <string_view>

#include "ftp/listing/ftp_file.h"
#include "ftp/listing/listing_diagnostics.h"
#include "platform/time/local_time.h"

namespace tarvik {

// Error number raised when a Unix-style or fact line has a column that cannot be read; it fails
// the whole listing.
inline constexpr long kBadListingColumn = 13;

// What every line parser needs besides the line.
struct ListingLineContext {
  platform::SystemTime today;       // local date and time when the listing is parsed
  ListingDiagnostics& diagnostics;  // log lines and reported failures
};

// 1-based position of the month name of a Unix date column, or 0 when the line has none. A month
// counts where " mon " (any case) has a digit just before it (the end of the size column) and a
// digit nine characters after the blank (the second character of the time or year column). The
// leftmost such place wins, so owner or file names that look like months do not hide the date.
std::size_t GetDateStartPosition(std::string_view line);

// A fact line cut into its fact list and the name. The facts end with the last ";" of the line's
// first word; the one blank after them is not part of the name ("type=file;size=1; a;b" gives
// "type=file;size=1;" and "a;b"). Without that blank ("type=file;size=1;name") the name is the
// rest of the line, trimmed. A line without ";" in its first word has no facts.
struct FactLineParts {
  std::string_view facts;
  std::string_view name;
};
FactLineParts SplitFactLine(std::string_view line);

// True for a fact line: the fact list of its first word holds a "type" fact. Fact lines are told
// apart first: a Unix mode string never holds "type=", while a file name may look like a date.
// Other lines are Unix-style when GetDateStartPosition is above 10, DOS-style otherwise.
bool IsFactLine(std::string_view line);

// Reads a Unix-style line whose month name is at 1-based `date_position`. Raises
// kBadListingColumn when the size column is not a number or fewer than three columns precede it.
void ParseUnixLine(std::string_view line, std::size_t date_position,
                   const ListingLineContext& context, CFtpFile& entry);

// Reads a fact line. Returns false for the entries of the folder itself and of its parent
// ("cdir", "pdir"). Raises kBadListingColumn when a file's size fact is not a number; an
// unreadable "modify" fact is logged and leaves the time empty.
bool ParseFactLine(std::string_view line, const ListingLineContext& context, CFtpFile& entry);

// Reads a DOS-style line. A column that cannot be read leaves its property at its default;
// returns false (after logging the line) when the date cannot be read.
bool ParseDosLine(std::string_view line, const ListingLineContext& context, CFtpFile& entry);

}  // namespace tarvik
