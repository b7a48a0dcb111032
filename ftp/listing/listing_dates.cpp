#include "ftp/listing/listing_dates.h"

#include <array>
#include <chrono>
#include <string>

#include "ftp/listing/listing_text.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {

using platform::SystemTime;

// Month names and abbreviations, folded to lower case. A word is a month when it begins with one
// of them; the longest that fits wins ("marras" is November, "mar" March).
struct MonthName {
  std::string_view prefix;
  int month;
};
// One language or group per line; the table reads better unwrapped.
// clang-format off
constexpr MonthName kMonthNames[] = {
    // English, German, French, Spanish, Italian, Portuguese, Dutch, Scandinavian
    {"jan", 1}, {"jän", 1}, {"ene", 1}, {"gen", 1}, {"feb", 2}, {"fév", 2}, {"fev", 2},
    {"mar", 3}, {"mär", 3}, {"mrz", 3}, {"mrt", 3}, {"apr", 4}, {"avr", 4}, {"abr", 4},
    {"may", 5}, {"mai", 5}, {"mag", 5}, {"mei", 5}, {"maj", 5}, {"jun", 6}, {"juin", 6},
    {"giu", 6}, {"jul", 7}, {"juil", 7}, {"lug", 7}, {"aug", 8}, {"aoû", 8}, {"ago", 8},
    {"sep", 9}, {"set", 9}, {"oct", 10}, {"okt", 10}, {"ott", 10}, {"out", 10}, {"nov", 11},
    {"dec", 12}, {"dez", 12}, {"déc", 12}, {"dic", 12}, {"des", 12},
    // Hungarian
    {"márc", 3}, {"ápr", 4}, {"máj", 5}, {"jún", 6}, {"júl", 7}, {"szept", 9},
    // Polish, Czech
    {"sty", 1}, {"lut", 2}, {"kwi", 4}, {"cze", 6}, {"lip", 7}, {"sie", 8}, {"wrz", 9},
    {"paź", 10}, {"lis", 11}, {"gru", 12}, {"led", 1}, {"úno", 2}, {"bře", 3}, {"dub", 4},
    {"kvě", 5}, {"čvn", 6}, {"čer", 6}, {"čvc", 7}, {"srp", 8}, {"zář", 9}, {"říj", 10},
    {"pro", 12},
    // Finnish, Turkish
    {"tammi", 1}, {"helmi", 2}, {"maalis", 3}, {"huhti", 4}, {"touko", 5}, {"kesä", 6},
    {"heinä", 7}, {"elo", 8}, {"syys", 9}, {"loka", 10}, {"marras", 11}, {"joulu", 12},
    {"oca", 1}, {"şub", 2}, {"nis", 4}, {"haz", 6}, {"tem", 7}, {"ağu", 8}, {"eyl", 9},
    {"eki", 10}, {"kas", 11}, {"ara", 12},
    // Russian, Ukrainian
    {"янв", 1}, {"фев", 2}, {"мар", 3}, {"апр", 4}, {"май", 5}, {"мая", 5}, {"июн", 6},
    {"июл", 7}, {"авг", 8}, {"сен", 9}, {"окт", 10}, {"ноя", 11}, {"дек", 12}, {"січ", 1},
    {"лют", 2}, {"бер", 3}, {"кві", 4}, {"тра", 5}, {"чер", 6}, {"лип", 7}, {"сер", 8},
    {"вер", 9}, {"жов", 10}, {"лис", 11}, {"гру", 12},
};
// clang-format on

constexpr std::size_t kLongestMonthWord = 24;  // bytes; "września" and Cyrillic fit

// One word of a line, read as a part of a date.
struct DateWord {
  enum class Kind { kOther, kNumber, kMonth, kTime, kFullDate };
  Kind kind = Kind::kOther;
  int value = 0;   // kNumber: the number; kMonth: 1..12
  int digits = 0;  // kNumber: how many digits
  char mark = 0;   // kNumber: what follows the digits: 0, '.', ',', 'Y' (年 년), 'D' (日 일);
                   // kMonth: 'M' when written as a number with 月 or 월
  ListingDateWords date;  // kTime: the time fields; kFullDate: year, month, day
};

bool IsNumber(const DateWord& word, int min_digits, int max_digits, std::string_view marks) {
  return word.kind == DateWord::Kind::kNumber && word.digits >= min_digits &&
         word.digits <= max_digits &&
         (word.mark == 0 ? marks.find('0') : marks.find(word.mark)) != std::string_view::npos;
}

bool IsDay(const DateWord& word) {
  return IsNumber(word, 1, 2, "0.,D");
}

bool IsYear(const DateWord& word) {
  return IsNumber(word, 4, 4, "0.,Y");
}

// Leading decimal digits of `text` (at most nine); their count is the second value.
std::pair<int, std::size_t> LeadingDigits(std::string_view text) {
  int value = 0;
  std::size_t count = 0;
  while (count < text.size() && count < 9 && listing_text::IsDigit(text[count])) {
    value = value * 10 + (text[count] - '0');
    ++count;
  }
  return {value, count};
}

std::optional<int> Digits(std::string_view text, std::size_t min, std::size_t max) {
  if (text.size() < min || text.size() > max) return std::nullopt;
  return listing_text::ParseDigits(text);
}

// "H:MM", "HH:MM:SS[.fraction]", "0:0", with an optional "AM"/"PM"/"A"/"P" glued on.
bool ReadTime(std::string_view text, ListingDateWords& time) {
  std::size_t pos = 0;
  int fields[3] = {0, 0, 0};
  int count = 0;
  while (count < 3) {
    const auto [value, digits] = LeadingDigits(text.substr(pos));
    if (digits == 0 || digits > 2) return false;
    fields[count++] = value;
    pos += digits;
    if (pos >= text.size() || text[pos] != ':') break;
    ++pos;
  }
  if (count < 2) return false;
  // Fractions of a second ("12:30:45.000000000", as ls --full-time writes them) are dropped.
  if (count == 3 && pos < text.size() && text[pos] == '.') {
    ++pos;
    while (pos < text.size() && listing_text::IsDigit(text[pos])) ++pos;
  }
  const std::string_view designator = text.substr(pos);
  if (!designator.empty()) {
    const char letter = platform::LowerAscii(designator[0]);
    if ((letter != 'a' && letter != 'p') ||
        !(designator.size() == 1 ||
          (designator.size() == 2 && platform::LowerAscii(designator[1]) == 'm')))
      return false;
    time.designator = letter == 'a' ? 'A' : 'P';
  }
  time.has_time = true;
  time.hour = fields[0];
  time.minute = fields[1];
  time.second = fields[2];
  return true;
}

// "2005-04-08", "1999/10/12", "24-04-2003", "2004.07.15", "01-jun-99", "01-05-19". Without a
// four-digit year first, a day above 12 shows the order; otherwise "." dates are day-month-year
// and the others month-day-year, as DOS and IIS write them.
bool ReadFullDate(std::string_view text, char separator, ListingDateWords& date) {
  const std::size_t first = text.find(separator);
  const std::size_t second = text.find(separator, first + 1);
  if (second == std::string_view::npos ||
      text.find(separator, second + 1) != std::string_view::npos)
    return false;
  const std::string_view a = text.substr(0, first);
  const std::string_view b = text.substr(first + 1, second - first - 1);
  const std::string_view c = text.substr(second + 1);
  const auto month_of = [](std::string_view part) -> std::optional<int> {
    if (auto number = Digits(part, 1, 2)) return number;
    if (const int month = MonthNumber(part); month != 0) return month;
    return std::nullopt;
  };
  if (const auto year = Digits(a, 4, 4)) {
    const auto month = month_of(b);
    const auto day = Digits(c, 1, 2);
    if (!month || !day) return false;
    date.year = *year;
    date.month = *month;
    date.day = *day;
    return true;
  }
  const auto x = Digits(a, 1, 2);
  const auto year = c.size() == 3 ? std::nullopt : Digits(c, 2, 4);
  if (!x || !year) return false;
  date.year = *year;
  date.two_digit_year = c.size() == 2;
  if (const auto y = Digits(b, 1, 2)) {
    const bool day_first = *x > 12 || (*y <= 12 && separator == '.');
    date.day = day_first ? *x : *y;
    date.month = day_first ? *y : *x;
  } else if (const int month = MonthNumber(b); month != 0) {
    date.day = *x;
    date.month = month;
  } else {
    return false;
  }
  return true;
}

DateWord Classify(std::string_view text) {
  DateWord word;
  if (text.empty()) return word;
  if (!listing_text::IsDigit(text.front())) {
    word.value = MonthNumber(text);
    if (word.value != 0) word.kind = DateWord::Kind::kMonth;
    return word;
  }
  const auto [value, digits] = LeadingDigits(text);
  const std::string_view rest = text.substr(digits);
  if (rest.empty() || rest == "." || rest == ",") {
    word.kind = DateWord::Kind::kNumber;
    word.value = value;
    word.digits = static_cast<int>(digits);
    word.mark = rest.empty() ? 0 : rest.front();
  } else if (DateSignLength(rest) == rest.size()) {
    // 年 is E5 B9 B4, 月 E6 9C 88, 日 E6 97 A5; 년 EB 85 84, 월 EC 9B 94, 일 EC 9D BC.
    const bool month = rest == "\u6708" || rest == "\uC6D4";
    const bool year = rest == "\u5E74" || rest == "\uB144";
    word.kind = month ? DateWord::Kind::kMonth : DateWord::Kind::kNumber;
    word.value = value;
    word.digits = static_cast<int>(digits);
    word.mark = month ? 'M' : year ? 'Y' : 'D';
    if (month && (value < 1 || value > 12)) word.kind = DateWord::Kind::kOther;
  } else if (rest.front() == ':') {
    if (ReadTime(text, word.date)) word.kind = DateWord::Kind::kTime;
  } else if (rest.front() == '-' || rest.front() == '/' || rest.front() == '.') {
    if (ReadFullDate(text, rest.front(), word.date)) word.kind = DateWord::Kind::kFullDate;
  }
  return word;
}

bool IsZoneOffset(std::string_view word) {
  return word.size() == 5 && (word[0] == '+' || word[0] == '-') &&
         listing_text::ParseDigits(word.substr(1)).has_value();
}

void TakeTime(const DateWord& word, ListingDateWords& date) {
  date.has_time = true;
  date.hour = word.date.hour;
  date.minute = word.date.minute;
  date.second = word.date.second;
  date.designator = word.date.designator;
}

// Days since the epoch of a year, month and day; a day past the month's end counts on into the
// next month (31 February is 3 March), so that any day 1..31 compares sensibly.
std::chrono::sys_days DayNumber(int year, int month, int day) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} / 1} +
         days{day - 1};
}

// 1..12 for a three-letter English month name in any letter case, else 0: the common case, read
// without the table.
int EnglishMonthNumber(std::string_view word) {
  if (word.size() != 3) return 0;
  const auto key = [](char a, char b, char c) {
    return (static_cast<unsigned>(static_cast<unsigned char>(a)) << 16) |
           (static_cast<unsigned>(static_cast<unsigned char>(b)) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(c));
  };
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                 "jul", "aug", "sep", "oct", "nov", "dec"};
  const unsigned wanted = key(platform::LowerAscii(word[0]), platform::LowerAscii(word[1]),
                              platform::LowerAscii(word[2]));
  for (std::size_t i = 0; i < std::size(kMonths); ++i) {
    if (key(kMonths[i][0], kMonths[i][1], kMonths[i][2]) == wanted) return static_cast<int>(i) + 1;
  }
  return 0;
}

}  // namespace

int MonthNumber(std::string_view word) {
  if (const int month = EnglishMonthNumber(word); month != 0) return month;
  while (!word.empty() && (word.back() == '.' || word.back() == ',')) word.remove_suffix(1);
  if (word.size() < 3 || word.size() > kLongestMonthWord) return 0;
  std::array<char, kLongestMonthWord> ascii{};
  std::string folded;
  std::string_view lower;
  bool plain = true;
  for (char c : word) plain = plain && static_cast<unsigned char>(c) < 0x80;
  if (plain) {
    for (std::size_t i = 0; i < word.size(); ++i) {
      const char c = platform::LowerAscii(word[i]);
      if (c < 'a' || c > 'z') return 0;
      ascii[i] = c;
    }
    lower = std::string_view(ascii.data(), word.size());
  } else {
    folded = platform::FoldCase(word);
    lower = folded;
  }
  int month = 0;
  std::size_t longest = 0;
  for (const MonthName& name : kMonthNames) {
    if (name.prefix[0] != lower[0]) continue;
    if (name.prefix.size() > longest && lower.substr(0, name.prefix.size()) == name.prefix) {
      month = name.month;
      longest = name.prefix.size();
    }
  }
  return month;
}

std::optional<ListingDateWords> MatchListingDate(const ListingWords& words, std::size_t at) {
  using Kind = DateWord::Kind;
  // A month name is followed by a day: the name is looked up only then.
  const std::string_view text = words[at].text;
  if (text.empty() ||
      (!listing_text::IsDigit(text.front()) &&
       (words[at + 1].text.empty() || !listing_text::IsDigit(words[at + 1].text.front()))))
    return std::nullopt;
  const DateWord first = Classify(text);
  if (first.kind == Kind::kOther || first.kind == Kind::kTime) return std::nullopt;
  ListingDateWords date;
  std::size_t next = at + 1;
  if (first.kind == Kind::kFullDate) {
    date = first.date;
  } else {
    const DateWord second = Classify(words[at + 1].text);
    if (second.kind != Kind::kNumber && second.kind != Kind::kMonth) return std::nullopt;
    const DateWord third = Classify(words[at + 2].text);
    next = at + 3;
    const bool year_or_time = IsYear(third) || third.kind == Kind::kTime;
    if (first.kind == Kind::kMonth && IsDay(second) && year_or_time) {
      date.month = first.value;
      date.day = second.value;
    } else if (IsNumber(first, 1, 2, "0.D") && second.kind == Kind::kMonth && year_or_time) {
      date.day = first.value;
      date.month = second.value;
    } else if (second.kind == Kind::kMonth && IsNumber(third, 1, 2, "0.D") &&
               (IsNumber(first, 4, 4, ".Y") || (IsYear(first) && second.mark == 'M'))) {
      date.year = first.value;
      date.month = second.value;
      date.day = third.value;
    } else {
      return std::nullopt;
    }
    if (third.kind == Kind::kTime) {
      TakeTime(third, date);
      date.next_word = next;
      return date;
    }
    if (date.year == 0) date.year = third.value;
  }
  // A date with its year may carry a time as well, and the time a zone offset ("+0100"), which
  // the name does not include.
  const DateWord time = Classify(words[next].text);
  if (time.kind == Kind::kTime) {
    TakeTime(time, date);
    ++next;
    if (IsZoneOffset(words[next].text)) ++next;
  }
  date.next_word = next;
  return date;
}

std::optional<SystemTime> ResolveListingDate(const ListingDateWords& date,
                                             const SystemTime& today) {
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31) return std::nullopt;
  SystemTime result;
  result.year = date.year;
  if (date.year == 0) {
    result.year = today.year;
    if (DayNumber(result.year, date.month, date.day) >
        DayNumber(today.year, today.month, today.day) + std::chrono::days{2})
      --result.year;
  } else if (date.two_digit_year) {
    const int century = today.year / 100;
    result.year = (date.year <= century + 10 ? century : century - 1) * 100 + date.year;
  }
  result.month = date.month;
  result.day = date.day;
  bool end_of_day = false;
  if (date.has_time) {
    result.hour = date.hour;
    if (date.designator != 0) {
      if (date.hour < 1 || date.hour > 12) return std::nullopt;
      result.hour = date.hour % 12 + (date.designator == 'P' ? 12 : 0);
    } else if (date.hour == 24 && date.minute == 0 && date.second == 0) {
      end_of_day = true;
      result.hour = 0;
    }
    result.minute = date.minute;
    result.second = date.second;
  }
  if (!platform::IsValidSystemTime(result)) return std::nullopt;
  if (end_of_day) {
    const std::chrono::year_month_day next_day{DayNumber(result.year, result.month, result.day) +
                                               std::chrono::days{1}};
    result.year = static_cast<int>(next_day.year());
    result.month = static_cast<int>(static_cast<unsigned>(next_day.month()));
    result.day = static_cast<int>(static_cast<unsigned>(next_day.day()));
    if (!platform::IsValidSystemTime(result)) return std::nullopt;
  }
  return result;
}

std::optional<SystemTime> ComposeLocalDate(std::string_view year, std::string_view month,
                                           std::string_view day) {
  const auto y = listing_text::ParseDigits(platform::Trim(year, platform::kSpaces));
  const auto m = listing_text::ParseDigits(platform::Trim(month, platform::kSpaces));
  const auto d = listing_text::ParseDigits(platform::Trim(day, platform::kSpaces));
  if (!y || !m || !d) return std::nullopt;
  SystemTime date;
  date.year = *y;
  date.month = *m;
  date.day = *d;
  if (!platform::IsValidSystemTime(date)) return std::nullopt;
  return date;
}

std::optional<SystemTime> GetMLSDFileTime(std::string_view value) {
  value = platform::Trim(value, platform::kSpaces);
  value = value.substr(0, value.find('.'));
  if (value.size() > 14) value = value.substr(0, 14);
  if (value.size() != 14) return std::nullopt;
  auto utc = ComposeLocalDate(value.substr(0, 4), value.substr(4, 2), value.substr(6, 2));
  const auto hour = listing_text::ParseDigits(value.substr(8, 2));
  const auto minute = listing_text::ParseDigits(value.substr(10, 2));
  const auto second = listing_text::ParseDigits(value.substr(12, 2));
  if (!utc || !hour || !minute || !second) return std::nullopt;
  utc->hour = *hour;
  utc->minute = *minute;
  utc->second = *second;
  return platform::UtcToLocal(*utc);
}

}  // namespace tarvik
