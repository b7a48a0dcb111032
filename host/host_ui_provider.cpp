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

std::string_view NameOf(int button) {
  for (const ButtonName& entry : kButtonNames) {
    if (entry.id == button) return entry.name;
  }
  return "?";
}

}  // namespace

std::optional<int> ButtonFromName(std::string_view text) {
  for (const ButtonName& entry : kButtonNames) {
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
    const int answer = box_answers_.front();
    box_answers_.pop_front();
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

std::optional<std::string> HostUiProvider::AnswerDialog(std::string_view kind,
                                                        std::string_view title,
                                                        std::string_view initial_folder) {
  std::optional<std::string> answer;
  if (!dialog_answers_.empty()) {
    answer = std::move(dialog_answers_.front());
    dialog_answers_.pop_front();
  } else if (terminal_in_ != nullptr) {
    std::fprintf(terminal_out_, "\n[%.*s] %.*s (start: %.*s)\nPath (empty to cancel): ",
                 static_cast<int>(kind.size()), kind.data(), static_cast<int>(title.size()),
                 title.data(), static_cast<int>(initial_folder.size()), initial_folder.data());
    std::fflush(terminal_out_);
    answer = ReadLine();
  } else {
    std::cerr << "[" << kind << "] " << title << " -> cancel\n";
  }
  if (!answer || answer->empty()) return std::nullopt;
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

}  // namespace tarvik::host
