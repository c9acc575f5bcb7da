#include "control/engine/ftp/ftp_store_rules.h"

#include <gtest/gtest.h>

namespace zorvel {
namespace {

TEST(FtpStoreRulesTest, AscExtEntriesAndTheTypeChoice) {
  const std::vector<std::string> entries = SplitAscExt("txt;csv");
  ASSERT_EQ(entries, (std::vector<std::string>{"txt", "csv"}));
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.TXT", "a.TXT", entries), 'A');
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.csv", "a.csv", entries), 'A');
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.wav", "a.wav", entries), 'I');
  EXPECT_EQ(ChooseTransferType("/d/a.txt", "a.txt", entries), 'A');
  // A bare name, a name without dot and an empty list always go as image.
  EXPECT_EQ(ChooseTransferType("a.txt", "a.txt", entries), 'I');
  EXPECT_EQ(ChooseTransferType("C:\\d\\txt", "txt", entries), 'I');
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.txt", "a.txt", {}), 'I');
  // The stored name decides, not the local one.
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.wav|a.txt", "a.txt", entries), 'A');
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.txt|a.bin", "a.bin", entries), 'I');
  // An entry with a leading dot never matches.
  EXPECT_EQ(ChooseTransferType("C:\\d\\a.txt", "a.txt", SplitAscExt(".txt")), 'I');
}

TEST(FtpStoreRulesTest, AscExtLimits) {
  std::string many;
  for (int i = 0; i < 40; ++i) {
    many += 'e';
    many += std::to_string(i);
    many += ';';
  }
  const std::vector<std::string> entries = SplitAscExt(many);
  ASSERT_EQ(entries.size(), 32u);
  EXPECT_EQ(entries.back(), "e31");
  EXPECT_EQ(SplitAscExt(std::string(40, 'x'))[0], std::string(31, 'x'));
  EXPECT_EQ(SplitAscExt(";;txt;"), (std::vector<std::string>{"txt"}));
  EXPECT_TRUE(SplitAscExt("").empty());
}

TEST(FtpStoreRulesTest, StoredNamesAndStorLines) {
  StoreItem item = SplitStoreItem("C:\\work\\\x98\x5e\x89\xb9.tta");
  EXPECT_EQ(item.localPath, "C:\\work\\\x98\x5e\x89\xb9.tta");
  EXPECT_EQ(item.storedName, "\x98\x5e\x89\xb9.tta");
  EXPECT_FALSE(item.hasAlias);
  // "表" ends in a "\" byte that is not a separator.
  item = SplitStoreItem("C:\\w\\\x95\x5c.txt");
  EXPECT_EQ(item.storedName, "\x95\x5c.txt");
  item = SplitStoreItem("C:\\w\\a.tta|stored name.tta");
  EXPECT_EQ(item.localPath, "C:\\w\\a.tta");
  EXPECT_EQ(item.storedName, "stored name.tta");
  EXPECT_TRUE(item.hasAlias);
  EXPECT_EQ(SplitStoreItem("/tmp/x/a.bin").storedName, "a.bin");
  EXPECT_EQ(SplitStoreItem("plain").storedName, "plain");

  EXPECT_EQ(MakeStorLine("", "a.tta"), "STOR a.tta");
  EXPECT_EQ(MakeStorLine("in/box", "a.tta"), "STOR in/box/a.tta");
  EXPECT_EQ(MakeTypeCommand('A'), "TYPE A");
  EXPECT_EQ(MakeTypeCommand('I'), "TYPE I");
  EXPECT_EQ(MakeTypeCommand('L'), "TYPE L 8");
}

TEST(FtpStoreRulesTest, CommandLinesHoldAtMost511BytesAndHideThePassword) {
  EXPECT_EQ(MakeCommandLine("USER ", "taro"), "USER taro\r\n");
  EXPECT_EQ(MakeCommandLine("STOR ", std::string(504, 'n'))->size(), 511u);
  EXPECT_FALSE(MakeCommandLine("STOR ", std::string(505, 'n')));
  EXPECT_EQ(LoggedCommand("PASS secret\r\n"), "PASS ******");
  EXPECT_EQ(LoggedCommand("USER taro\r\n"), "USER taro\r\n");
}

TEST(FtpStoreRulesTest, PassiveReplies) {
  auto target = ParsePassiveReply("227 Entering Passive Mode (127,0,0,1,195,80).\r\n");
  ASSERT_TRUE(target);
  EXPECT_EQ(target->host, "127.0.0.1");
  EXPECT_EQ(target->port, 195 * 256 + 80);
  target = ParsePassiveReply("227 =(10,1,2,3,0,21)");
  ASSERT_TRUE(target);
  EXPECT_EQ(target->host, "10.1.2.3");
  EXPECT_EQ(target->port, 21);
  EXPECT_FALSE(ParsePassiveReply("227 Entering Passive Mode 127,0,0,1,195,80"));
  EXPECT_FALSE(ParsePassiveReply("227 (127,0,0,1,195)"));
  EXPECT_FALSE(ParsePassiveReply("227 (127,0,0,1,195,)"));
  EXPECT_FALSE(ParsePassiveReply("227 (127,0,0,1,300,1)"));
  EXPECT_FALSE(ParsePassiveReply(""));
}

TEST(FtpStoreRulesTest, RateAndSecondsTexts) {
  EXPECT_EQ(Thousandths(12345), "12.34");
  EXPECT_EQ(Thousandths(999), "0.99");
  EXPECT_EQ(Thousandths(5), "0.00");
  EXPECT_EQ(MakeRateLine(5000, 1500), "5000 bytes sent in 1.50 seconds (3.33 Kbytes/sec)");
  // A file past what a 32-bit count holds.
  EXPECT_EQ(MakeRateLine(3'000'000'000, 3000),
            "3000000000 bytes sent in 3.00 seconds (1000000.00 Kbytes/sec)");
  EXPECT_EQ(TransferMs(1000, 1000), 10);
  EXPECT_EQ(TransferMs(86399000, 500), 1500);
  EXPECT_EQ(TransferRate(2097152, 1000), 2097152);
  // Large transfers divide the other way round and never by less than one second.
  EXPECT_EQ(TransferRate(500000000, 300), 500000000);
  EXPECT_EQ(TransferRate(500000000, 2500), 250000000);
}

}  // namespace
}  // namespace zorvel
