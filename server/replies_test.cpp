#include "server/replies.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/ansi.h"

namespace server {
namespace {

class RepliesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tz = std::getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (hadTz_) {
      setenv("TZ", savedTz_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  std::string savedTz_;
  bool hadTz_ = false;
};

// 2026-11-01 09:05:07 UTC
constexpr std::int64_t kNovemberFirst = 1793523907;

ForwardRecord Forward(std::string id, bool deleted, std::vector<StoredFile> files) {
  ForwardRecord forward;
  forward.id = std::move(id);
  forward.recipients = {{"山田", "y@example.com"}, {"b", "b@example.com"}};
  forward.createdAt = kNovemberFirst;
  forward.deleted = deleted;
  forward.files = std::move(files);
  return forward;
}

TEST_F(RepliesTest, OffersWavSourcesAsTtaByTheirLastThreeCharactersAndOthersUnderTheirOwnName) {
  EXPECT_EQ(OfferedName("song.wav"), "song.tta");
  EXPECT_EQ(OfferedName("SONG.WAV"), "SONG.tta");
  EXPECT_EQ(OfferedName("録音.Wav"), "録音.tta");
  EXPECT_EQ(OfferedName("a.b.wav"), "a.b.tta");
  EXPECT_EQ(OfferedName("notes.txt"), "notes.txt");
  EXPECT_EQ(OfferedName("clip.wave"), "clip.wave");
}

TEST_F(RepliesTest, HistoryRecordsHaveFivePairsDateStateAndFilesInCodePage932) {
  std::vector<ForwardRecord> forwards = {
      Forward("a", true, {{"x.wav", 1000, "x.tta", 430, "x.tta"}}),
      Forward("b", false, {{"表.txt", 20, "表.txt", 20, "表.txt"}, {"c", 0, "c", 0, "c"}})};
  const std::string US = "\x1f";
  const std::string pairs = base::ToAnsi(u"山田") + US + "y@example.com" + US + "b" + US +
                            "b@example.com" + US + US + US + US + US + US;
  std::string expected = pairs + US + "2026/11/01 09:05:07" + US + "1" + US + "x.tta" + US +
                         "430\r\n" + pairs + US + "2026/11/01 09:05:07" + US + "0" + US +
                         base::ToAnsi(u"表.txt") + US + "20" + US + "c" + US + "0\r\n";
  EXPECT_EQ(HistoryReply(forwards), expected);
  EXPECT_EQ(HistoryReply({}), "");
}

TEST_F(RepliesTest, SavedSizeCountsKeptFilesAndStopsAtTheLargest32BitNumber) {
  std::vector<ForwardRecord> forwards = {
      Forward("a", true, {{"x", 1, "x", 5000, "x"}}),
      Forward("b", false, {{"y", 1, "y", 300, "y"}, {"z", 1, "z", 12, "z"}})};
  EXPECT_EQ(SavedSizeReply(forwards), "312");
  EXPECT_EQ(SavedSizeReply({}), "0");
  forwards.push_back(Forward("c", false, {{"big", 1, "big", 1073741823, "big"}}));
  forwards.push_back(Forward("d", false, {{"big", 1, "big", 1073741823, "big"}}));
  EXPECT_EQ(SavedSizeReply(forwards), "2147483647");
}

TEST_F(RepliesTest, DescriptorListsOneUnencodedUrlPerFile) {
  ForwardRecord forward =
      Forward("0123456789abcdef", false,
              {{"録音.wav", 9, "録音.tta", 5, "録音.tta"}, {"a b.txt", 3, "ab.txt", 3, "ab.txt"}});
  EXPECT_EQ(DescriptorText("http://127.0.0.1:8080", forward),
            "http://127.0.0.1:8080/files/0123456789abcdef/" + base::ToAnsi(u"録音.tta") +
                "\r\nhttp://127.0.0.1:8080/files/0123456789abcdef/ab.txt\r\n");
}

// Forwards stored before uploads were checked may hold any name; the base URL comes from a
// client's Host header. Neither may put a blank or a separator before a line's last segment.
TEST_F(RepliesTest, DescriptorLeavesOutWhatCouldNotBeALineOfOneAddressAndName) {
  ForwardRecord forward = Forward("0123456789abcdef", false,
                                  {{"a -d C:\\Users\\Public -o evil.exe -j /payload", 3, "p", 3,
                                    "a -d C:\\Users\\Public -o evil.exe -j /payload"},
                                   {"a\r\nb", 3, "q", 3, "a\r\nb"},
                                   {"ok.txt", 3, "ok.txt", 3, "ok.txt"}});
  EXPECT_EQ(DescriptorText("http://h:1", forward), "http://h:1/files/0123456789abcdef/ok.txt\r\n");
  EXPECT_EQ(DescriptorText("http://h -d C:\\x", forward), "");
}

}  // namespace
}  // namespace server
