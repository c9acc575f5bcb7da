#include "server/upload_check.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "base/ansi.h"

namespace server {
namespace {

const std::string US = "\x1f";
const std::string RS = "\x1e";
const std::string kBoundary = "--K38Valet20020709";

std::string Para(const std::string& product, const std::string& sources, const std::string& works) {
  return "sender" + US + product + US + "n" + US + "m" + US + US + US + US + US + US + US + US +
         US + "msg" + RS + sources + RS + works + "\r\n";
}

// An upload as the parser would report it: the index part, then the given file parts, with
// an index that tells the truth.
ReceivedUpload Upload(std::vector<std::pair<std::string, std::uint64_t>> files) {
  ReceivedUpload upload;
  upload.boundary = kBoundary;
  upload.parts.push_back({"magic", "", "", 0});
  int n = 0;
  for (auto& [name, size] : files) {
    char field[32];
    std::snprintf(field, sizeof field, "xfile%03d", ++n);
    upload.parts.push_back({field, name, "application/octet-stream", size});
  }
  // The index's own length moves the offsets: 20 bytes per number pair.
  upload.parts[0].size = 20 * (files.size() + 1);
  std::vector<IndexEntry> layout = LayOutFileParts(kBoundary, upload.parts);
  std::uint64_t total = 0;
  std::string index;
  for (const IndexEntry& entry : layout) total += entry.size;
  char pair[64];
  std::snprintf(pair, sizeof pair, "%09zu %09llu ", files.size(),
                static_cast<unsigned long long>(total));
  index += pair;
  for (const IndexEntry& entry : layout) {
    std::snprintf(pair, sizeof pair, "%09llu %09llu ",
                  static_cast<unsigned long long>(entry.offset),
                  static_cast<unsigned long long>(entry.size));
    index += pair;
  }
  upload.fields.assign(upload.parts.size(), "");
  upload.fields[0] = index;
  upload.stagedFiles.resize(upload.parts.size());
  return upload;
}

TEST(UploadCheckTest, BaseNameCutsWindowsPathsWithoutSplittingDoubleByteCharacters) {
  EXPECT_EQ(BaseName("C:\\Temp\\a.txt"), "a.txt");
  EXPECT_EQ(BaseName("/tmp/a.txt"), "a.txt");
  EXPECT_EQ(BaseName("a.txt"), "a.txt");
  // 表 ends in the byte 0x5C, the backslash.
  EXPECT_EQ(BaseName(base::ToAnsi(u"C:\\表\\ソ表.txt")), "ソ表.txt");
}

// Aliases made for an ISO-2022-JP server: "あ万音ぼ" is written as the codes $" K| 2; $\\ between
// ESC "$B" and ESC "(J", "く" as $/. None of their quote, bar, semicolon, backslash or slash
// bytes ends a folder.
const std::string kJisAlias = "\x1b$B$\"K|2;$\\\x1b(J.txt";
const std::string kJisSlashAlias = "\x1b$B$/\x1b(J.txt";

TEST(UploadCheckTest, BaseNameTakesIsoJapaneseAliasesWhole) {
  EXPECT_EQ(BaseName(kJisAlias), kJisAlias);
  EXPECT_EQ(BaseName(kJisSlashAlias), kJisSlashAlias);
  EXPECT_EQ(BaseName("C:\\T\\" + kJisAlias), kJisAlias);
  // Back in one-byte text, a backslash ends a folder again.
  EXPECT_EQ(BaseName("\x1b$B$\\\x1b(J\\a.txt"), "a.txt");
  EXPECT_EQ(BaseName("\x1b$B"), "\x1b$B");
}

TEST(UploadCheckTest, AliasedPartsServeTheListedFilesOfTheirNames) {
  const std::string para =
      Para("P", "a.txt" + US + "7" + US + "b.txt" + US + "7" + US + "c.txt" + US + "7",
           kJisSlashAlias + US + "7" + US + "b.txt" + US + "7" + US + kJisAlias + US + "7");
  ReceivedUpload upload = Upload({{"C:\\T\\OrvaneFileTrans.para", para.size()},
                                  {kJisAlias, 7},
                                  {"C:\\T\\b.txt", 7},
                                  {kJisSlashAlias, 7}});
  std::optional<UploadPlan> plan = CheckUpload(upload, para);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->workParts, (std::vector<std::size_t>{4, 3, 2}));
}

TEST(UploadCheckTest, AcceptsAForwardWhoseWorkFilesAllArrived) {
  std::string para = Para("P", "mysong.wav" + US + "1000" + US + "b.txt" + US + "20",
                          "mysong.tta" + US + "430" + US + "b.txt" + US + "20");
  ReceivedUpload upload = Upload({{"C:\\Temp\\b.txt", 20},
                                  {"C:\\Temp\\my song.tta", 430},
                                  {"C:\\Temp\\ORVANEFILETRANS.PARA", para.size()}});
  std::optional<UploadPlan> plan = CheckUpload(upload, para);
  ASSERT_TRUE(plan);
  EXPECT_EQ(FindParaPart(upload), 3u);
  EXPECT_EQ(plan->workParts, (std::vector<std::size_t>{2, 1}));
}

TEST(UploadCheckTest, RefusesIncorrectData) {
  const std::string para = Para("P", "a.txt" + US + "5", "a.txt" + US + "5");
  auto upload = [&](std::uint64_t fileSize) {
    return Upload({{"C:\\T\\OrvaneFileTrans.para", para.size()}, {"C:\\T\\a.txt", fileSize}});
  };
  ASSERT_TRUE(CheckUpload(upload(5), para));

  ReceivedUpload lyingIndex = upload(5);
  lyingIndex.fields[0].replace(40, 9, "000000001");  // first file's offset
  EXPECT_FALSE(CheckUpload(lyingIndex, para));

  ReceivedUpload noIndex = upload(5);
  noIndex.parts[0].name = "index";
  EXPECT_FALSE(CheckUpload(noIndex, para));

  EXPECT_FALSE(CheckUpload(upload(6), para));                      // another size than listed
  EXPECT_FALSE(CheckUpload(Upload({{"C:\\T\\a.txt", 5}}), para));  // no parameter data file
  EXPECT_FALSE(CheckUpload(upload(5), "garbage\r\n"));
  EXPECT_FALSE(CheckUpload(upload(5), Para("", "a.txt" + US + "5", "a.txt" + US + "5")));
  EXPECT_FALSE(CheckUpload(upload(5), Para("P", "", "")));  // no files
  EXPECT_FALSE(CheckUpload(upload(5), Para("P", "a.txt" + US + "5", "b.txt" + US + "5")));
  // A work file that was missing when the parameter data file was written.
  EXPECT_FALSE(CheckUpload(upload(5), Para("P", "a.txt" + US + "5", US + "0")));
  EXPECT_FALSE(CheckUpload(upload(5), Para("P", "a.txt" + US + "-5", "a.txt" + US + "5")));
}

// Recipients are offered each file under its source name: one that would be a path, or break a
// descriptor line, is incorrect data. "ソ" ends in the byte 0x5C and is kept.
TEST(UploadCheckTest, RefusesSourceNamesThatCouldNotBeOffered) {
  auto check = [](const std::string& source) {
    const std::string para = Para("P", source + US + "5", "a.txt" + US + "5");
    return CheckUpload(Upload({{"C:\\T\\OrvaneFileTrans.para", para.size()}, {"C:\\T\\a.txt", 5}}),
                       para)
        .has_value();
  };
  EXPECT_TRUE(check(base::ToAnsi(u"ソ表 1.txt")));
  EXPECT_TRUE(check("a+b.txt"));
  for (const char* hostile : {"a -d C:\\Users\\Public -o evil.exe -j /payload", "..\\a.txt",
                              "a/b.txt", "a\tb.txt", "..", ""}) {
    EXPECT_FALSE(check(hostile)) << hostile;
  }
}

TEST(UploadCheckTest, OneArrivedFileServesOneListedFileOnly) {
  const std::string para = Para("P", "a.txt" + US + "5" + US + "a.txt" + US + "5",
                                "a.txt" + US + "5" + US + "a.txt" + US + "5");
  EXPECT_FALSE(CheckUpload(
      Upload({{"C:\\T\\OrvaneFileTrans.para", para.size()}, {"C:\\T\\a.txt", 5}}), para));
  EXPECT_TRUE(CheckUpload(
      Upload(
          {{"C:\\T\\OrvaneFileTrans.para", para.size()}, {"C:\\T\\a.txt", 5}, {"C:\\U\\a.txt", 5}}),
      para));
}

}  // namespace
}  // namespace server
