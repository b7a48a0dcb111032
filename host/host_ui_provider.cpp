#include "host/host_ui_provider.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <utility>
#include <vector>

#include "host/line_editor.h"
#include "host/local_paths.h"
#include "platform/com/type_info.h"
#include "platform/fs/path_translation.h"

namespace tarvik::host {
namespace {

struct ButtonName {
  std::string_view name;
  int id;
};

constexpr ButtonName kButtonNames[] = {
    {"ok", platform::IDOK},       {"cancel", platform::IDCANCEL}, {"abort", platform::IDABORT},
    {"retry", platform::IDRETRY}, {"ignore", platform::IDIGNORE}, {"yes", platform::IDYES},
    {"no", platform::IDNO},
};

// The buttons of a box with `flags`, in the order shown.
std::vector<int> ButtonsOf(unsigned flags) {
  switch (flags & 0xF) {
    case platform::MB_OKCANCEL:
      return {platform::IDOK, platform::IDCANCEL};
    case platform::MB_ABORTRETRYIGNORE:
      return {platform::IDABORT, platform::IDRETRY, platform::IDIGNORE};
    case platform::MB_YESNOCANCEL:
      return {platform::IDYES, platform::IDNO, platform::IDCANCEL};
    case platform::MB_YESNO:
      return {platform::IDYES, platform::IDNO};
    case platform::MB_RETRYCANCEL:
      return {platform::IDRETRY, platform::IDCANCEL};
    default:
      return {platform::IDOK};
  }
}

// The replace dialog's buttons as --answer names them, as kReplaceAnswer values.
constexpr ButtonName kReplaceButtonNames[] = {
    {"overwrite", kReplaceAnswer + platform::kReplaceOverwrite},
    {"overwriteall", kReplaceAnswer + platform::kReplaceOverwriteAll},
    {"resume", kReplaceAnswer + platform::kReplaceResume},
    {"resumeall", kReplaceAnswer + platform::kReplaceResumeAll},
    {"skip", kReplaceAnswer + platform::kReplaceSkip},
    {"skipall", kReplaceAnswer + platform::kReplaceSkipAll},
    {"rename", kReplaceAnswer + platform::kReplaceRename},
    {"cancel", kReplaceAnswer + platform::kReplaceCancel},
};

// The replace dialog's access keys, in the order the terminal lists them.
struct AccessKey {
  char key;
  int button;
};
constexpr AccessKey kAccessKeys[] = {
    {'O', platform::kReplaceOverwrite},    {'R', platform::kReplaceResume},
    {'S', platform::kReplaceSkip},         {'N', platform::kReplaceRename},
    {'F', platform::kReplaceOverwriteAll}, {'X', platform::kReplaceResumeAll},
    {'T', platform::kReplaceSkipAll},      {'C', platform::kReplaceCancel},
};

std::string_view NameOf(int button) {
  for (const ButtonName& entry : kButtonNames) {
    if (entry.id == button) return entry.name;
  }
  for (const ButtonName& entry : kReplaceButtonNames) {
    if (entry.id == button) return entry.name;
  }
  return "?";
}

// The replace dialog's button that an --answer or a typed name stands for.
std::optional<int> ReplaceButtonOf(int answer) {
  if (answer == platform::IDCANCEL) return platform::kReplaceCancel;
  if (answer > kReplaceAnswer && answer <= kReplaceAnswer + platform::kReplaceSkipAll)
    return answer - kReplaceAnswer;
  return std::nullopt;
}

// The replace dialog's button of a line typed at the terminal: an access key or a name.
std::optional<int> ReplaceButtonOfLine(std::string_view line) {
  if (line.size() == 1) {
    const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
    for (const AccessKey& entry : kAccessKeys) {
      if (entry.key == key) return entry.button;
    }
  }
  const std::optional<int> named = ButtonFromName(line);
  return named ? ReplaceButtonOf(*named) : std::nullopt;
}

// The pieces of a "|"-separated answer.
std::vector<std::string> Pieces(const std::string& text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('|', start), text.size());
    pieces.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

}  // namespace

std::optional<std::string> CheckedAnswer(const std::string& answer, const std::string& folder,
                                         const DialogConditions& conditions, std::string* why) {
  std::string host_list;
  const std::vector<std::string> pieces = Pieces(answer);
  if (pieces.size() > 1 && conditions.selection != Selection::kFiles) {
    *why = "choose one only";
    return std::nullopt;
  }
  for (std::string piece : pieces) {
    const char* home = std::getenv("HOME");
    if (piece.starts_with("~/") && home != nullptr) piece = home + piece.substr(1);
    const bool windows_path = (piece.size() >= 2 && piece[1] == ':') || piece.starts_with("\\\\");
    if (!windows_path && !piece.starts_with("/")) piece = folder + "/" + piece;
    const std::string host = windows_path ? platform::TranslatePath(piece).host_path : piece;
    std::error_code error;
    const std::filesystem::path path(host);
    if (conditions.selection == Selection::kFolder) {
      if (!std::filesystem::is_directory(path, error)) {
        *why = "no such folder: " + piece;
        return std::nullopt;
      }
    } else if (std::filesystem::is_directory(path, error)) {
      *why = piece + " is a folder";
      return std::nullopt;
    } else if (conditions.file_must_exist && !std::filesystem::is_regular_file(path, error)) {
      *why = "no such file: " + piece;
      return std::nullopt;
    } else if (conditions.path_must_exist &&
               !std::filesystem::is_directory(path.parent_path(), error)) {
      *why = "no such folder: " + path.parent_path().string();
      return std::nullopt;
    }
    if (!host_list.empty()) host_list += '|';
    host_list += windows_path ? piece : host;
  }
  return ToDrivePaths(host_list, why);
}

std::optional<int> ButtonFromName(std::string_view text) {
  for (const ButtonName& entry : kButtonNames) {
    if (platform::com::NamesEqual(entry.name, text)) return entry.id;
  }
  for (const ButtonName& entry : kReplaceButtonNames) {
    if (platform::com::NamesEqual(entry.name, text)) return entry.id;
  }
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '7') return text[0] - '0';
  return std::nullopt;
}

HostUiProvider::HostUiProvider(std::FILE* terminal_in, std::FILE* terminal_out,
                               std::deque<int> box_answers,
                               std::deque<std::optional<std::string>> dialog_answers)
    : terminal_in_(terminal_out != nullptr ? terminal_in : nullptr),
      terminal_out_(terminal_out),
      box_answers_(std::move(box_answers)),
      dialog_answers_(std::move(dialog_answers)) {}

std::optional<std::string> HostUiProvider::ReadLine() {
  std::string line;
  int c = 0;
  while ((c = std::fgetc(terminal_in_)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int HostUiProvider::MessageBox(std::string_view text, std::string_view title, unsigned flags) {
  const std::vector<int> buttons = ButtonsOf(flags);
  if (!box_answers_.empty()) {
    const int given = box_answers_.front();
    box_answers_.pop_front();
    // A replace dialog's button is no button of a box: the box takes its default.
    const int answer = given > kReplaceAnswer ? platform::DefaultButton(flags) : given;
    std::cerr << "[" << title << "] " << text << " -> " << NameOf(answer) << "\n";
    return answer;
  }
  const int fallback = platform::DefaultButton(flags);
  if (terminal_in_ == nullptr) {
    std::cerr << "[" << title << "] " << text << " -> " << NameOf(fallback) << "\n";
    return fallback;
  }
  std::fprintf(terminal_out_, "\n[%.*s]\n%.*s\n", static_cast<int>(title.size()), title.data(),
               static_cast<int>(text.size()), text.data());
  while (true) {
    std::fprintf(terminal_out_, "Answer");
    for (int button : buttons) {
      const std::string_view name = NameOf(button);
      std::fprintf(terminal_out_, " %.*s%s", static_cast<int>(name.size()), name.data(),
                   button == fallback ? "*" : "");
    }
    std::fprintf(terminal_out_, ": ");
    std::fflush(terminal_out_);
    const std::optional<std::string> line = ReadLine();
    if (!line || line->empty()) return fallback;
    const std::optional<int> chosen = ButtonFromName(*line);
    for (int button : buttons) {
      if (chosen == button) return button;
    }
  }
}

std::optional<std::string> HostUiProvider::TypedAnswer(std::string_view kind, std::string_view what,
                                                       const std::string& question) {
  std::optional<std::string> answer;
  if (!dialog_answers_.empty()) {
    answer = std::move(dialog_answers_.front());
    dialog_answers_.pop_front();
  } else if (terminal_in_ != nullptr) {
    std::fputs(question.c_str(), terminal_out_);
    std::fflush(terminal_out_);
    answer = ReadLine();
  } else {
    std::cerr << "[" << kind << "] " << what << " -> cancel\n";
  }
  if (!answer || answer->empty()) return std::nullopt;
  return answer;
}

std::optional<std::string> HostUiProvider::AnswerDialog(std::string_view kind,
                                                        const DialogConditions& conditions) {
  const std::optional<std::string> start_folder =
      conditions.initial_folder.empty()
          ? std::nullopt
          : std::optional<std::string>(
                platform::TranslatePath(conditions.initial_folder).host_path);
  const std::string folder = start_folder.value_or(std::filesystem::current_path().string());
  while (true) {
    std::optional<std::string> answer;
    const bool typed = dialog_answers_.empty() && terminal_in_ != nullptr;
    if (!dialog_answers_.empty()) {
      answer = std::move(dialog_answers_.front());
      dialog_answers_.pop_front();
    } else if (typed) {
      std::fprintf(terminal_out_, "\n[%.*s] %s (in %s; Tab completes, empty cancels)\n",
                   static_cast<int>(kind.size()), kind.data(), conditions.title.c_str(),
                   folder.c_str());
      std::string initial = folder + "/";
      if (!conditions.file_name.empty()) initial += conditions.file_name;
      answer = EditLine(terminal_in_, terminal_out_, "Path: ", initial, folder);
    } else {
      std::cerr << "[" << kind << "] " << conditions.title << " -> cancel\n";
    }
    if (!answer || answer->empty()) return std::nullopt;
    std::string why;
    std::optional<std::string> drive_paths = CheckedAnswer(*answer, folder, conditions, &why);
    if (drive_paths) return drive_paths;
    if (!typed) {
      std::cerr << "tarvik: " << why << "; the dialog is cancelled\n";
      return std::nullopt;
    }
    std::fprintf(terminal_out_, "%s\n", why.c_str());
  }
}

std::optional<std::string> HostUiProvider::OpenFileDialog(
    const platform::FileDialogRequest& request) {
  return AnswerDialog("Open", {request.title, request.initial_folder, request.file_name,
                               request.multiple ? Selection::kFiles : Selection::kFile,
                               request.file_must_exist, request.path_must_exist});
}

std::optional<std::string> HostUiProvider::SaveFileDialog(
    const platform::FileDialogRequest& request) {
  return AnswerDialog("Save", {request.title, request.initial_folder, request.file_name,
                               Selection::kFile, request.file_must_exist, request.path_must_exist});
}

std::optional<std::string> HostUiProvider::BrowseForFolder(
    const platform::FolderDialogRequest& request) {
  return AnswerDialog("Folder",
                      {request.title, request.initial_folder, "", Selection::kFolder, true, true});
}

int HostUiProvider::ReplaceDialog(const platform::ReplaceDialogRequest& request) {
  if (!box_answers_.empty()) {
    const int given = box_answers_.front();
    box_answers_.pop_front();
    const std::optional<int> button = ReplaceButtonOf(given);
    if (!button) std::cerr << "tarvik: " << NameOf(given) << " is no button of this dialog\n";
    const int answer = button.value_or(platform::kReplaceCancel);
    std::cerr << "[" << request.title << "] " << request.file_name << " -> "
              << NameOf(kReplaceAnswer + answer) << "\n";
    return answer;
  }
  if (terminal_in_ != nullptr) return AskReplaceAtTerminal(request);
  std::cerr << "[" << request.title << "] " << request.file_name << " -> cancel\n";
  return platform::kReplaceCancel;
}

int HostUiProvider::AskReplaceAtTerminal(const platform::ReplaceDialogRequest& request) {
  std::fprintf(terminal_out_, "\n[%s]\n%s\n", request.title.c_str(), request.text.c_str());
  std::string choices;
  for (const AccessKey& entry : kAccessKeys) {
    std::string caption = request.captions[entry.button - 1];
    std::erase(caption, '&');
    if (caption.empty()) caption = std::string(1, entry.key);
    if (!choices.empty()) choices += ' ';
    // A disabled button is shown greyed (faint).
    const bool disabled = entry.button == platform::kReplaceResume && !request.resume_enabled;
    choices += disabled ? "\x1b[2m" + caption + "\x1b[22m" : caption;
  }
  while (true) {
    std::fprintf(terminal_out_, "%s? ", choices.c_str());
    std::fflush(terminal_out_);
    const std::optional<std::string> line = ReadLine();
    if (!line) return platform::kReplaceCancel;
    const std::optional<int> button = ReplaceButtonOfLine(*line);
    if (button == platform::kReplaceResume && !request.resume_enabled) {
      std::fprintf(terminal_out_, "Resume is not available: the file here is not smaller.\n");
    } else if (button) {
      return *button;
    }
  }
}

std::optional<std::string> HostUiProvider::RenameDialog(
    const platform::RenameDialogRequest& request) {
  const std::string question = "\n[" + request.title + "] " + request.old_name +
                               "\nNew name, its extension is kept (was " + request.proposed_name +
                               "; empty to cancel): ";
  return TypedAnswer(request.title, request.old_name, question);
}

}  // namespace tarvik::host
