#include "app/forward/input_check.h"

#include <gtest/gtest.h>

namespace {

constexpr char16_t kNameMessage[] = u"お名前は全角30文字以内で入力して下さい。";
constexpr char16_t kEmailMessage[] = u"メールアドレスは半角50文字以内で入力して下さい。";
constexpr char16_t kPatternMessage[] = u"メールアドレスが正しくありません。";

void ExpectRefused(std::u16string_view name, std::u16string_view email, std::u16string_view message,
                   InputField field) {
  const auto refusal = CheckRecipientInput(name, email);
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->message, message);
  EXPECT_EQ(refusal->field, field);
}

TEST(InputCheck, RecipientNameTakesThirtyFullWidthOrSixtyHalfWidthCharacters) {
  EXPECT_FALSE(CheckRecipientInput(std::u16string(30, u'山'), u"a@b"));
  EXPECT_FALSE(CheckRecipientInput(std::u16string(60, u'a'), u"a@b"));
  EXPECT_FALSE(CheckRecipientInput(u"   ", u"a@b"));
  ExpectRefused(std::u16string(31, u'山'), u"a@b", kNameMessage, InputField::Name);
  ExpectRefused(u"", u"", kNameMessage, InputField::Name);
}

TEST(InputCheck, CommaInANameIsRefusedBeforeTheMailAddress) {
  ExpectRefused(u"Doe, John", u"", u"お名前に半角のカンマ（,）は使用出来ません。",
                InputField::Name);
  EXPECT_FALSE(CheckRecipientInput(u"山田，太郎", u"a@b"));  // the full-width comma is harmless
}

TEST(InputCheck, MailAddressLengthComesBeforeItsPattern) {
  ExpectRefused(u"n", u"", kEmailMessage, InputField::Email);
  ExpectRefused(u"n", std::u16string(49, u'a') + u"@b", kEmailMessage, InputField::Email);
  EXPECT_FALSE(CheckRecipientInput(u"n", std::u16string(48, u'a') + u"@b"));
}

TEST(InputCheck, MailAddressPattern) {
  for (std::u16string_view good : {u"a@b", u".x-y_z@-host.example", u"A.B@C"}) {
    EXPECT_TRUE(IsMailAddress(good)) << std::string(good.begin(), good.end());
  }
  for (std::u16string_view bad :
       {u"a+b@c", u"a@b@c", u"a @b", u"@b", u"a@", u"ａ@b", u"a@b\n", u"山@b"}) {
    EXPECT_FALSE(IsMailAddress(bad));
    ExpectRefused(u"n", bad, kPatternMessage, InputField::Email);
  }
}

TEST(InputCheck, SenderName) {
  EXPECT_FALSE(CheckSenderInput(std::u16string(30, u'山')));
  for (const std::u16string& bad : {std::u16string(), std::u16string(31, u'山')}) {
    const auto refusal = CheckSenderInput(bad);
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->message, u"送信者名は全角30文字以内で入力して下さい。");
  }
}

}  // namespace
