#include "base/file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(IsPlainFileNameTest, OrdinaryNamesPass) {
  for (std::u16string_view name :
       {u"a.wav", u"録音 1.tta", u" leading blank", u"a.b.c", u"...x", u"CONSOLE.txt", u"COM0",
        u"LPT10", u"nul1", u"x%2F", u"con_1.wav"}) {
    EXPECT_TRUE(base::IsPlainFileName(name)) << std::string(name.begin(), name.end());
  }
}

TEST(IsPlainFileNameTest, NamesThatLeaveTheFolderOrAreRefused) {
  for (std::u16string_view name :
       {u"", u".", u"..", u"..\\x", u"a\\b", u"a/b", u"C:x", u"a:stream", u"a*", u"a?", u"a\"b",
        u"a<b", u"a>b", u"a|b", u"trailing.", u"trailing "}) {
    EXPECT_FALSE(base::IsPlainFileName(name)) << std::string(name.begin(), name.end());
  }
}

TEST(IsPlainFileNameTest, ControlCharactersAreRefused) {
  EXPECT_FALSE(base::IsPlainFileName(std::u16string(u"a\tb")));
  EXPECT_FALSE(base::IsPlainFileName(std::u16string(u"a\nb")));
  EXPECT_FALSE(base::IsPlainFileName(std::u16string(1, u'\0') + u"a"));
  EXPECT_FALSE(base::IsPlainFileName(std::u16string(u"a\x7f")));
}

TEST(IsPlainFileNameTest, DeviceNamesAreRefusedWithAnyExtensionAndCase) {
  for (std::u16string_view name : {u"CON", u"con", u"Prn.txt", u"AUX.tta", u"nul.wav", u"COM1",
                                   u"com9.x", u"LPT1", u"lpt5.a.b", u"NUL .txt"}) {
    EXPECT_FALSE(base::IsPlainFileName(name)) << std::string(name.begin(), name.end());
  }
}

}  // namespace
