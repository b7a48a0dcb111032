#include "ftp/listing/ftp_file.h"

#include "ftp/listing/listing_text.h"
#include "platform/text/ascii_text.h"

namespace tarvik {

std::string CFtpFile::LastWriteTime() const {
  return TimeTextWithoutSeconds(Text(kTime));
}

void CFtpFile::SetText(Field field, std::string_view value) {
  const std::size_t begin = Begin(field);
  const std::size_t end = End(field);
  if (end == texts_.size()) {
    // The last text set so far (the parser sets them in order): cut and append.
    texts_.resize(begin);
    texts_ += value;
  } else {
    texts_.replace(begin, end - begin, value);
  }
  for (int later = field; later < kPath; ++later) {
    ends_[later] = static_cast<std::uint32_t>(ends_[later] + value.size() - (end - begin));
  }
  NoteChange();
}

void CFtpFile::Seal() {
  texts_.shrink_to_fit();
  sealed_ = true;
}

std::string TimeTextWithoutSeconds(std::string_view text) {
  const std::size_t first = text.find(':');
  if (first == std::string_view::npos || first == 0) return std::string(text);
  const std::size_t second = text.find(':', first + 1);
  if (second == std::string_view::npos) return std::string(text);
  std::string result(platform::Trim(text.substr(0, second), platform::kSpaces));
  // Skip the ":" and the two digits of the seconds.
  const std::string_view tail =
      second + 3 < text.size() ? platform::Trim(text.substr(second + 3), platform::kSpaces) : "";
  if (!tail.empty()) {
    result += ' ';
    result += tail;
  }
  return result;
}

}  // namespace tarvik
