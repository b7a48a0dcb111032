#include "ftp/listing/format_file_list.h"

#include <algorithm>
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/time/local_time.h"

namespace tarvik {
namespace {

// Passes on at most kMaxListingLogLines messages of one listing and counts the rest.
class BoundedDiagnostics : public ListingDiagnostics {
 public:
  explicit BoundedDiagnostics(ListingDiagnostics& target) : target_(target) {}

  void WriteLog(std::string_view text) override {
    if (Admit()) target_.WriteLog(text);
  }
  void ReportError(std::string_view procedure, long number, std::string_view description) override {
    if (Admit()) target_.ReportError(procedure, number, description);
  }
  // Logs how many messages were held back, if any.
  void Close() {
    if (held_back_ > 0)
      target_.WriteLog("FormatFileList:" + std::to_string(held_back_) +
                       " more messages of this listing not logged");
    held_back_ = 0;
  }

 private:
  bool Admit() {
    if (passed_ < kMaxListingLogLines) {
      ++passed_;
      return true;
    }
    ++held_back_;
    return false;
  }

  ListingDiagnostics& target_;
  std::size_t passed_ = 0;     // messages passed on so far
  std::size_t held_back_ = 0;  // messages dropped since the limit was reached
};

// The base folder, normalised, as a path prefix ending in "/": "" gives "/", "/pub" and "/pub/"
// give "/pub/". A name holds no separator, so only the base needs normalising, and a name keeps
// the blanks at its end.
std::string FolderPrefix(std::string_view base_directory) {
  std::string prefix = FormatFtpPath(base_directory);
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  return prefix;
}

// A TAB is allowed: Unix names may hold one, and it does no harm where a name is shown.
bool HasControlCharacter(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t') || byte == 0x7F;
  });
}

// Position of the last "/" or "\" in `name`, or npos. (A plain loop: the library's
// find_last_of searches the set once per character.)
std::size_t LastSeparator(std::string_view name) {
  for (std::size_t i = name.size(); i > 0; --i) {
    if (name[i - 1] == '/' || name[i - 1] == '\\') return i - 1;
  }
  return std::string_view::npos;
}

// Makes the entry's name a bare name and sets its path; false when the entry is to be dropped.
bool FinishEntry(CFtpFile& entry, const std::string& folder_prefix, ListingDiagnostics& log) {
  std::string_view name = entry.FileNameView();
  const std::size_t separator = LastSeparator(name);
  if (separator != std::string_view::npos) name.remove_prefix(separator + 1);
  if (name.empty() || name == "." || name == "..") return false;
  if (HasControlCharacter(name)) {
    log.WriteLog("FormatFileList:BadName[" + listing_text::LogExcerpt(name, 256, false) + "]");
    return false;
  }
  if (separator != std::string_view::npos) {
    entry.SetFileName(std::string(name));
    entry.SetListedWithPath(true);
  }
  entry.SetFilePath(folder_prefix + entry.FileName());
  entry.Seal();
  return true;
}

// `line` without its CRs; only copied into `scratch` when a CR sits inside the line.
std::string_view WithoutCarriageReturns(std::string_view line, std::string& scratch) {
  while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.find('\r') == std::string_view::npos) return line;
  scratch.assign(line);
  scratch.erase(std::remove(scratch.begin(), scratch.end(), '\r'), scratch.end());
  return scratch;
}

// The first word of `line`, or its first 12 characters when it is longer: enough to tell a mode
// string without reading a long first word to its end.
std::string_view ModeCandidate(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && line[start] == ' ') ++start;
  std::size_t end = start;
  while (end < line.size() && end - start < 12 && line[end] != ' ' && line[end] != '\t') ++end;
  return line.substr(start, end - start);
}

// Reads one line into `entry`. A column that cannot be read costs that line alone.
LineRead ParseLine(std::string_view line, const ListingLineContext& context, CFtpFile& entry) {
  try {
    // A mode string holds no "=", so a Unix line is never taken for facts.
    const ListingWords words(line);
    if (IsUnixMode(ModeCandidate(line))) return ParseUnixLine(line, words, context, entry);
    const FactLineParts facts = SplitFactLine(line);
    if (!facts.facts.empty()) return ParseFactLine(facts, context, entry);
    // An MLSD line without facts: one blank, then the name.
    if (line.front() == ' ' && line.size() > 1 && line[1] != ' ' && !MatchListingDate(words, 0))
      return ParseFactLine(facts, context, entry);
    return ParseDosLine(line, words, context, entry);
  } catch (const NumberedError& error) {
    context.diagnostics.WriteLog("FormatFileList.Error:" + error.description() + "\r\n" +
                                 listing_text::LogExcerpt(line, 1024, false));
    return LineRead::kUnreadable;
  }
}

}  // namespace

std::shared_ptr<CFtpFiles> FormatFileList(std::string_view listing, std::string_view base_directory,
                                          ListingDiagnostics& diagnostics,
                                          std::size_t max_entries) {
  if (platform::Trim(listing, platform::kSpaces).empty()) return nullptr;
  std::string_view text = listing;
  if (listing_text::EqualsLowerAscii(text.substr(0, 5), "total")) {
    const std::size_t first_break = text.find('\n');
    if (first_break != std::string_view::npos) text.remove_prefix(first_break + 1);
  }

  auto files = std::make_shared<CFtpFiles>();
  // One entry a line at most: no room is wasted by growing the collection.
  files->Reserve(
      std::min<std::size_t>(std::count(text.begin(), text.end(), '\n') + 1, max_entries));
  BoundedDiagnostics log(diagnostics);
  const ListingLineContext context{platform::LocalNow(), log};
  const std::string folder_prefix = FolderPrefix(base_directory);
  std::string scratch;
  std::shared_ptr<CFtpFile> entry;  // reused while lines give no entry
  bool any_read = false;            // some line was read, whether or not it gave an entry
  bool any_unreadable = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view raw = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::string_view line = WithoutCarriageReturns(raw, scratch);
    if (line.empty()) continue;  // also the blank lines of CR LF listings
    // The length limit counts the CRs, as the line came.
    if (raw.size() < 10 || raw.substr(0, 3) == "250") {
      log.WriteLog("FormatFileList:EXIT[" + listing_text::LogExcerpt(line, 1024, false) + "]");
      continue;
    }
    if (entry)
      *entry = CFtpFile();
    else
      entry = std::make_shared<CFtpFile>();
    const LineRead read = ParseLine(line, context, *entry);
    any_read = any_read || read != LineRead::kUnreadable;
    any_unreadable = any_unreadable || read == LineRead::kUnreadable;
    if (read == LineRead::kEntry && FinishEntry(*entry, folder_prefix, log)) {
      if (files->Size() == max_entries) {
        Raise(ErrorCode::kListingTooLarge, "The listing holds more than " +
                                               std::to_string(max_entries) +
                                               " entries, more than one listing may hold");
      }
      files->Add(std::move(entry));
    }
  }
  log.Close();
  if (any_unreadable && !any_read) return nullptr;  // a listing in a format this parser lacks
  return files;
}

}  // namespace tarvik
