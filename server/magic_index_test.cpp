#include "server/magic_index.h"

#include <gtest/gtest.h>

namespace server {
namespace {

const std::string kBoundary = "--K38Valet20020709";

TEST(MagicIndexTest, ParsesNineDigitPairsAndLongerNumbers) {
  std::optional<MagicIndex> index =
      ParseMagicIndex("000000002 1073741823 000000243 000000100 000000476 1073741723 ");
  ASSERT_TRUE(index);
  EXPECT_EQ(index->count, 2u);
  EXPECT_EQ(index->total, 1073741823u);
  ASSERT_EQ(index->entries.size(), 2u);
  EXPECT_EQ(index->entries[1].offset, 476u);
  EXPECT_EQ(index->entries[1].size, 1073741723u);
}

TEST(MagicIndexTest, RefusesWhatIsNotAnIndex) {
  EXPECT_FALSE(ParseMagicIndex(""));
  EXPECT_FALSE(ParseMagicIndex("000000001 000000100 "));                      // entry missing
  EXPECT_FALSE(ParseMagicIndex("000000001 000000100 000000243 "));            // half an entry
  EXPECT_FALSE(ParseMagicIndex("000000001 000000100 000000243 -00000001 "));  // unreadable file
  EXPECT_FALSE(ParseMagicIndex("000000001 000000100 000000243 00000010x "));
  EXPECT_FALSE(ParseMagicIndex("000000000 000000000 000000243 000000100 "));  // count too low
}

// The worked example of the wire format: one 100-byte file under a five-byte alias, no Para
// values. The magic block is 110 bytes, the file part head 133, so the data starts at 243.
TEST(MagicIndexTest, WorkedExampleLaysTheFileDataAtOffset243) {
  std::vector<ReceivedPart> parts = {{"magic", "", "", 40},
                                     {"xfile001", "a.txt", "application/octet-stream", 100}};
  std::vector<IndexEntry> files = LayOutFileParts(kBoundary, parts);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].offset, 243u);

  MagicIndex index{1, 100, {{243, 100}}};
  EXPECT_TRUE(IndexMatchesBody(index, kBoundary, parts));
  index.entries[0].offset = 242;
  EXPECT_FALSE(IndexMatchesBody(index, kBoundary, parts));
  index = {1, 101, {{243, 100}}};
  EXPECT_FALSE(IndexMatchesBody(index, kBoundary, parts));
  index = {1, 100, {{243, 99}}};
  EXPECT_FALSE(IndexMatchesBody(index, kBoundary, parts));
  EXPECT_FALSE(IndexMatchesBody({0, 0, {}}, kBoundary, parts));
}

// An alias made for an ISO-2022-JP server may hold a quote, a bar or a semicolon ("あ万音" is
// $" K| 2; between ESC "$B" and ESC "(J"). The head carries it as it is and the index places the
// data behind the whole name; the name as a reader that stops filename="..." at the next quote
// sees it would put the data elsewhere, and the upload does not match its index.
TEST(MagicIndexTest, QuoteBarAndSemicolonOfAnAliasCountInItsHead) {
  const std::string alias = "\x1b$B$\"K|2;\x1b(J.txt";
  std::vector<ReceivedPart> parts = {{"magic", "", "", 40},
                                     {"xfile001", alias, "application/octet-stream", 100}};
  std::vector<IndexEntry> files = LayOutFileParts(kBoundary, parts);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].offset, 110 + 128 + alias.size());

  const MagicIndex index{1, 100, {{110 + 128 + alias.size(), 100}}};
  EXPECT_TRUE(IndexMatchesBody(index, kBoundary, parts));
  parts[1].filename = alias.substr(0, alias.find('"'));
  EXPECT_FALSE(IndexMatchesBody(index, kBoundary, parts));
}

TEST(MagicIndexTest, ParaFieldsAndEarlierFilesMoveTheOffsets) {
  // magic (2 files), para1 "abc", two files with path names.
  std::vector<ReceivedPart> parts = {{"magic", "", "", 60},
                                     {"para1", "", "", 3},
                                     {"xfile001", "C:\\T\\x.para", "application/octet-stream", 10},
                                     {"xfile002", "C:\\T\\b.tta", "application/octet-stream", 7}};
  std::vector<IndexEntry> files = LayOutFileParts(kBoundary, parts);
  ASSERT_EQ(files.size(), 2u);
  const std::uint64_t magic = 70 + 60;
  const std::uint64_t para = 72 + 3;
  EXPECT_EQ(files[0].offset, magic + para + 128 + 11);
  EXPECT_EQ(files[1].offset, files[0].offset + 10 + 128 + 10);
}

// A total of ten digits makes the index one byte longer than the control assumes when it
// computes the offsets; its offsets are then one short, all of them, and still accepted.
TEST(MagicIndexTest, TakesOffsetsComputedForNineDigitNumbers) {
  const std::uint64_t big = 1000000000;
  std::vector<ReceivedPart> parts = {{"magic", "", "", 61},
                                     {"xfile001", "a.txt", "application/octet-stream", 5},
                                     {"xfile002", "b.bin", "application/octet-stream", big}};
  std::vector<IndexEntry> actual = LayOutFileParts(kBoundary, parts);
  MagicIndex exact{2, big + 5, {{actual[0].offset, 5}, {actual[1].offset, big}}};
  EXPECT_TRUE(IndexMatchesBody(exact, kBoundary, parts));
  MagicIndex nineDigit{2, big + 5, {{actual[0].offset - 1, 5}, {actual[1].offset - 1, big}}};
  EXPECT_TRUE(IndexMatchesBody(nineDigit, kBoundary, parts));
  MagicIndex mixed{2, big + 5, {{actual[0].offset, 5}, {actual[1].offset - 1, big}}};
  EXPECT_FALSE(IndexMatchesBody(mixed, kBoundary, parts));
  MagicIndex twoShort{2, big + 5, {{actual[0].offset - 2, 5}, {actual[1].offset - 2, big}}};
  EXPECT_FALSE(IndexMatchesBody(twoShort, kBoundary, parts));
}

TEST(MagicIndexTest, FindsTheBoundaryParameter) {
  EXPECT_EQ(BoundaryOf("multipart/form-data; boundary=--K38Valet20020709"), kBoundary);
  EXPECT_EQ(BoundaryOf("multipart/form-data; boundary=\"abc def\"; charset=x"), "abc def");
  EXPECT_EQ(BoundaryOf("multipart/form-data;boundary=xyz"), "xyz");
  EXPECT_EQ(BoundaryOf("multipart/form-data; xboundary=xyz"), "");
  EXPECT_EQ(BoundaryOf("multipart/form-data"), "");
}

}  // namespace
}  // namespace server
