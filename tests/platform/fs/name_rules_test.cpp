#include "platform/fs/name_rules.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

TEST(NameRulesTest, MatchesWildcards) {
  struct Row {
    const char* name;
    const char* pattern;
    bool matches;
  };
  const Row rows[] = {
      {"file.txt", "*", true},     {"file", "*.*", true},
      {"file.txt", "*.TXT", true}, {"file.txt", "*.tx", false},
      {"a.txt", "?.txt", true},    {"ab.txt", "?.txt", false},
      {"abc", "a*c", true},        {"ac", "a*c", true},
      {"abcbc", "a*bc", true},     {"abcb", "a*bc", false},
      {"x.tar.gz", "*.gz", true},  {"FILE.TXT", "file.txt", true},
      {"é.txt", "?.txt", true},    {"", "*", true},
      {"abc", "", false},          {"a.b.c", "*.*.*", true},
  };
  for (const Row& row : rows)
    EXPECT_EQ(MatchesWildcard(row.name, row.pattern), row.matches)
        << row.name << " ~ " << row.pattern;
}

TEST(NameRulesTest, ValidNamesAndHiddenNames) {
  EXPECT_TRUE(IsValidEntryName("report 2019.txt"));
  for (const char* bad :
       {"", ".", "..", "a<b", "a>b", "a:b", "a\"b", "a/b", "a\\b", "a|b", "a?b", "a*b", "a\x01"})
    EXPECT_FALSE(IsValidEntryName(bad)) << bad;
  EXPECT_TRUE(IsHiddenName(".profile"));
  EXPECT_FALSE(IsHiddenName("."));
  EXPECT_FALSE(IsHiddenName(".."));
  EXPECT_FALSE(IsHiddenName("visible"));
  EXPECT_TRUE(HasWildcards("*.txt"));
  EXPECT_FALSE(HasWildcards("x.txt"));
}

}  // namespace
}  // namespace tarvik::platform
