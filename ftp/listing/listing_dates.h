// Dates of directory listings: the date words of Unix and DOS lines, the MLSD "modify" fact and
// the local date composer. Every result is a local date and time; the entry keeps it as
// general-date text (platform/time/date_format.h).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "ftp/listing/listing_words.h"
#include "platform/time/local_time.h"

namespace tarvik {

// Error number and procedure name under which an unreadable date is reported.
inline constexpr long kInvalidDateError = 13;
inline constexpr std::string_view kGetDateXProcedure = "GetDateX";

// 1..12 for a month name or its abbreviation in any letter case, in English and in the other
// languages servers list in ("Jan", "janv.", "Mär", "Okt", "márc", "szept", "янв", "paź"),
// else 0.
int MonthNumber(std::string_view word);

// A date as the words of a line write it; what they leave out stays unset.
struct ListingDateWords {
  int year = 0;                 // 0: not written (a Unix date of the last half year)
  bool two_digit_year = false;  // "99" in "01-jun-99"
  int month = 0;
  int day = 0;
  bool has_time = false;
  int hour = 0;
  int minute = 0;
  int second = 0;
  char designator = 0;        // 'A' or 'P' for a 12-hour time, else 0
  std::size_t next_word = 0;  // index of the first word after the date
};

// The date whose first word is words[at], or nullopt when no date begins there. The forms:
//   Jan 05 12:30   Jan 5 2019   Oct 08, 2002 09:47   Mär 25 0:23      month name, day, year/time
//   01 oct 2004    29 Jul 02:27  5. Mai 12:30                          day, month name, year/time
//   2004. febr. 12.                                                     year, month name, day
//   2005-04-08 11:22  1999/10/12  24-04-2003  2004.07.15  01-jun-99  01-05-19 12:30PM
//   12月 24 10:30   1月 5日 2019   2019年1月5日 12:30   12월 24 10:30    with date signs
// A year-form date may be followed by a time. Only the shape is checked here: "Feb 30" and
// "30:00" are dates that ResolveListingDate refuses.
std::optional<ListingDateWords> MatchListingDate(const ListingWords& words, std::size_t at);

// The local date and time the words stand for, or nullopt when no such date exists. A date
// without a year takes the year of `today`, unless that puts it more than two days ahead of
// `today` (a file of 31 December listed on 1 January): then it is last year's, as ls means it.
// The two days allow for a server clock or time zone ahead of ours. A two-digit year yy is
// placed by the current century c: yy <= c + 10 gives c followed by yy, a larger yy gives c - 1
// followed by yy (in 2026: 30 is 2030, 31 is 1931). "24:00" is midnight at the end of the day.
std::optional<platform::SystemTime> ResolveListingDate(const ListingDateWords& date,
                                                       const platform::SystemTime& today);

// A date from its year, month and day written as decimal numbers ("2019", "01", "5"), the day
// starting at midnight; nullopt when a part is not a number or the date does not exist.
std::optional<platform::SystemTime> ComposeLocalDate(std::string_view year, std::string_view month,
                                                     std::string_view day);

// The value of an MLSD "modify" fact, YYYYMMDDHHMMSS[.sss] in UTC, as local time of the system
// time zone. Fractional seconds are dropped. nullopt unless exactly 14 characters remain.
std::optional<platform::SystemTime> GetMLSDFileTime(std::string_view value);

}  // namespace tarvik
