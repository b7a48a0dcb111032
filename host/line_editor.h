// One line typed at a terminal, with the editing a path entry needs: characters are added at the
// end, Backspace removes the last one, Tab completes the path being typed (the piece after the
// last "|") from the file system, a Tab that can complete nothing more lists the choices, Enter
// ends the line, and Ctrl-C or Ctrl-D cancel. Arrow and function keys are ignored. When `in` is no
// terminal a plain line is read (nothing is completed).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvik::host {

// The line typed after `prompt` (which stays on one line), starting from `initial`, relative
// paths completed from `folder`; nullopt when cancelled or at the end of input.
std::optional<std::string> EditLine(std::FILE* in, std::FILE* out, std::string_view prompt,
                                    std::string initial, const std::string& folder);

struct PathCompletion {
  std::string text;                  // `text` with its last path made as long as the choices allow
  std::vector<std::string> choices;  // the names that fit, in name order ("/" after a folder)
};

// Completes the last "|"-separated piece of `text`, a host path ("~/" is the home folder),
// relative ones from `folder`: a single choice is taken whole (a folder with its "/"), several
// extend it to their common beginning.
PathCompletion CompletePath(std::string_view text, const std::string& folder);

}  // namespace tarvik::host
