#include "ftp/listing/listing_words.h"

namespace tarvik {
namespace {

constexpr std::string_view kDateSigns[] = {"\u5E74", "\u6708", "\u65E5",   // 年 月 日
                                           "\uB144", "\uC6D4", "\uC77C"};  // 년 월 일

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::size_t DateSignLength(std::string_view text) {
  // Every sign starts with one of these lead bytes; most words hold none of them.
  if (text.empty()) return 0;
  const auto lead = static_cast<unsigned char>(text.front());
  if (lead != 0xE5 && lead != 0xE6 && lead != 0xEB && lead != 0xEC) return 0;
  for (std::string_view sign : kDateSigns) {
    if (text.substr(0, sign.size()) == sign) return sign.size();
  }
  return 0;
}

bool ListingWords::ReadNext() const {
  std::size_t i = position_;
  while (i < line_.size() && IsBlank(line_[i])) ++i;
  if (count_ == kMaxWords || i >= line_.size()) return false;
  const std::size_t start = i;
  while (i < line_.size() && !IsBlank(line_[i])) {
    const std::size_t sign =
        static_cast<unsigned char>(line_[i]) >= 0xE5 ? DateSignLength(line_.substr(i)) : 0;
    if (sign > 0) {
      i += sign;
      break;
    }
    ++i;
  }
  words_[count_++] = {line_.substr(start, i - start), i};
  position_ = i;
  return true;
}

}  // namespace tarvik
