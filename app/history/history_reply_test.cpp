#include "app/history/history_reply.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

const std::u16string US(1, u'\x1f');

// A record to `name` with the other four places empty, then `tail` (state and files).
std::u16string Record(std::u16string_view name, std::u16string_view tail) {
  std::u16string record = std::u16string(name) + US + u"m@x.jp";
  for (int i = 0; i < 4; ++i) record += US + US;
  return record + US + u"2012/03/04 9:05:00" + US + std::u16string(tail);
}

TEST(HistoryReply, OnlyLinesEndedByCrLfAreRecords) {
  const std::u16string two = Record(u"a", u"0") + u"\r\n" + Record(u"b", u"1") + u"\r\n";
  const HistoryParse whole = ParseHistoryReply(two);
  ASSERT_EQ(whole.colHistory.size(), 2u);
  EXPECT_FALSE(whole.failure);
  EXPECT_EQ(whole.colHistory[0].Name1, u"a");
  EXPECT_EQ(whole.colHistory[1].Name1, u"b");
  EXPECT_EQ(whole.colHistory[1].DeleteKBN, u"1");

  const HistoryParse cut = ParseHistoryReply(two.substr(0, two.size() - 2));
  ASSERT_EQ(cut.colHistory.size(), 1u);
  EXPECT_FALSE(cut.failure);

  for (const std::u16string_view empty : {u"", u"\r\n", u"no line end", u"\n"}) {
    const HistoryParse none = ParseHistoryReply(empty);
    EXPECT_TRUE(none.colHistory.empty());
    EXPECT_FALSE(none.failure);
    EXPECT_EQ(FormatKilobytes(none.lngSaveSize), u"0 KB");
  }
  // Two line ends make one empty line, which is a record of too few fields.
  EXPECT_TRUE(ParseHistoryReply(u"\r\n\r\n").failure);
}

TEST(HistoryReply, FieldsFillTheRecordInOrderWithoutTrimming) {
  std::u16string line;
  for (const char16_t* field : {u" n1", u"m1 ", u"n2", u"m2", u"n3", u"m3", u"n4", u"m4", u"n5",
                                u"m5", u"2012/03/04 09:05:00", u"0"}) {
    line += std::u16string(field) + US;
  }
  line += u"鈴木.wav" + US + u"1536" + US + u"b.txt" + US + u" 7 ";
  const HistoryParse parse = ParseHistoryReply(line + u"\r\n");
  ASSERT_EQ(parse.colHistory.size(), 1u);
  const clsHistroy& r = parse.colHistory[0];
  EXPECT_EQ(r.Name1, u" n1");
  EXPECT_EQ(r.Mail1, u"m1 ");
  EXPECT_EQ(r.Name5, u"n5");
  EXPECT_EQ(r.Mail5, u"m5");
  EXPECT_EQ(r.ForwardDate, u"2012/03/04 09:05:00");
  ASSERT_EQ(r.FileInfo().size(), 2u);
  EXPECT_EQ(r.FileInfo()[0].FileName, u"鈴木.wav");
  EXPECT_EQ(r.FileInfo()[0].FileSize, 1536);
  EXPECT_EQ(r.FileInfo()[1].FileSize, 7);
  EXPECT_EQ(parse.lngSaveSize, 1543);
}

TEST(HistoryReply, TwelveFieldsAreAForwardWithoutFiles) {
  const HistoryParse parse = ParseHistoryReply(Record(u"a", u"0") + u"\r\n");
  ASSERT_EQ(parse.colHistory.size(), 1u);
  EXPECT_TRUE(parse.colHistory[0].FileInfo().empty());
  EXPECT_EQ(parse.colHistory[0].Name2, u"");
  EXPECT_EQ(parse.colHistory[0].Mail5, u"");
}

TEST(HistoryReply, OnlyKeptFilesCountAndTheSumStaysWithinOneGigabyte) {
  constexpr int32_t MiB = 1048576;
  const std::u16string kept = Record(u"a", u"0" + US + u"x" + US + u"734003200" + US + u"y" + US +
                                               u"419430400" + US + u"z" + US + u"104857600");
  const std::u16string gone = Record(u"b", u"1" + US + u"w" + US + u"5000");
  const std::u16string other = Record(u"c", u"2" + US + u"v" + US + u"6000");
  const HistoryParse parse = ParseHistoryReply(kept + u"\r\n" + gone + u"\r\n" + other + u"\r\n");
  ASSERT_EQ(parse.colHistory.size(), 3u);
  EXPECT_EQ(parse.lngSaveSize, 800 * MiB);
  EXPECT_EQ(FormatKilobytes(parse.lngSaveSize), u"819200 KB");
  EXPECT_EQ(parse.colHistory[1].FileInfo().size(), 1u);

  // Exactly the cap still fits; one byte more does not.
  const std::u16string full = Record(
      u"a", u"0" + US + u"x" + US + u"1073741823" + US + u"y" + US + u"2" + US + u"z" + US + u"1");
  EXPECT_EQ(ParseHistoryReply(full + u"\r\n").lngSaveSize, kSaveSizeCap);
  EXPECT_EQ(ParseHistoryReply(full + u"\r\n", 5).lngSaveSize, 5 + 2 + 1);
}

TEST(HistoryReply, MalformedRecordStopsTheParseAndKeepsTheRecordsBefore) {
  const std::u16string good = Record(u"a", u"0" + US + u"x" + US + u"100") + u"\r\n";
  for (const std::u16string& bad : {
           std::u16string(u"a") + US + u"b" + u"\r\n",                        // too few fields
           Record(u"b", u"0" + US + u"x" + US + u"1" + US + u"y") + u"\r\n",  // name without size
           Record(u"b", u"0" + US + u"x" + US + u"12k") + u"\r\n",            // no number
           Record(u"b", u"0" + US + u"x" + US + u"") + u"\r\n",               // empty size
           Record(u"b", u"0" + US + u"x" + US + u"2147483648") + u"\r\n",     // beyond 32 bits
           Record(u"b", u"0" + US + u"x" + US + u"-5") + u"\r\n",             // negative size
       }) {
    const HistoryParse parse = ParseHistoryReply(good + bad + good);
    ASSERT_EQ(parse.colHistory.size(), 1u);
    EXPECT_TRUE(parse.failure);
    EXPECT_EQ(parse.lngSaveSize, 100);
  }
  const HistoryParse largest =
      ParseHistoryReply(Record(u"b", u"1" + US + u"x" + US + u"2147483647") + u"\r\n");
  EXPECT_FALSE(largest.failure);
  EXPECT_EQ(largest.colHistory[0].FileInfo()[0].FileSize, 2147483647);
}

TEST(HistoryReply, KilobytesRoundHalvesUp) {
  EXPECT_EQ(FormatKilobytes(0), u"0 KB");
  EXPECT_EQ(FormatKilobytes(511), u"0 KB");
  EXPECT_EQ(FormatKilobytes(512), u"1 KB");
  EXPECT_EQ(FormatKilobytes(1535), u"1 KB");
  EXPECT_EQ(FormatKilobytes(1536), u"2 KB");
  EXPECT_EQ(FormatKilobytes(2147483647), u"2097152 KB");
}

}  // namespace
