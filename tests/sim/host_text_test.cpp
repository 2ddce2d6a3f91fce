// The text rules every tier leans on, row by row: UTF-8 both ways at each length of sequence
// and at the edges of each, what becomes U+FFFD, and the leading number of a text.
#include <gtest/gtest.h>

#include <string>

#include "host/text.h"
#include "rows.h"

namespace {

struct Utf8Case {
  const char* name;
  std::string utf8;
  host::Text text;
  bool both;  // false: decoded only (the text does not encode back to these bytes)
};
const Utf8Case kUtf8Rows[] = {
    {"ascii", "A~\x7F", u"A~\x7F", true},
    {"two_bytes", "\xC2\x80\xC3\xA9\xDF\xBF", u"\u0080\u00E9\u07FF", true},
    {"ordinal_and_bullet", "\xC2\xBA\xE2\x80\xA2", u"\u00BA\u2022", true},
    {"three_byte_edges", "\xE0\xA0\x80\xEF\xBF\xBF", u"\u0800\uFFFF", true},
    {"around_the_surrogates", "\xED\x9F\xBF\xEE\x80\x80", u"\uD7FF\uE000", true},
    {"four_bytes_as_a_pair", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF1\x80\x80\x80\xF4\x8F\xBF\xBF",
     u"\U00010000\U0001F600\U00040000\U0010FFFF", true},
    {"truncated_at_the_end", "a\xC3", u"a\uFFFD", false},
    {"truncated_three_bytes", "\xE2\x80", u"\uFFFD\uFFFD", false},
    {"truncated_four_bytes", "\xF0\x9F\x98", u"\uFFFD\uFFFD\uFFFD", false},
    {"lone_continuation", "\x80z", u"\uFFFDz", false},
};
using Utf8 = Rows<::testing::Test, Utf8Case>;

TEST_P(Utf8, DecodesAndEncodesEachRow) {
  const Utf8Case& c = GetParam();
  EXPECT_EQ(host::FromUtf8(c.utf8), c.text);
  if (c.both) {
    EXPECT_EQ(host::ToUtf8(c.text), c.utf8);
  }
}
INSTANTIATE_TEST_SUITE_P(Text, Utf8, ::testing::ValuesIn(kUtf8Rows), RowName());

TEST(Text, LoneSurrogatesEncodeAsTheReplacementCharacter) {
  // Unpaired: high halves before 'x', another high half, U+E000 or the end; low halves alone
  // and after U+D7FF.
  EXPECT_EQ(host::ToUtf8(host::Text{0xD800, u'x', 0xDC00, 0xDC00, 0xD7FF, 0xDC00, 0xD800, 0xDBFF,
                                    0xD800, 0xE000, 0xDFFF, 0xD83D}),
            "\xEF\xBF\xBDx\xEF\xBF\xBD\xEF\xBF\xBD\xED\x9F\xBF\xEF\xBF\xBD\xEF\xBF\xBD"
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEE\x80\x80\xEF\xBF\xBD\xEF\xBF\xBD");
}

// 1-based cuts: from the first unit, to past the end, and the starts that give nothing.
TEST(Text, MidAndRightCutAtTheirEdges) {
  const host::Text abc = u"abc";
  EXPECT_EQ(host::Mid(abc, 1, 2), u"ab");
  EXPECT_EQ(host::Mid(abc, 3, 5), u"c");
  EXPECT_EQ(host::Mid(abc, 0, 1), u"");
  EXPECT_EQ(host::Mid(abc, 4, 1), u"");
  EXPECT_EQ(host::Right(abc, 2), u"bc");
  EXPECT_EQ(host::Right(abc, 5), u"abc");
}

struct NumberCase {
  const char* name;
  host::Text text;
  double value;
};
const NumberCase kNumberRows[] = {
    {"digits", u"42", 42},
    {"blanks_first", u" \t7", 7},
    {"minus", u"-4", -4},
    {"plus", u"+5", 5},
    {"one_point", u"3.5", 3.5},
    {"second_point_ends_it", u"1.2.3", 1.2},
    {"letters_end_it", u"5x9", 5},
    {"an_exponent_ends_it", u"2e3", 2},
    {"no_number", u"abc", 0},
    {"empty", u"", 0},
    {"a_sign_alone", u"-", 0},
    {"a_point_alone", u".", 0},
    {"blank_after_the_sign", u"- 3", 0},
};
using LeadingNumber = Rows<::testing::Test, NumberCase>;

TEST_P(LeadingNumber, OfEachRow) {
  EXPECT_EQ(host::Val(GetParam().text), GetParam().value);
}
INSTANTIATE_TEST_SUITE_P(Text, LeadingNumber, ::testing::ValuesIn(kNumberRows), RowName());

}  // namespace
