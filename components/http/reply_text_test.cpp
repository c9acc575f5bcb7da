#include "components/http/reply_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplyText, CharsetParameterIsFoundAnywhereQuotedOrNot) {
  EXPECT_EQ(http::CharsetOf("text/plain; charset=UTF-8"), "utf-8");
  EXPECT_EQ(http::CharsetOf("text/html;format=flowed; Charset=\"Shift_JIS\" "), "shift_jis");
  EXPECT_EQ(http::CharsetOf("text/plain"), "");
  EXPECT_EQ(http::CharsetOf(""), "");
  EXPECT_EQ(http::CharsetOf("text/plain; charset=\"\"\"utf-8\"\"\""), "");
}

TEST(ReplyText, BodyIsDecodedInTheNamedCharsetElseInTheAnsiCodePage) {
  const std::string utf8 = "\xE9\x8C\xB2\xE9\x9F\xB3";  // 録音
  const std::string sjis = "\x98\x5E\x89\xB9";          // 録音
  EXPECT_EQ(http::DecodeReplyText(utf8, "text/plain; charset=utf-8"), u"録音");
  EXPECT_EQ(http::DecodeReplyText("\xEF\xBB\xBF" + utf8, "text/plain; charset=utf-8"), u"録音");
  EXPECT_EQ(http::DecodeReplyText(sjis, "text/plain; charset=Shift_JIS"), u"録音");
  EXPECT_EQ(http::DecodeReplyText(sjis, "text/plain"), u"録音");
  EXPECT_EQ(http::DecodeReplyText(sjis, ""), u"録音");
  EXPECT_EQ(http::DecodeReplyText("caf\xE9", "text/plain; charset=iso-8859-1"), u"café");
  EXPECT_EQ(http::DecodeReplyText("-1\r\n", "text/plain"), u"-1\r\n");
}

}  // namespace
