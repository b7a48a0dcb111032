// Fact lines of MLSD listings and MLST replies (facts, one blank, the name):
//   "type=file;size=1234;modify=20190105123045.123;UNIX.mode=0644; name"
//   " type=dir;modify=20190105123045; /pub/name"      (MLST: a blank first, the name a path)
//   "type=OS.unix=slink:/srv/target;size=7; link"      (a symbolic link and its target)
//   "type=OS.unix=symlink;size=7; link"                (a symbolic link, target not given)
//   "size=7; name"  " name"                            (few facts, or none: a file)
// Fact names are compared ignoring case; the first of a repeated fact counts. Following RFC 3659,
// only "dir" is a folder; a file, a link, a device ("OS.unix=chr-13/29") or a type this parser
// does not know is listed as a file.
#include <optional>
#include <string>

#include "core/errors/numbered_error.h"
#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

// The facts this parser reads; the others are passed over.
struct Facts {
  std::string_view type;    // "file", "dir", "cdir", "pdir" or an operating-system type
  std::string_view size;    // "size" fact: the size in bytes ("" when not given)
  std::string_view modify;  // "modify" fact: YYYYMMDDHHMMSS[.sss] UTC
  bool has_size = false;
  bool has_modify = false;
};

Facts ReadFacts(std::string_view list) {
  Facts facts;
  bool has_type = false;
  while (!list.empty()) {
    const std::size_t end = list.find(';');
    const std::string_view fact = list.substr(0, end);
    list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
    const std::size_t equals = fact.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view name = fact.substr(0, equals);
    const std::string_view value = fact.substr(equals + 1);
    if (!has_type && listing_text::EqualsLowerAscii(name, "type")) {
      facts.type = value;
      has_type = true;
    } else if (!facts.has_size && listing_text::EqualsLowerAscii(name, "size")) {
      facts.size = value;
      facts.has_size = true;
    } else if (!facts.has_modify && listing_text::EqualsLowerAscii(name, "modify")) {
      facts.modify = value;
      facts.has_modify = true;
    }
  }
  return facts;
}

// A symbolic link's type, "OS.unix=slink:/srv/x" (with its target), "OS.unix=symlink" or
// "link": the target, "" when the type does not give it. None for any other type.
std::optional<std::string_view> LinkTarget(std::string_view type) {
  constexpr std::string_view kSlink = "slink:";
  if (listing_text::EqualsLowerAscii(type, "link")) return std::string_view();
  const std::size_t equals = type.find('=');
  if (equals == std::string_view::npos || !listing_text::EqualsLowerAscii(type.substr(0, 3), "os."))
    return std::nullopt;
  const std::string_view os_type = type.substr(equals + 1);
  if (listing_text::EqualsLowerAscii(os_type, "symlink") ||
      listing_text::EqualsLowerAscii(os_type, "slink"))
    return std::string_view();
  if (listing_text::EqualsLowerAscii(os_type.substr(0, kSlink.size()), kSlink))
    return os_type.substr(kSlink.size());
  return std::nullopt;
}

}  // namespace

LineRead ParseFactLine(const FactLineParts& line, const ListingLineContext& context,
                       CFtpFile& entry) {
  const auto [fact_list, name] = line;
  const Facts facts = ReadFacts(fact_list);
  if (listing_text::EqualsLowerAscii(facts.type, "cdir") ||
      listing_text::EqualsLowerAscii(facts.type, "pdir"))
    return LineRead::kNoEntry;
  const std::optional<std::string_view> link = LinkTarget(facts.type);
  if (link) {
    entry.SetIsLink(true);
    entry.SetLinkTarget(std::string(*link));
  }
  entry.SetIsDirectory(listing_text::EqualsLowerAscii(facts.type, "dir"));
  if (!entry.IsDirectory() && !facts.size.empty()) {
    const auto size = listing_text::ParseNumber(facts.size);
    if (!size || *size < 0)
      Raise(kBadListingColumn,
            "Size fact is not a number [" + listing_text::LogExcerpt(facts.size, 64, false) + "]");
    entry.SetFileSize(*size);
  }
  entry.SetFileName(std::string(name));

  if (facts.has_modify) {
    if (const auto time = GetMLSDFileTime(facts.modify)) {
      entry.SetLastWriteTime(platform::GeneralDateText(*time));
    } else {
      context.diagnostics.WriteLog("GetMLSDFileTime.Error:Invalid date [" +
                                   listing_text::LogExcerpt(facts.modify, 64, false) + "]\r\n" +
                                   std::to_string(kInvalidDateError));
    }
  }
  return LineRead::kEntry;
}

}  // namespace tarvik
