#include "host/line_editor.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/console/console.h"

namespace tarvik::host {
namespace {

namespace fs = std::filesystem;

constexpr int kCtrlC = 3;
constexpr int kCtrlD = 4;
constexpr int kEscape = 27;
constexpr int kBackspace = 127;
constexpr int kCtrlH = 8;

std::optional<std::string> PlainLine(std::FILE* in) {
  std::string line;
  int c = 0;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

// Reads the rest of an escape sequence (arrow and function keys) after ESC.
void SkipEscapeSequence(std::FILE* in) {
  const int next = std::fgetc(in);
  if (next != '[' && next != 'O') return;
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '~') return;
  }
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr ? home : "/";
}

}  // namespace

PathCompletion CompletePath(std::string_view text, const std::string& folder) {
  const std::size_t bar = text.rfind('|');
  const std::size_t start = bar == std::string_view::npos ? 0 : bar + 1;
  const std::string piece(text.substr(start));
  const std::size_t slash = piece.rfind('/');
  const std::string typed_folder = slash == std::string::npos ? "" : piece.substr(0, slash + 1);
  const std::string prefix = piece.substr(typed_folder.size());
  std::string search = typed_folder;
  if (search.starts_with("~/")) search = HomeFolder() + search.substr(1);
  if (search.empty() || search.front() != '/') search = folder + "/" + search;

  PathCompletion completion{std::string(text), {}};
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(search, error)) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with(prefix) || (prefix.empty() && name.front() == '.')) continue;
    completion.choices.push_back(name + (entry.is_directory(error) ? "/" : ""));
  }
  std::sort(completion.choices.begin(), completion.choices.end());
  if (completion.choices.empty()) return completion;
  std::string common = completion.choices.front();
  for (const std::string& choice : completion.choices) {
    std::size_t same = 0;
    while (same < common.size() && same < choice.size() && common[same] == choice[same]) ++same;
    common.resize(same);
  }
  completion.text = std::string(text.substr(0, start)) + typed_folder + common;
  return completion;
}

std::optional<std::string> EditLine(std::FILE* in, std::FILE* out, std::string_view prompt,
                                    std::string initial, const std::string& folder) {
  const platform::RawKeyMode raw(in);
  std::fprintf(out, "%.*s", static_cast<int>(prompt.size()), prompt.data());
  if (!raw.active()) {
    std::fflush(out);
    return PlainLine(in);
  }
  std::string line = std::move(initial);
  const auto redraw = [&] {
    std::fprintf(out, "\r%.*s%s\x1b[K", static_cast<int>(prompt.size()), prompt.data(),
                 line.c_str());
    std::fflush(out);
  };
  redraw();
  for (int c = std::fgetc(in); c != EOF; c = std::fgetc(in)) {
    if (c == '\r' || c == '\n') {
      std::fputs("\r\n", out);
      return line;
    }
    if (c == kCtrlC || (c == kCtrlD && line.empty())) {
      std::fputs("\r\n", out);
      return std::nullopt;
    }
    if (c == '\t') {
      const PathCompletion completion = CompletePath(line, folder);
      if (completion.text == line && completion.choices.size() > 1) {
        std::fputs("\r\n", out);
        for (const std::string& choice : completion.choices)
          std::fprintf(out, "%s  ", choice.c_str());
        std::fputs("\r\n", out);
      }
      line = completion.text;
    } else if (c == kBackspace || c == kCtrlH) {
      if (!line.empty()) line.pop_back();
    } else if (c == kEscape) {
      SkipEscapeSequence(in);
    } else if (static_cast<unsigned char>(c) >= 32) {
      line += static_cast<char>(c);
    }
    redraw();
  }
  std::fputs("\r\n", out);
  return std::nullopt;
}

}  // namespace tarvik::host
