#include "platform/sjis.h"

#include <gtest/gtest.h>

#include "engine/fixed_text.h"
#include "platform/sjis_literal.h"

namespace tumu {
namespace {

using namespace literals;

TEST(SjisLiteral, ConvertsAtCompileTime) {
  constexpr std::string_view sharp_picture = "＃絵"_sj;
  static_assert(sharp_picture == std::string_view("\x81\x94\x8a\x47"));
  EXPECT_EQ(std::string_view("ｱ"_sj), "\xB1");
  EXPECT_EQ(std::string_view("a－～"_sj), "a\x81\x7C\x81\x60");
}

TEST(FindText, NeverMatchesAtASecondByte) {
  // ソ is 0x83 0x5C; a pattern of its second byte and the next byte must not be found in it.
  const std::string text = std::string("ソ"_sj.view()) + "A";
  EXPECT_EQ(FindText(text, "\\A"), kNotFound);
  EXPECT_EQ(FindBytes(text, "\\A"), 1u);
  // 表 (0x95 0x5C) followed by 示: the pattern "\x5C\x8E" straddles two characters.
  const std::string hyouji("表示"_sj.view());
  EXPECT_EQ(FindText(hyouji, hyouji.substr(1, 2)), kNotFound);
  EXPECT_EQ(FindText(hyouji, "示"_sj), 2u);
}

TEST(FindText, FindsFirstAndLastOnCharacterBoundaries) {
  const std::string text("点［１］＋点［２］"_sj.view());
  EXPECT_EQ(FindText(text, "［"_sj), 2u);
  EXPECT_EQ(FindLastText(text, "［"_sj), 12u);
  EXPECT_EQ(FindText(text, ""), 0u);
  EXPECT_EQ(FindText("", "a"), kNotFound);
  EXPECT_EQ(FindText("ab", "abc"), kNotFound);
  EXPECT_EQ(FindLastText("abab", "ab"), 2u);
  // A lead byte at the very end is a one-byte step, not a read past the end.
  EXPECT_EQ(FindText(std::string_view("a\x81", 2), "\x81"), 1u);
}

TEST(TruncateOnCharBoundary, KeepsWholeCharacters) {
  const std::string text("あいう"_sj.view());
  EXPECT_EQ(TruncateOnCharBoundary(text, 3).size(), 2u);
  EXPECT_EQ(TruncateOnCharBoundary(text, 4).size(), 4u);
  EXPECT_EQ(TruncateOnCharBoundary(text, 100), text);
  FixedText<4> slot;
  slot.assign(text);
  EXPECT_EQ(slot.size(), 2u);
}

TEST(SjisConversion, RoundTripsAMixedLine) {
  // JIS X 0208 kanji and kana, half-width katakana, NEC row 13 (①, ㈱, Ⅰ), NEC-selected IBM
  // (纊) and IBM extensions (ⅰ, 髙, 﨑), ASCII.
  const std::string utf8 = "漢字かなカナ ｶﾀｶﾅ ①㈱Ⅰ 纊ⅰ髙﨑 ABC~\\";
  const std::string sjis = Utf8ToSjis(utf8);
  EXPECT_EQ(sjis.find('?'), std::string::npos);
  EXPECT_EQ(SjisToUtf8(sjis), utf8);
  EXPECT_EQ(Utf8ToSjis(SjisToUtf8("\xFA\x40\x87\x40")), "\xFA\x40\x87\x40");
  // Characters with two codes come back under the one Windows prefers (纊: ED40 -> FA5C).
  EXPECT_EQ(Utf8ToSjis(SjisToUtf8("\xED\x40")), "\xFA\x5C");
}

TEST(SjisConversion, BadBytesBecomeReplacementCharacters) {
  // A lone trail byte range, an unassigned code and a lead byte cut off at the end.
  const std::string utf8 = SjisToUtf8(std::string_view("A\x85\x40" "B\xFD" "C\x82", 7));
  EXPECT_EQ(utf8, "A\xEF\xBF\xBD" "B\xEF\xBF\xBD" "C\xEF\xBF\xBD");
  EXPECT_EQ(SjisToUtf32("\x82\xA0"), U"あ");
  EXPECT_EQ(SjisToUtf32(std::string_view("\x82", 1)), U"\uFFFD");
}

}  // namespace
}  // namespace tumu
