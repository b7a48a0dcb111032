// The first words of a listing line, with where each ends, so that the text after any of them
// (a name with its own blanks) can be taken from the line as it came.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace tarvik {

struct ListingWord {
  std::string_view text;
  std::size_t end = 0;  // position in the line just after the word
};

// Words are separated by runs of blanks and TABs. A Chinese, Japanese or Korean year, month or
// day sign (年 月 日, 년 월 일) also ends a word, so "2019年1月5日" is the three words "2019年",
// "1月", "5日". Only the first kMaxWords words are read: every column that precedes a name lies
// within them. Words are read as they are asked for, so a name after the date is never split.
class ListingWords {
 public:
  static constexpr std::size_t kMaxWords = 12;

  explicit ListingWords(std::string_view line) : line_(line) {}

  // The word at `index`; an empty word past the last one.
  const ListingWord& operator[](std::size_t index) const {
    while (count_ <= index && ReadNext()) {
    }
    return index < count_ ? words_[index] : kNone;
  }

 private:
  // Reads one more word; false when the line or the room for words has run out.
  bool ReadNext() const;

  static constexpr ListingWord kNone{};
  std::string_view line_;
  mutable std::array<ListingWord, kMaxWords> words_{};
  mutable std::size_t count_ = 0;
  mutable std::size_t position_ = 0;  // where the next word is looked for
};

// Length of the date sign (年 月 日 년 월 일, three bytes in UTF-8) at the start of `text`, else 0.
std::size_t DateSignLength(std::string_view text);

}  // namespace tarvik
