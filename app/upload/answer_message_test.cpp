#include "app/upload/answer_message.h"

#include <gtest/gtest.h>

namespace {

constexpr char16_t kGeneric[] = u"ファイル転送でエラーが発生しました。(ErrCode：";

TEST(AnswerMessage, EachCodeHasItsMessage) {
  EXPECT_EQ(MessageForAnswer(u"1").text, u"完了しました。");
  EXPECT_TRUE(MessageForAnswer(u"1").success);
  EXPECT_EQ(MessageForAnswer(u"-1").text, u"ファイル保存時にエラーが発生しました。");
  EXPECT_EQ(MessageForAnswer(u"-2").text, u"データベース登録時にエラーが発生しました。");
  EXPECT_EQ(MessageForAnswer(u"-3").text, u"メール送信時にエラーが発生しました。");
  EXPECT_EQ(MessageForAnswer(u"-4").text, u"ファイル転送に必要なデータが正しくありません。");
  for (const char16_t* failure : {u"-1", u"-2", u"-3", u"-4", u"", u"0"}) {
    EXPECT_FALSE(MessageForAnswer(failure).success);
  }
}

TEST(AnswerMessage, LineEndsAreRemovedBlanksAreNot) {
  EXPECT_TRUE(MessageForAnswer(u"1\r\n").success);
  EXPECT_TRUE(MessageForAnswer(u"\r\n1\r\n\r\n").success);
  EXPECT_EQ(MessageForAnswer(u"1 ").text, std::u16string(kGeneric) + u"1 )");
  EXPECT_EQ(MessageForAnswer(u"1\n").text, std::u16string(kGeneric) + u"1\n)");
  EXPECT_EQ(MessageForAnswer(u"-3\r").text, std::u16string(kGeneric) + u"-3\r)");
}

TEST(AnswerMessage, AnyOtherAnswerIsShownInBrackets) {
  EXPECT_EQ(MessageForAnswer(u"500 Internal Server Error\r\n").text,
            std::u16string(kGeneric) + u"500 Internal Server Error)");
  EXPECT_EQ(MessageForAnswer(u"").text, std::u16string(kGeneric) + u")");
  EXPECT_EQ(MessageForAnswer(u"\r\n").text, std::u16string(kGeneric) + u")");
  EXPECT_EQ(MessageForAnswer(u"-5").text, std::u16string(kGeneric) + u"-5)");
}

}  // namespace
