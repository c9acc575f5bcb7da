#include "app/download/download_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"

namespace {

std::vector<std::u16string> Paths(const std::vector<clsDownFile>& entries) {
  std::vector<std::u16string> paths;
  for (const clsDownFile& entry : entries) paths.push_back(entry.DownPath);
  return paths;
}

TEST(DescriptorTest, LinesEndAtCrLfOrLoneCrAndEmptyLinesAreSkipped) {
  EXPECT_EQ(Paths(ReadDescriptorEntries(u"http://h/a\r\n\r\nhttp://h/b\rhttp://h/b\r\n\r\r\n")),
            (std::vector<std::u16string>{u"http://h/a", u"http://h/b", u"http://h/b"}));
  EXPECT_EQ(Paths(ReadDescriptorEntries(u"http://h/last")),
            (std::vector<std::u16string>{u"http://h/last"}));
  EXPECT_TRUE(ReadDescriptorEntries(u"\r\n\r\n\r").empty());
  EXPECT_TRUE(ReadDescriptorEntries(u"").empty());
}

TEST(DescriptorTest, NothingIsTrimmed) {
  EXPECT_EQ(Paths(ReadDescriptorEntries(u" \t http://h/a b \r\n   \r\n")),
            (std::vector<std::u16string>{u" \t http://h/a b ", u"   "}));
  // A bare LF ends no line: it stays inside the entry, whose name the check then refuses.
  const std::vector<clsDownFile> entries = ReadDescriptorEntries(u"http://h/a\nb\r\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_FALSE(AreEntriesSound(entries));
}

TEST(DescriptorTest, FileNameIsTheLastSegment) {
  EXPECT_EQ(clsDownFile(u"http://h/f/録音 1.tta").FileName(), u"録音 1.tta");
  EXPECT_EQ(clsDownFile(u"no slash").FileName(), u"no slash");
  EXPECT_EQ(clsDownFile(u"http://h/dir/").FileName(), u"");
}

TEST(DescriptorTest, EntriesThatWouldBeWrittenElsewhereOrFailAreRefused) {
  const std::vector<std::u16string> bad = {
      // Names that would leave the folder, that Windows refuses or that name a device.
      u"http://h/", u"http://h/.", u"http://h/..", u"http://h/..\\..\\x.exe", u"http://h/C:x",
      u"http://h/a:b", u"http://h/a*b", u"http://h/a?b", u"http://h/a|b", u"http://h/a\"b",
      u"http://h/a<b>", u"http://h/CON", u"http://h/nul.tta", u"http://h/COM1.x", u"http://h/lpt9",
      u"http://h/a\tb", u"http://h/x.", u"http://h/x ", u"   ",
      // Addresses whose head would bring options or a second address into the command text.
      u"http://host/x -d C:\\Users\\Public -o evil.exe -j /payload",
      u"http://host/x -d \\\\srv\\share -o a.tta /a.tta", u"http://h/x\t-d\tC:\\/a.tta",
      u"http://h/a\x7f/b.tta", u"http://h/a\x01/b.tta", u"http://h\\x/b.tta",
      u"http://h/録音/b.tta", u"http://h/a\u3000b/c.tta", u" http://h/b.tta",
      // Heads that are no address W3getv fetches.
      u"a.tta", u"no slash", u"file:///c:/a.tta", u"//h/a.tta", u"http://a.tta", u"ht tp://h/a"};
  for (const std::u16string& line : bad) {
    std::vector<clsDownFile> entries = {clsDownFile(u"http://h/good.tta"), clsDownFile(line)};
    EXPECT_FALSE(AreEntriesSound(entries)) << base::ToUtf8(line);
  }
  EXPECT_TRUE(
      AreEntriesSound({clsDownFile(u"http://h/録音 1.tta"), clsDownFile(u"http://h/a.b.TTA"),
                       clsDownFile(u"HTTPS://h:8443/f/ab%20c/-._~:@!$&'()*+,;=/a+b.txt"),
                       clsDownFile(u"ftp://u:p@h/a?x=1#y/a b.wav")}));
  EXPECT_TRUE(AreEntriesSound({}));
}

TEST(DownloadCommandTest, TextsOfTheProbeAndTheDownload) {
  const clsDownFile entry(u"http://127.0.0.1:8080/files/0123456789abcdef/録音 1.tta");
  EXPECT_EQ(ProbeCommandText(u"C:\\DOWNLO~1", entry),
            u"-d C:\\DOWNLO~1 -j SJIS "
            u"http://127.0.0.1:8080/files/0123456789abcdef/%E9%8C%B2%E9%9F%B3%201.tta");
  EXPECT_EQ(DownloadCommandText(u"C:\\DOWNLO~1", entry),
            u"-d C:\\DOWNLO~1 -o %98%5E%89%B9+1.tta -t 6000 "
            u"http://127.0.0.1:8080/files/0123456789abcdef/%E9%8C%B2%E9%9F%B3%201.tta");
  EXPECT_EQ(SaveName(clsDownFile(u"http://h/Plain-1_a.b")), u"Plain-1_a.b");
}

std::vector<std::u16string> Occupied(std::u16string_view name) {
  return OccupiedNames(clsDownFile(u"http://h/" + std::u16string(name)));
}

TEST(DownloadNamesTest, ClashNamesAndWavNames) {
  // Every file the run would write: the name the user ends up with, the TTA file that is written
  // and deleted again, and the encoded name the file is first stored under.
  EXPECT_EQ(Occupied(u"a.tta"), (std::vector<std::u16string>{u"a.tta", u"a.wav"}));
  EXPECT_EQ(Occupied(u"a.b.tta"), (std::vector<std::u16string>{u"a.b.tta", u"a.b.wav"}));
  EXPECT_EQ(Occupied(u"a.TTA"), (std::vector<std::u16string>{u"a.TTA", u"a.wav"}));
  EXPECT_EQ(Occupied(u"xtta"), (std::vector<std::u16string>{u"xtta", u"xtta.wav"}));
  EXPECT_EQ(Occupied(u"a.txt"), (std::vector<std::u16string>{u"a.txt"}));
  EXPECT_EQ(Occupied(u"a b.txt"), (std::vector<std::u16string>{u"a b.txt", u"a+b.txt"}));
  EXPECT_EQ(Occupied(u"録音 1.tta"),
            (std::vector<std::u16string>{u"録音 1.tta", u"%98%5E%89%B9+1.tta", u"録音 1.wav"}));

  EXPECT_TRUE(IsTtaFile(u"a.tta"));
  EXPECT_TRUE(IsTtaFile(u"a.TTA"));
  EXPECT_TRUE(IsTtaFile(u"xtta"));
  EXPECT_TRUE(IsTtaFile(u"TTA"));
  EXPECT_FALSE(IsTtaFile(u"tt"));
  EXPECT_FALSE(IsTtaFile(u"a.wav"));

  EXPECT_EQ(WavFileName(u"録音.TTA"), u"録音.wav");
  EXPECT_EQ(WavFileName(u"a.b.tta"), u"a.b.wav");
  EXPECT_EQ(WavFileName(u"xtta"), u"xtta.wav");
  EXPECT_EQ(WavFileName(u"a.xtta"), u"a.xtta.wav");
}

TEST(DownloadNamesTest, EachFileIsFetchedOnce) {
  const std::vector<clsDownFile> distinct =
      DistinctEntries({clsDownFile(u"http://h/a.tta"), clsDownFile(u"http://h/b.tta"),
                       clsDownFile(u"http://g/A.TTA"), clsDownFile(u"http://h/a b.txt"),
                       clsDownFile(u"http://h/a.tta"), clsDownFile(u"http://h/ａ.tta")});
  std::vector<std::u16string> names;
  for (const clsDownFile& entry : distinct) names.push_back(entry.DownPath);
  EXPECT_EQ(names, (std::vector<std::u16string>{u"http://h/a.tta", u"http://h/b.tta",
                                                u"http://h/a b.txt", u"http://h/ａ.tta"}));

  // "a b.txt" is first stored as "a+b.txt", "a+b.txt" as "a%2Bb.txt": each comes before the
  // file whose name it borrows.
  names.clear();
  for (const clsDownFile& entry :
       DistinctEntries({clsDownFile(u"http://h/A%2Bb.txt"), clsDownFile(u"http://h/x.txt"),
                        clsDownFile(u"http://h/a+B.txt"), clsDownFile(u"http://h/a b.txt")})) {
    names.push_back(entry.FileName());
  }
  EXPECT_EQ(names, (std::vector<std::u16string>{u"x.txt", u"a b.txt", u"a+B.txt", u"A%2Bb.txt"}));
}

TEST(DownloadResultTest, EveryCodeOfTheTableAndTheRangesAroundIt) {
  EXPECT_EQ(DownLoadResultMessage(-1), u"ソケットオープンエラー");
  EXPECT_EQ(DownLoadResultMessage(-2), u"タイムアウトエラー");
  EXPECT_EQ(DownLoadResultMessage(-4), u"FTP エラー（一時的なエラー）");
  EXPECT_EQ(DownLoadResultMessage(-5), u"FTP エラー（コマンドが実行不可）");
  EXPECT_EQ(DownLoadResultMessage(-100), u"キャンセルされました");
  EXPECT_EQ(DownLoadResultMessage(-101), u"パラメータエラー");
  EXPECT_EQ(DownLoadResultMessage(-102), u"ディレクトリが見つかりません");
  EXPECT_EQ(DownLoadResultMessage(-103), u"URLが長すぎます（4096以上）");
  EXPECT_EQ(DownLoadResultMessage(-104), u"ファイルが作成できません");
  EXPECT_EQ(DownLoadResultMessage(-105), u"ファイル書込みエラー");
  EXPECT_EQ(DownLoadResultMessage(-106), u"ログファイルエラー");
  EXPECT_EQ(DownLoadResultMessage(-107), u"URLが不適切です");
  for (int32_t http : {-300, -301, -404, -499, -500}) {
    EXPECT_EQ(DownLoadResultMessage(http), u"HTTPエラー") << http;
  }
  for (int32_t other : {-299, -501, -3, -6, -99, -108, 0, 1, 2, -2147483647 - 1, 2147483647}) {
    EXPECT_EQ(DownLoadResultMessage(other), u"Winsockエラー") << other;
  }
}

TEST(DownloadProgressTextTest, KilobytesRoundHalvesToEven) {
  EXPECT_EQ(KilobyteText(0), u"0 KB");
  EXPECT_EQ(KilobyteText(511), u"0 KB");
  EXPECT_EQ(KilobyteText(512), u"0 KB");
  EXPECT_EQ(KilobyteText(513), u"1 KB");
  EXPECT_EQ(KilobyteText(1536), u"2 KB");
  EXPECT_EQ(KilobyteText(2560), u"2 KB");
  EXPECT_EQ(KilobyteText(2561), u"3 KB");
  EXPECT_EQ(KilobyteText(2147483647), u"2097152 KB");
  EXPECT_EQ(KilobyteText(3221225472LL), u"3145728 KB");
  EXPECT_EQ(LeadingNumber(u"123 KB"), 123);
  EXPECT_EQ(LeadingNumber(u""), 0);
  EXPECT_EQ(LeadingNumber(u" KB"), 0);
}

TEST(DownloadProgressTextTest, TheBarScalesBeyondItsRange) {
  EXPECT_EQ(BarScale(0), 1);
  EXPECT_EQ(BarScale(2147483647), 1);
  EXPECT_EQ(BarScale(2147483648LL), 2);
  const int64_t threeGigabytes = 3221225472LL;
  EXPECT_LE(threeGigabytes / BarScale(threeGigabytes), 2147483647);
  EXPECT_LE(INT64_MAX / BarScale(INT64_MAX), 2147483647);
}

}  // namespace
