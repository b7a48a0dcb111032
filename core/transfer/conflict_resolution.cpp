#include "core/transfer/conflict_resolution.h"

#include <optional>
#include <utility>

#include "core/errors/error_code.h"
#include "core/errors/message_table.h"
#include "core/errors/numbered_error.h"
#include "core/transfer/size_format.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"
#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {

namespace row = message_row;

constexpr std::int16_t kDialogAnswer = 20;  // added to a button's code answered in the dialog

struct NameParts {
  std::string_view base;       // the name without its extension
  std::string_view extension;  // from the last dot on; "" when there is none
};

NameParts SplitExtension(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {file_name, {}};
  return {file_name.substr(0, dot), file_name.substr(dot)};
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

// `pattern` with "{0}".."{9}" replaced by `values` in one pass, so a value that itself holds
// "{1}" stays as it is.
std::string FillPlaceholders(std::string_view pattern, std::initializer_list<std::string> values) {
  std::string text;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool placeholder = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 1] >= '0' &&
                             pattern[i + 1] <= '9' && pattern[i + 2] == '}';
    const auto index = placeholder ? static_cast<std::size_t>(pattern[i + 1] - '0') : 0;
    if (placeholder && index < values.size()) {
      text += values.begin()[index];
      i += 2;
    } else {
      text += pattern[i];
    }
  }
  return text;
}

bool DestinationIsThere(const ConflictQuery& query) {
  return query.destination_exists && query.destination_size > 0;
}

platform::ReplaceDialogRequest ReplaceRequest(const ConflictQuery& query) {
  const bool source_unknown = query.sizes_unknown && !query.upload;
  platform::ReplaceDialogRequest request;
  request.title = MessageText(row::kConfirmFileReplace);
  request.text = FillPlaceholders(
      MessageText(row::kReplaceQuestion),
      {query.file_name, FormatNumber(query.destination_size), query.destination_date,
       source_unknown ? "Unknown" : FormatNumber(query.source_size),
       source_unknown ? "" : query.source_date});
  // The table keeps a backslash and "n" where the question's lines break.
  ReplaceAll(request.text, "\\n", "\r\n");
  request.file_name = query.file_name;
  // Resume is refused only for a file here that is known not to be smaller than the source.
  request.resume_enabled = source_unknown || query.destination_size < query.source_size;
  const std::pair<int, const char*> captions[] = {
      {row::kCancel, "(&C)"}, {row::kOverwrite, "(&O)"}, {row::kOverwriteAll, "(&F)"},
      {row::kRename, "(&N)"}, {row::kResume, "(&R)"},    {row::kResumeAll, "(&X)"},
      {row::kSkip, "(&S)"},   {row::kSkipAll, "(&T)"},
  };  // by button code - 1
  for (std::size_t i = 0; i < request.captions.size(); ++i)
    request.captions[i] = MessageText(captions[i].first) + captions[i].second;
  return request;
}

void AppendWindowTitle(std::string& windows_to_raise, std::string_view title) {
  if (!windows_to_raise.empty()) windows_to_raise += '|';
  windows_to_raise += title;
}

// The new copy's name from the rename dialog, asked until the typed name is usable; nullopt when
// the user cancels it. The extension of the old name is kept and put back.
std::optional<std::string> AskNewName(std::string_view old_name) {
  const NameParts old_parts = SplitExtension(old_name);
  const platform::RenameDialogRequest request{MessageText(row::kRename), std::string(old_name),
                                              std::string(old_parts.base)};
  while (true) {
    const std::optional<std::string> typed = platform::RenameDialog(request);
    if (!typed) return std::nullopt;
    const std::string name(platform::Trim(*typed, platform::kSpaces));
    if (name.empty()) {
      platform::MessageBox(MessageText(row::kInputFilename), "", platform::MB_OK);
    } else if (platform::EqualsIgnoreCase(name, old_parts.base)) {
      platform::MessageBox(FillPlaceholders(MessageText(row::kFolderContainsFile), {name}), "",
                           platform::MB_OK);
    } else {
      return name + std::string(old_parts.extension);
    }
  }
}

struct DialogAnswer {
  int button = platform::kReplaceCancel;
  std::string new_name;  // kReplaceRename: the name given in the rename dialog
};

// Asks the replace dialog until it gives a usable answer. Rename opens the rename dialog; when that
// is cancelled the replace dialog is asked again.
DialogAnswer AskReplaceDialog(const ConflictQuery& query, std::string& windows_to_raise) {
  const platform::ReplaceDialogRequest request = ReplaceRequest(query);
  AppendWindowTitle(windows_to_raise, request.title);
  while (true) {
    const int button = platform::ReplaceDialog(request);
    const bool usable = button >= platform::kReplaceCancel && button <= platform::kReplaceSkipAll &&
                        (button != platform::kReplaceResume || request.resume_enabled);
    if (!usable) return {};
    if (button != platform::kReplaceRename) return {button, {}};
    if (std::optional<std::string> name = AskNewName(query.file_name))
      return {button, std::move(*name)};
  }
}

}  // namespace

ConflictDecision ResolveConflict(std::int16_t& replace_code, bool& overwrite,
                                 std::string_view rename_rule, const ConflictQuery& query,
                                 std::string& windows_to_raise) {
  const bool there = DestinationIsThere(query);
  std::string dialog_name;
  if (replace_code == 0 && there) {
    DialogAnswer answer = AskReplaceDialog(query, windows_to_raise);
    replace_code = static_cast<std::int16_t>(kDialogAnswer + answer.button);
    dialog_name = std::move(answer.new_name);
  }
  const bool from_dialog = replace_code > kDialogAnswer;
  // A dialog answer for this file only is used up now.
  const auto end_file_answer = [&] {
    if (from_dialog) replace_code = 0;
  };

  ConflictDecision decision;
  switch (replace_code % kDialogAnswer) {
    case platform::kReplaceCancel:
      end_file_answer();
      Raise(ErrorCode::kOperationCanceled, MessageText(row::kOperationCanceled));
    case platform::kReplaceOverwrite:
      overwrite = true;
      replace_code = 0;
      break;
    case platform::kReplaceOverwriteAll:
      overwrite = true;
      break;
    case platform::kReplaceRename:
      if (there) {
        decision.outcome = ConflictOutcome::kRename;
        decision.new_name = dialog_name.empty() ? RenameByRule(query.file_name, rename_rule)
                                                : std::move(dialog_name);
      }
      end_file_answer();
      break;
    case platform::kReplaceResume:
      overwrite = false;
      end_file_answer();
      break;
    case platform::kReplaceResumeAll:
      overwrite = false;
      break;
    case platform::kReplaceSkip:
    case platform::kReplaceSkipAll:
      if (there) decision.outcome = ConflictOutcome::kSkip;
      if (replace_code % kDialogAnswer == platform::kReplaceSkip) end_file_answer();
      break;
    default:  // 0, or no answer of the table
      end_file_answer();
      break;
  }
  decision.overwrite = overwrite;
  return decision;
}

void EndBatchAnswers(std::int16_t& replace_code) {
  if (replace_code > kDialogAnswer) replace_code = 0;
}

std::string RenameByRule(std::string_view file_name, std::string_view rename_rule) {
  const NameParts parts = SplitExtension(file_name);
  std::string base(rename_rule);
  ReplaceAll(base, "{oldname}", parts.base);
  if (base == parts.base || base == rename_rule) base = std::string(parts.base) + "1";
  return base + std::string(parts.extension);
}

}  // namespace tarvik
