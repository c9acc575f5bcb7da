#include "app/main/url_encode.h"

#include <gtest/gtest.h>

TEST(URLEncodeSJIS, EncodesShiftJisBytesAndBlanks) {
  EXPECT_EQ(URLEncodeSJIS(u"録音 1.wav"), u"%98%5E%89%B9+1.wav");
  EXPECT_EQ(URLEncodeSJIS(u"a b.wav"), u"a+b.wav");
  EXPECT_EQ(URLEncodeSJIS(u"A&B"), u"A%26B");
  EXPECT_EQ(URLEncodeSJIS(u"~"), u"%7E");
  EXPECT_EQ(URLEncodeSJIS(u""), u"");
}

TEST(URLEncodeSJIS, KeepsUnreservedCharactersAndEncodesTheRest) {
  EXPECT_EQ(URLEncodeSJIS(u"Az09@*-._"), u"Az09@*-._");
  EXPECT_EQ(URLEncodeSJIS(u"\n/%+"), u"%0A%2F%25%2B");
  EXPECT_EQ(URLEncodeSJIS(u"ｱ"), u"%B1");  // half-width katakana is a single byte
}

TEST(URLEncodeSJIS, TrailByteThatLooksLikeAsciiIsEncoded) {
  // "ソ" is 83 5C: its trail byte is the backslash and must not be taken for one.
  EXPECT_EQ(URLEncodeSJIS(u"ソ"), u"%83%5C");
  // A lead byte of the upper range (0xE0..0xEF).
  EXPECT_EQ(URLEncodeSJIS(u"漢"), u"%8A%BF");
  EXPECT_EQ(URLEncodeSJIS(u"腕"), u"%98%72");  // a trail byte is encoded even when it is a letter
}

TEST(URLEncodeUTF8, EncodesEachUnitByItself) {
  EXPECT_EQ(URLEncodeUTF8(u"録 a"), u"%E9%8C%B2%20a");
  EXPECT_EQ(URLEncodeUTF8(u"\u00E9"), u"%C3%A9");
  EXPECT_EQ(URLEncodeUTF8(u"Az09@*-._"), u"Az09@*-._");
  EXPECT_EQ(URLEncodeUTF8(u"+/"), u"%2B%2F");
  EXPECT_EQ(URLEncodeUTF8(u"\U0001F600"), u"%ED%A0%BD%ED%B8%80");
  EXPECT_EQ(URLEncodeUTF8(u""), u"");
}
