#include "app/history/history_text.h"

#include <gtest/gtest.h>

namespace {

std::u16string Shown(std::u16string_view date, int days = 0) {
  const auto time = ParseForwardDate(date);
  return time ? FormatForwardTime(AddDays(*time, days)) : u"(none)";
}

TEST(HistoryText, ForwardDateAndItsDeadlineFiveDaysLater) {
  EXPECT_EQ(Shown(u"2012/03/04 9:05:00"), u"2012年03月04日 09:05");
  EXPECT_EQ(Shown(u"2012/03/04 9:05:00", kKeepingDays), u"2012年03月09日 09:05");
  EXPECT_EQ(Shown(u"2026/11/05 23:59:59", kKeepingDays), u"2026年11月10日 23:59");
  EXPECT_EQ(Shown(u"2012-3-4 00:00"), u"2012年03月04日 00:00");
  EXPECT_EQ(Shown(u"2012/03/04"), u"2012年03月04日 00:00");
}

TEST(HistoryText, DeadlineRollsOverMonthAndYearEnds) {
  EXPECT_EQ(Shown(u"2012/01/29 10:00:00", 5), u"2012年02月03日 10:00");
  EXPECT_EQ(Shown(u"2012/02/26 10:00:00", 5), u"2012年03月02日 10:00");  // leap year
  EXPECT_EQ(Shown(u"2013/02/26 10:00:00", 5), u"2013年03月03日 10:00");
  EXPECT_EQ(Shown(u"2000/02/25 10:00:00", 5), u"2000年03月01日 10:00");  // leap century
  EXPECT_EQ(Shown(u"1900/02/25 10:00:00", 5), u"1900年03月02日 10:00");
  EXPECT_EQ(Shown(u"2026/04/30 08:00:00", 5), u"2026年05月05日 08:00");
  EXPECT_EQ(Shown(u"2026/12/29 18:30:00", 5), u"2027年01月03日 18:30");
}

TEST(HistoryText, TextsThatAreNoDateAreRefused) {
  for (const std::u16string_view bad :
       {u"", u"2012", u"2012/13/01 00:00", u"2012/02/30 00:00", u"2013/02/29 00:00", u"2012/00/10",
        u"2012/03/04 24:00", u"2012/03/04 10:60", u"2012/03/04 10:00:60", u"2012/03-04",
        u"2012/03/04x", u"2012/03/04 10", u"12/03/04 10:00", u"今日"}) {
    EXPECT_FALSE(ParseForwardDate(bad)) << std::string(bad.begin(), bad.end());
  }
  EXPECT_TRUE(ParseForwardDate(u"2012/02/29 00:00"));
}

TEST(HistoryText, RecipientsUpToTheFirstEmptyName) {
  clsHistroy record;
  record.Name1 = u"鈴木";
  record.Mail1 = u"s@x.jp";
  EXPECT_EQ(RecipientText(record), u"鈴木(s@x.jp)");
  record.Name3 = u"佐藤";
  record.Mail3 = u"t@x.jp";
  EXPECT_EQ(RecipientText(record), u"鈴木(s@x.jp)");
  record.Name2 = u"b";
  record.Mail2 = u"b@x.jp";
  EXPECT_EQ(RecipientText(record), u"鈴木(s@x.jp)、b(b@x.jp)、佐藤(t@x.jp)");
  record.Name5 = u"e";
  EXPECT_EQ(RecipientText(record), u"鈴木(s@x.jp)、b(b@x.jp)、佐藤(t@x.jp)");

  EXPECT_EQ(RecipientText(clsHistroy{}), u"()");
}

}  // namespace
