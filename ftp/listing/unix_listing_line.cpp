// Unix long-listing lines:
//   "drwxr-xr-x   2 owner group  4096 Jan 05  2019 name"
//   "-rw-r--r--   1 owner         10 Dec 31 23:59 name with blanks"   (no group column)
//   "lrwxrwxrwx   1 owner group     7 Jan 05 12:30 link -> target"
#include <array>
#include <string>

#include "control/errors/numbered_error.h"
#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

// The first columns of the head (the text before the size): mode, link count, owner, group.
// Runs of blanks separate columns; a blank at the start or end gives an empty column there.
struct HeadColumns {
  std::array<std::string_view, 4> first;  // the first four columns (empty when absent)
  std::size_t count = 0;                  // how many columns the head has
};

HeadColumns SplitHead(std::string_view head) {
  HeadColumns columns;
  std::size_t start = 0;
  while (true) {
    const std::size_t blank = head.find(' ', start);
    const std::string_view column = head.substr(start, blank - start);
    if (columns.count < columns.first.size()) columns.first[columns.count] = column;
    ++columns.count;
    if (blank == std::string_view::npos) break;
    start = head.find_first_not_of(' ', blank);
    if (start == std::string_view::npos) start = head.size();  // a trailing empty column
  }
  return columns;
}

}  // namespace

void ParseUnixLine(std::string_view line, std::size_t date_position,
                   const ListingLineContext& context, CFtpFile& entry) {
  const std::size_t month = date_position - 1;  // 0-based; the blank before it is at month - 1
  entry.SetIsDirectory(line.front() == 'd');
  entry.SetLastWriteTime(platform::GeneralDateText(
      GetDateX(line.substr(month, 12), context.today, context.diagnostics)));

  // The name follows the date column and one blank; a link's name stops before its target.
  std::string_view name = month + 13 < line.size() ? line.substr(month + 13) : std::string_view();
  if (line.front() == 'l') {
    const std::size_t arrow = name.find(" -> ");
    if (arrow != std::string_view::npos) entry.SetLinkTarget(std::string(name.substr(arrow + 4)));
    name = name.substr(0, arrow);
  }
  entry.SetFileName(std::string(name));

  // The size column ends with the digit just before the blank before the month.
  const std::size_t blank = line.rfind(' ', month - 2);
  const std::size_t size_start = blank == std::string_view::npos ? 0 : blank + 1;
  const std::string_view size_text = line.substr(size_start, month - 1 - size_start);
  const auto size = listing_text::ParseNumber(size_text);
  if (!size)
    Raise(kBadListingColumn,
          "Size column is not a number [" + listing_text::LogExcerpt(size_text, 64, false) + "]");
  entry.SetFileSize(*size);

  const HeadColumns head = SplitHead(line.substr(0, size_start));
  if (head.count < 3) Raise(kBadListingColumn, "Fewer than three columns before the size");
  entry.SetPermissions(std::string(head.first[0]));
  entry.SetOwner(std::string(head.first[2]));
  // mode, links, owner, group and the empty column after the blank that precedes the size.
  if (head.count == 5) entry.SetGroup(std::string(head.first[3]));
}

}  // namespace tarvik
