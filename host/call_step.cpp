#include "host/call_step.h"

#include <cctype>

#include "platform/text/ascii_text.h"

namespace tarvik::host {
namespace {

bool IsNameChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// Splits the text between the parentheses into arguments; false with `error` on a bad quote.
bool SplitArguments(std::string_view text, std::vector<std::optional<std::string>>* arguments,
                    std::string* error) {
  if (platform::Trim(text, platform::kWhiteSpace).empty())
    return true;  // "Name()": no arguments at all
  std::string current;
  bool quoted = false;       // the current argument was written in quotes
  bool in_quotes = false;    // inside the quotes right now
  bool after_quote = false;  // the closing quote was seen; only blanks may follow
  auto finish = [&] {
    if (quoted) {
      arguments->emplace_back(current);
    } else {
      std::string_view bare = platform::Trim(current, platform::kWhiteSpace);
      if (bare.empty()) {
        arguments->emplace_back(std::nullopt);
      } else {
        arguments->emplace_back(std::string(bare));
      }
    }
    current.clear();
    quoted = in_quotes = after_quote = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes) {
      if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
        current += text[++i];
      } else if (c == '"') {
        in_quotes = false;
        after_quote = true;
      } else {
        current += c;
      }
      continue;
    }
    if (c == ',') {
      finish();
    } else if (after_quote) {
      if (!std::isspace(static_cast<unsigned char>(c))) {
        *error = "text after a closing quote in argument " + std::to_string(arguments->size() + 1);
        return false;
      }
    } else if (c == '"' && platform::Trim(current, platform::kWhiteSpace).empty()) {
      current.clear();
      quoted = in_quotes = true;
    } else {
      current += c;
    }
  }
  if (in_quotes) {
    *error = "unterminated quote in argument " + std::to_string(arguments->size() + 1);
    return false;
  }
  finish();
  return true;
}

}  // namespace

std::optional<CallStep> ParseCallStep(std::string_view text, std::string* error) {
  std::size_t end = 0;
  while (end < text.size() && IsNameChar(text[end])) ++end;
  CallStep step;
  step.name = std::string(text.substr(0, end));
  if (step.name.empty()) {
    *error = "'" + std::string(text) + "' does not begin with a member name";
    return std::nullopt;
  }
  std::string_view rest = text.substr(end);
  if (rest.empty()) {
    step.kind = CallStep::Kind::kRead;
    return step;
  }
  if (rest.front() == '=') {
    step.kind = CallStep::Kind::kAssign;
    step.arguments.emplace_back(std::string(rest.substr(1)));
    return step;
  }
  if (rest.front() == '(' && rest.back() == ')' && rest.size() >= 2) {
    step.kind = CallStep::Kind::kCall;
    if (!SplitArguments(rest.substr(1, rest.size() - 2), &step.arguments, error)) {
      *error = step.name + ": " + *error;
      return std::nullopt;
    }
    return step;
  }
  *error = "'" + std::string(text) + "': expected Name, Name=value or Name(arguments)";
  return std::nullopt;
}

}  // namespace tarvik::host
