// Small helpers of the tests that run programs and look at what they left on the host: a file's
// whole contents, and a text quoted for the shell.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tarvik::test {

// The whole contents of a host file; "" when it cannot be read.
inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// `text` as one word for /bin/sh: in single quotes, a quote inside written as '\''.
inline std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace tarvik::test
