// The ANSI code page at the window functions' boundary: Windows-1252, which the simulated
// desktop carries as a table and real windows under LANG=C or en_US use.
#include <string>
#include <utility>

#include "host/text.h"
#include "tests/contract/driver.h"

namespace {

using CodePage = contract::HostContract;

TEST_F(CodePage, EveryByteMapsAsWindows1252) {
  // 0x80-0x9F; the five bytes Windows-1252 leaves unassigned come back as the C1 controls.
  const char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
  };
  for (int b = 0; b < 256; ++b) {
    std::string byte(1, static_cast<char>(b));
    char16_t c = b >= 0x80 && b < 0xA0 ? high[b - 0x80] : static_cast<char16_t>(b);
    EXPECT_EQ(host::FromAnsi(byte), host::Text(1, c)) << "byte " << b;
    EXPECT_EQ(host::ToAnsi(host::Text(1, c)), byte) << "byte " << b;
  }
}

TEST_F(CodePage, CharactersWithoutACounterpartBecomeQuestionMarks) {
  const std::pair<host::Text, std::string> cases[] = {
      {u"\u0080", "?"},         // the C1 control whose byte holds the euro sign
      {u"\u0410\u0394", "??"},  // Cyrillic and Greek; Latin letters 1252 lacks get a look-alike
      {u"\u4E00x", "?x"},
      {u"a\U0001F600b", "a??b"},  // each half of a surrogate pair
      {u"\xD800z", "?z"},         // a lone surrogate
      {u"\u2022 \u00BA\u2022 MARIGOLD", "\x95 \xBA\x95 MARIGOLD"},
  };
  for (const auto& [text, bytes] : cases) EXPECT_EQ(host::ToAnsi(text), bytes);
}

TEST_F(CodePage, EveryByteComesBackIncludingNuls) {
  EXPECT_EQ(host::FromAnsi(std::string("a\0b\0\0", 5)), host::Text(u"a\0b\0\0", 5));
  EXPECT_EQ(host::ToAnsi(host::Text(u"a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(host::ToAnsi(u""), "");
  EXPECT_EQ(host::FromAnsi(""), u"");
}

}  // namespace
