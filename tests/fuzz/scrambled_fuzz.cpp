// The scrambled-credential decoder over any text: what it decodes holds no NUL (it would end the
// command line early) and is never longer than the scrambled text; and any text of non-NUL bytes,
// scrambled with any key whose digit letters are bytes, decodes back to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ftp/session/scrambled_text.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Each byte as a run of three digit letters ("072"), announced by the length letter 'q'.
std::string Scramble(std::string_view plain, unsigned char key) {
  std::string text = "ab";
  text += static_cast<char>(key);
  for (char c : plain) {
    const int code = static_cast<unsigned char>(c);
    text += static_cast<char>(110 + 3);
    for (int digit : {code / 100, code / 10 % 10, code % 10})
      text += static_cast<char>(key + digit - 5);
  }
  return text + "yz";
}

}  // namespace

// The first byte is the key of the round trip; the rest is the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string plain = tarvik::DecodeScrambledAnsi(text);
  FUZZ_CHECK(plain.find('\0') == std::string::npos);
  FUZZ_CHECK(plain.size() <= size);

  if (size == 0) return 0;
  // The digit letters key-5 .. key+4 are bytes for keys 6..251.
  const auto key = static_cast<unsigned char>(data[0] % 246 + 6);
  std::string original(text.substr(1));
  std::erase(original, '\0');
  FUZZ_CHECK(tarvik::DecodeScrambledAnsi(Scramble(original, key)) == original);
  return 0;
}
