// FormatFileList: a directory listing, as received over the data connection, turned into a
// CFtpFiles collection. Unix long listings, MLSD/MLST fact lines and DOS/IIS lines are told apart
// line by line (examples in listing_lines.h); the text may mix them.
//
// The text is split at LF and every CR is dropped. A first line beginning with "total" is
// dropped; empty lines, lines shorter than 10 characters (a CR counts) and lines beginning with
// "250" (a reply mixed into the text) are skipped, the non-empty ones logged as
// "FormatFileList:EXIT[line]".
//
// Entry names are bare names, safe to join to a local folder:
//   - a name given with a path ("dir\file", "pub/file") keeps its last element ("file"), and the
//     entry says so (ListedWithPath), so that a folder walk can pass it over;
//   - an entry named "", "." or ".." is dropped;
//   - an entry whose name holds a control character other than TAB (below U+0020, or U+007F) is
//     dropped and logged as "FormatFileList:BadName[name]": such a name could rewrite a terminal
//     or a log, and stripping the characters could make it collide with another entry.
// Each entry's FilePath is the listing's base folder + "/" + FileName.
//
// A line that no format reads gives no entry and is logged ("FormatFileList.Error:" + reason, CR
// LF and the line; DOS-style lines as "FormatFileList:Err(13#reason)"); the other lines are kept.
// The result is nullptr when the text is empty or blank, or when no line could be read (a
// format this parser does not know); else a collection, empty when every line was skipped.
//
// A listing of more than `max_entries` entries raises ErrorCode::kListingTooLarge: a hostile server
// could otherwise fill the memory with entries.
//
// One listing writes at most kMaxListingLogLines log lines and reports; what goes beyond is
// counted in one closing line, so that a hostile listing cannot flood the log. A whole listing
// text written to the log is cut at kMaxLoggedListingBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "core/errors/error_code.h"
#include "ftp/listing/ftp_files.h"
#include "ftp/listing/listing_diagnostics.h"

namespace tarvik {

inline constexpr std::size_t kMaxListingLogLines = 100;
inline constexpr std::size_t kMaxLoggedListingBytes = 64 * 1024;

// `base_directory` is the absolute remote folder the listed entries are in.
std::shared_ptr<CFtpFiles> FormatFileList(std::string_view listing, std::string_view base_directory,
                                          ListingDiagnostics& diagnostics,
                                          std::size_t max_entries = SIZE_MAX);

}  // namespace tarvik
