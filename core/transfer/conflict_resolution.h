// What a single-file transfer does when its destination already exists: overwrite it, resume into
// it, skip the file or give the new copy another name. The answer is either standing (the control's
// replace code and Overwrite flag, set by the host) or asked in the replace dialog.
//
// The replace code (16 bits, the control's stored answer):
//   0 ask; 1 cancel; 2 overwrite; 3 overwrite all; 4 rename; 5 resume; 6 resume all; 7 skip;
//   8 skip all. A code answered in the dialog is that button + 20 (21..28): "all" answers from the
//   dialog last until EndBatchAnswers, every other dialog answer for this file only. Codes set by
//   the host (0..8) last until the host changes them.
//
// "The destination is there" means it exists with more than 0 bytes; only then is the dialog shown,
// a rename made, or a skip (7, 8) applied. An absent or empty destination always proceeds (codes
// 2, 3, 5 and 6 still set the Overwrite flag), so "Skip" never leaves out a file that was not
// transferred before.
//
// A dialog that closes without a button answer (its window frame, or any answer outside 1..8),
// and a Resume answer while Resume is disabled, count as Cancel: the batch ends with 16010 rather
// than leaving a code that would silently answer every later file. A dialog Cancel also returns
// the code to 0 before 16010 is raised, so the next batch asks again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik {

struct ConflictQuery {
  bool upload = false;    // false: download (destination local), true: upload
  std::string file_name;  // name shown, and the name a rename starts from
  bool destination_exists = false;
  double destination_size = 0;   // bytes; below 0 counts as absent
  std::string destination_date;  // as shown; "" when unknown
  double source_size = 0;        // bytes
  std::string source_date;       // as shown
  bool sizes_unknown = false;    // download without a listing: the source shows "Unknown"
};

enum class ConflictOutcome {
  kProceed,  // transfer the file; ConflictDecision::overwrite says from where
  kSkip,     // leave it out (the caller records it as skipped)
  kRename,   // transfer it under ConflictDecision::new_name (the caller starts over with it)
};

struct ConflictDecision {
  ConflictOutcome outcome = ConflictOutcome::kProceed;
  bool overwrite = false;  // kProceed: true = start at byte 0, false = resume
  std::string new_name;    // kRename: the new file name, extension included
};

// Decides about `query`'s destination, asking the replace dialog (and the rename dialog) of the
// user interface provider when `replace_code` is 0 and the destination is there. `replace_code`
// and `overwrite` (the control's Overwrite flag) are updated as the header comment says; the
// dialog's title is appended to `windows_to_raise` ("|"-joined titles the control keeps on top).
// Cancel raises NumberedError 16010.
ConflictDecision ResolveConflict(std::int16_t& replace_code, bool& overwrite,
                                 std::string_view rename_rule, const ConflictQuery& query,
                                 std::string& windows_to_raise);

// The end of a Download/Upload batch: an answer given in the dialog (code above 20) returns to 0.
void EndBatchAnswers(std::int16_t& replace_code);

// The name a standing rename gives the new copy: `rename_rule` with every "{oldname}" replaced by
// the base name (without its extension), the extension put back. A rule that has no placeholder,
// or gives the base name back, appends "1" instead: with "{oldname}_copy" report.txt becomes
// report_copy.txt, with "backup" report1.txt.
std::string RenameByRule(std::string_view file_name, std::string_view rename_rule);

}  // namespace tarvik
