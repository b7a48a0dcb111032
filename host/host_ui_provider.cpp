#include "host/host_ui_provider.h"

#include <cctype>
#include <iostream>
#include <utility>
#include <vector>

#include "host/local_paths.h"
#include "platform/com/type_info.h"

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

}  // namespace

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
                                                        std::string_view title,
                                                        std::string_view initial_folder) {
  const std::string question = "\n[" + std::string(kind) + "] " + std::string(title) +
                               " (start: " + std::string(initial_folder) +
                               ")\nPath (empty to cancel): ";
  const std::optional<std::string> answer = TypedAnswer(kind, title, question);
  if (!answer) return std::nullopt;
  std::string error;
  std::optional<std::string> drive_path = ToDrivePaths(*answer, &error);
  if (!drive_path) std::cerr << "tarvik: " << error << "; the dialog is cancelled\n";
  return drive_path;
}

std::optional<std::string> HostUiProvider::OpenFileDialog(
    const platform::FileDialogRequest& request) {
  return AnswerDialog("Open", request.title, request.initial_folder);
}

std::optional<std::string> HostUiProvider::SaveFileDialog(
    const platform::FileDialogRequest& request) {
  return AnswerDialog("Save", request.title, request.initial_folder);
}

std::optional<std::string> HostUiProvider::BrowseForFolder(
    const platform::FolderDialogRequest& request) {
  return AnswerDialog("Folder", request.title, request.initial_folder);
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
    if (entry.button == platform::kReplaceResume && !request.resume_enabled) continue;
    std::string caption = request.captions[entry.button - 1];
    std::erase(caption, '&');
    if (!choices.empty()) choices += ' ';
    choices += caption.empty() ? std::string(1, entry.key) : caption;
  }
  while (true) {
    std::fprintf(terminal_out_, "%s? ", choices.c_str());
    std::fflush(terminal_out_);
    const std::optional<std::string> line = ReadLine();
    if (!line) return platform::kReplaceCancel;
    const std::optional<int> button = ReplaceButtonOfLine(*line);
    if (button && (*button != platform::kReplaceResume || request.resume_enabled)) return *button;
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
