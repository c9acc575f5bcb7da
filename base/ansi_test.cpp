// Runs natively (iconv) and under Wine (the system code page): both must give the same bytes.
#include "base/ansi.h"

#include <gtest/gtest.h>

namespace base {
namespace {

TEST(Ansi, JapaneseTextBecomesShiftJis) {
  EXPECT_EQ(ToAnsi(u"録音 1.wav"), "\x98\x5E\x89\xB9 1.wav");
  EXPECT_EQ(ToAnsi(u"あ"), "\x82\xA0");
  EXPECT_EQ(ToAnsi(u"ｱ"), "\xB1");  // half-width katakana is one byte
  EXPECT_EQ(ToAnsi(u""), "");
}

TEST(Ansi, CharacterOutsideTheCodePageBecomesQuestionMark) {
  EXPECT_EQ(ToAnsi(u"a\u00E9b"), "a?b");       // é has no code-page-932 form
  EXPECT_EQ(ToAnsi(u"x\U0001F600y"), "x??y");  // one "?" per UTF-16 unit
}

TEST(Ansi, RoundTripOfLongMixedText) {
  std::u16string text;
  for (int i = 0; i < 300; ++i) text += u"転送テストabc ";
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(ToAnsi(text).size(), 300u * 14u);
}

TEST(Ansi, FromAnsiReadsShiftJis) {
  EXPECT_EQ(FromAnsi("\x98\x5E\x89\xB9"), u"録音");
  EXPECT_EQ(FromAnsi(std::string_view("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(Ansi, LeadBytesOfCodePage932) {
  EXPECT_TRUE(IsLeadByte(0x81));
  EXPECT_TRUE(IsLeadByte(0x9F));
  EXPECT_TRUE(IsLeadByte(0xE0));
  EXPECT_TRUE(IsLeadByte(0xFC));
  EXPECT_FALSE(IsLeadByte(0x80));
  EXPECT_FALSE(IsLeadByte(0xA0));
  EXPECT_FALSE(IsLeadByte(0xB1));
  EXPECT_FALSE(IsLeadByte(0xDF));
  EXPECT_FALSE(IsLeadByte('a'));
}

TEST(Ansi, CutsNeverSplitADoubleByteCharacter) {
  const std::string text = "a\x98\x5E\x89\xB9";  // a録音
  EXPECT_EQ(CutWholeCharacters(text, 2), "a");
  EXPECT_EQ(CutWholeCharacters(text, 3), "a\x98\x5E");
  EXPECT_EQ(CutWholeCharacters(text, 9), text);
}

}  // namespace
}  // namespace base
