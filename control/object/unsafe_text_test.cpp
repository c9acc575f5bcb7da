#include "control/object/unsafe_text.h"

#include <gtest/gtest.h>

#include <string>

namespace zorvel {
namespace {

TEST(UnsafeTextTest, LineEndsAndOtherControlCharactersAreFound) {
  EXPECT_TRUE(HasControlCharacter("http://127.0.0.1:25/x\r\nHELO example.com"));
  EXPECT_TRUE(HasControlCharacter("a.txt\nDELE important.dat"));
  EXPECT_TRUE(HasControlCharacter("a\rb"));
  EXPECT_TRUE(HasControlCharacter(std::string("a\0b", 3)));
  EXPECT_TRUE(HasControlCharacter("tab\there"));
  EXPECT_TRUE(HasControlCharacter("del\x7f"));
}

TEST(UnsafeTextTest, BlanksAndDoubleByteCharactersPass) {
  EXPECT_FALSE(HasControlCharacter(""));
  EXPECT_FALSE(HasControlCharacter("C:\\work\\dll note.txt|up_%s"));
  EXPECT_FALSE(HasControlCharacter("\x95\x5c\x8e\xa6.tta"));  // 表示: a "\" trail byte
  EXPECT_FALSE(HasControlCharacter("\x83\x41\x83\x62\x83\x76\x81\x40"));
  EXPECT_FALSE(HasControlCharacter("\xe8\xb3\x87\xe6\x96\x99"));    // UTF-8 bytes of an alias
  EXPECT_FALSE(HasControlCharacter("\x1b$B$\"K|2;$\\\x1b(J.txt"));  // ISO-2022-JP escapes
}

TEST(UnsafeTextTest, TheFirstUnsafeTextIsNamed) {
  EXPECT_EQ(FirstUnsafeText({{"URL", "http://h/x"}, {"Para1", "a\r\nb"}, {"Auth", "u\n:p"}}),
            "Para1");
  EXPECT_EQ(FirstUnsafeText({{"URL", "http://h/x"}, {"Auth", "u:p"}}), std::nullopt);
  EXPECT_EQ(FirstUnsafeText({}), std::nullopt);
}

}  // namespace
}  // namespace zorvel
