#include <gtest/gtest.h>

#include <string>

#include "ftp/session/scrambled_text.h"
#include "ftp/session/server_name.h"

namespace tarvik {
namespace {

// Scrambles `plain` with the key 'f', whose digit letters are 'a'..'j'.
std::string Scramble(const std::string& plain) {
  std::string text = "abf";
  for (unsigned char c : plain) {
    const std::string digits = std::to_string(c);
    text.push_back(static_cast<char>(110 + digits.size()));
    for (char d : digits) text.push_back(static_cast<char>('a' + (d - '0')));
  }
  return text + "yz";
}

TEST(ScrambledTextTest, DecodesRuns) {
  EXPECT_EQ(DecodeScrambledAnsi("abfphcqbafyz"), "Hi");
  EXPECT_EQ(DecodeScrambledAnsi("  " + Scramble("ftp.example.org") + " "), "ftp.example.org");
  EXPECT_EQ(DecodeScrambledAnsi(Scramble("p@ss w0rd!")), "p@ss w0rd!");
}

TEST(ScrambledTextTest, MalformedGivesEmpty) {
  const std::string good = Scramble("user");
  EXPECT_EQ(DecodeScrambledAnsi(good.substr(2)), "");                   // no leading "ab"
  EXPECT_EQ(DecodeScrambledAnsi(good.substr(0, good.size() - 2)), "");  // no trailing "yz"
  EXPECT_EQ(DecodeScrambledAnsi("abyz"), "");
  EXPECT_EQ(DecodeScrambledAnsi("abfyz"), "");
  EXPECT_EQ(DecodeScrambledAnsi("abfphzyz"), "");      // 'z' is no digit for key 'f'
  EXPECT_EQ(DecodeScrambledAnsi("abfohyz"), "");       // run length 1
  EXPECT_EQ(DecodeScrambledAnsi("abfqhcyz"), "");      // run cut short
  EXPECT_EQ(DecodeScrambledAnsi("abfpaayz"), "");      // code 0
  EXPECT_EQ(DecodeScrambledAnsi("abfqcfgyz"), "");     // code 256: a trail byte of 0
  EXPECT_EQ(DecodeScrambledAnsi("abfsggggggyz"), "");  // code above 65535
}

TEST(ServerNameTest, Normalised) {
  EXPECT_EQ(NormaliseServerName("ftp://ftp.example.org/"), "ftp.example.org");
  EXPECT_EQ(NormaliseServerName("FTP://host:21/"), "host");
  EXPECT_EQ(NormaliseServerName("https://host\\"), "host");
  EXPECT_EQ(NormaliseServerName("host:21"), "host");
  EXPECT_EQ(NormaliseServerName("host:2121"), "host:2121");
  EXPECT_EQ(NormaliseServerName("127.0.0.1"), "127.0.0.1");
}

}  // namespace
}  // namespace tarvik
