#include "platform/text/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <utility>

#include "platform/text/utf8_sequence.h"

namespace tarvik::platform {
namespace {

using utf8::AppendUtf8;
using utf8::CodePointOf;
using utf8::Sanitized;
using utf8::SequenceLength;

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kDefaultChar = '?';
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The iconv name of a Windows code page.
std::string IconvName(unsigned code_page) {
  switch (code_page) {
    case 936:
      return "GBK";
    case 950:
      return "BIG5";
    case 20127:
      return "ASCII";
    case 20866:
      return "KOI8-R";
    case 21866:
      return "KOI8-U";
    case 51949:
      return "EUC-KR";
    case 54936:
      return "GB18030";
    default:
      break;
  }
  if (code_page >= 28591 && code_page <= 28606)
    return "ISO-8859-" + std::to_string(code_page - 28590);
  return "CP" + std::to_string(code_page);
}

// Converters by (code page, direction), opened once per thread and kept; iconv_t is not shareable
// between threads.
class ConverterCache {
 public:
  ~ConverterCache() {
    for (auto& [key, cd] : converters_)
      if (cd != kNoConverter) iconv_close(cd);
  }
  iconv_t Get(unsigned code_page, bool to_utf8) {
    const auto key = std::make_pair(code_page, to_utf8);
    auto found = converters_.find(key);
    if (found == converters_.end()) {
      const std::string name = IconvName(code_page);
      iconv_t cd = to_utf8 ? iconv_open("UTF-8", name.c_str()) : iconv_open(name.c_str(), "UTF-8");
      found = converters_.emplace(key, cd).first;
    }
    if (found->second != kNoConverter) iconv(found->second, nullptr, nullptr, nullptr, nullptr);
    return found->second;
  }

 private:
  std::map<std::pair<unsigned, bool>, iconv_t> converters_;
};

iconv_t Converter(unsigned code_page, bool to_utf8) {
  thread_local ConverterCache cache;
  return cache.Get(code_page, to_utf8);
}

// The bytes code page 1252 leaves unassigned; they stand for the C1 controls of the same number.
bool IsUnassignedIn1252(unsigned value) {
  return value == 0x81 || value == 0x8D || value == 0x8F || value == 0x90 || value == 0x9D;
}

// Runs `cd` over `input`; at each position it cannot convert, `on_stop` appends a substitute to
// the output and returns how many input bytes to skip.
template <typename OnStop>
std::string RunConverter(iconv_t cd, std::string_view input, OnStop on_stop) {
  std::string out;
  out.reserve(input.size() + input.size() / 2);
  char buffer[4096];
  char* in = const_cast<char*>(input.data());  // iconv's signature; the input is not written
  std::size_t in_left = input.size();
  while (in_left > 0) {
    char* out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    const std::size_t result = iconv(cd, &in, &in_left, &out_ptr, &out_left);
    const int error = errno;
    out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
    if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
    const std::size_t skip = on_stop(std::string_view(in, in_left), out);
    in += skip;
    in_left -= skip;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

unsigned Resolve(unsigned code_page) {
  return code_page == kCodePageAnsi ? AnsiCodePage() : code_page;
}

}  // namespace

bool IsKnownCodePage(unsigned code_page) {
  if (code_page == kCodePageAnsi || code_page == kCodePageUtf8) return true;
  return Converter(code_page, true) != kNoConverter && Converter(code_page, false) != kNoConverter;
}

std::optional<std::string> MultiByteToUtf8(std::string_view bytes, unsigned code_page) {
  code_page = Resolve(code_page);
  if (code_page == kCodePageUtf8) return Sanitized(bytes, kReplacementCharacter);
  iconv_t cd = Converter(code_page, true);
  if (cd == kNoConverter) return std::nullopt;
  return RunConverter(cd, bytes, [code_page](std::string_view rest, std::string& out) {
    const auto value = static_cast<unsigned char>(rest.front());
    if (code_page == 1252 && IsUnassignedIn1252(value))
      AppendUtf8(out, value);
    else
      out += kReplacementCharacter;
    return std::size_t{1};
  });
}

std::optional<std::string> Utf8ToMultiByte(std::string_view text, unsigned code_page) {
  code_page = Resolve(code_page);
  const std::string clean = Sanitized(text, std::string_view(&kDefaultChar, 1));
  if (code_page == kCodePageUtf8) return clean;
  iconv_t cd = Converter(code_page, false);
  if (cd == kNoConverter) return std::nullopt;
  return RunConverter(cd, clean, [code_page](std::string_view rest, std::string& out) {
    std::size_t length = SequenceLength(rest);
    if (length == 0) length = 1;  // cannot happen on sanitized input; never stall
    const unsigned code_point = CodePointOf(rest, length);
    if (code_page == 1252 && IsUnassignedIn1252(code_point))
      out += static_cast<char>(code_point);
    else
      out += kDefaultChar;
    return length;
  });
}

}  // namespace tarvik::platform
