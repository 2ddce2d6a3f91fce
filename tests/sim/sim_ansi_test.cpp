// The simulated desktop's code page, Windows-1252: the 0x80-0x9F table, the default
// character, and bytes that come back whole.
#include <gtest/gtest.h>

#include <string>

#include "host/text.h"

namespace {

TEST(Ansi, TheHighControlRangeFollowsWindows1252) {
  const char16_t expected[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  for (int i = 0; i < 32; ++i) {
    std::string byte(1, static_cast<char>(0x80 + i));
    EXPECT_EQ(host::FromAnsi(byte), host::Text(1, expected[i])) << "byte " << 0x80 + i;
    EXPECT_EQ(host::ToAnsi(host::Text(1, expected[i])), byte) << "byte " << 0x80 + i;
  }
}

TEST(Ansi, AsciiAndLatin1MapToThemselves) {
  for (int b = 0; b < 256; ++b) {
    if (b >= 0x80 && b < 0xA0) continue;
    std::string byte(1, static_cast<char>(b));
    EXPECT_EQ(host::FromAnsi(byte), host::Text(1, static_cast<char16_t>(b))) << b;
    EXPECT_EQ(host::ToAnsi(host::Text(1, static_cast<char16_t>(b))), byte) << b;
  }
}

TEST(Ansi, CharactersWithoutACounterpartBecomeQuestionMarks) {
  const std::pair<host::Text, std::string> cases[] = {
      {u"\u0080", "?"},  // the C1 control whose byte holds the euro sign
      {u"\u0100", "?"},         {u"\u4E00x", "?x"},
      {u"a\U0001F600b", "a?b"},  // one default character for a surrogate pair
      {u"\xD800z", "?z"},        // a lone surrogate
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(host::ToAnsi(text), bytes);
}

TEST(Ansi, EveryByteComesBackIncludingNuls) {
  const std::string bytes("a\0b\0\0", 5);
  EXPECT_EQ(host::FromAnsi(bytes), host::Text(u"a\0b\0\0", 5));
  EXPECT_EQ(host::ToAnsi(host::Text(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(host::ToAnsi(u"\u2022 \u00BA\u2022"), "\x95\x20\xBA\x95");
}

}  // namespace
