#include "control/window/file_entry_text.h"

#include <gtest/gtest.h>

#include "control/charset/convert_charset.h"

namespace zorvel {
namespace {

TEST(FileEntryTextTest, BareNamesUseTheFolderOfTheLastFullPath) {
  EntryResolver resolver;
  const auto entries = SplitEntries("C:\\rec\\b.wav;a.wav;D:\\x\\c.txt|up_c;d.txt");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(resolver.Resolve(entries[0], kCharsetSjis).path, "C:\\rec\\b.wav");
  EXPECT_EQ(resolver.Resolve(entries[1], kCharsetSjis).path, "C:\\rec\\a.wav");
  const EntryTarget aliased = resolver.Resolve(entries[2], kCharsetSjis);
  EXPECT_EQ(aliased.path, "D:\\x\\c.txt");
  EXPECT_EQ(aliased.alias, "up_c");
  const EntryTarget last = resolver.Resolve(entries[3], kCharsetUtf8);
  EXPECT_EQ(last.path, "D:\\x\\d.txt");
  EXPECT_EQ(last.alias, "%e") << "any Charset but sjis converts names by default";
}

TEST(FileEntryTextTest, DoubleByteCharactersAreNeverSplitAtTheirSecondByte) {
  // 表 (0x95 0x5C) and ポ (0x83 0x7C) carry a backslash and a bar as their second bytes.
  EntryResolver resolver;
  const EntryTarget target = resolver.Resolve("C:\\\x95\x5C\\\x83\x7C.wav", kCharsetSjis);
  EXPECT_EQ(target.path, "C:\\\x95\x5C\\\x83\x7C.wav");
  EXPECT_FALSE(target.alias);
  EXPECT_EQ(BaseName(target.path), "\x83\x7C.wav");
  EXPECT_EQ(BaseName("\x95\x5C.wav"), "\x95\x5C.wav");
  EXPECT_EQ(EntryPath("C:\\\x83\x7C.wav|x"), "C:\\\x83\x7C.wav");
}

TEST(FileEntryTextTest, FolderPatterns) {
  auto folder = MakeFolderPattern("C:\\rec\\\\", true);
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->pattern, "C:\\rec\\*.*");
  EXPECT_EQ(folder->directory, "C:\\rec\\");
  auto wildcard = MakeFolderPattern("C:\\\\rec\\*.wav", false);
  ASSERT_TRUE(wildcard);
  EXPECT_EQ(wildcard->pattern, "C:\\rec\\*.wav");
  EXPECT_EQ(wildcard->directory, "C:\\rec\\");
  EXPECT_FALSE(MakeFolderPattern("nothing", false));
}

TEST(FileEntryTextTest, PrefixDuplicatesIgnoreLetterCase) {
  EXPECT_TRUE(StartsWithIgnoreCase("C:\\Rec\\A.wav|alias", "c:\\rec\\a.WAV"));
  EXPECT_FALSE(StartsWithIgnoreCase("C:\\rec\\a.wav", "C:\\rec\\a.wav2"));
  // Only ASCII letters fold: the second byte of a double-byte character is compared exactly.
  EXPECT_FALSE(StartsWithIgnoreCase("\x82\x61", "\x82\x41"));
}

TEST(FileEntryTextTest, Aliases) {
  const std::string japanese = "C:\\rec\\\x82\xA0.wav";
  EXPECT_EQ(BuildEntryText("C:\\rec\\a.wav", std::nullopt, false, kCharsetSjis), "C:\\rec\\a.wav");
  EXPECT_EQ(BuildEntryText("C:\\rec\\a.wav", "%s.up", false, 0), "C:\\rec\\a.wav|a.wav.up");
  EXPECT_EQ(BuildEntryText("C:\\rec\\a.wav", "up_", false, 0), "C:\\rec\\a.wav|up_");
  EXPECT_EQ(BuildEntryText("C:\\rec\\a.wav", "up_", true, 0), "C:\\rec\\a.wav|up_a.wav");
  // "%e" drops the alias for ASCII names and converts the others.
  EXPECT_EQ(BuildEntryText("C:\\rec\\a.wav", "%e", false, kCharsetUtf8), "C:\\rec\\a.wav");
  EXPECT_EQ(BuildEntryText(japanese, "%e", false, kCharsetUtf8), japanese + "|\xE3\x81\x82.wav");
  EXPECT_EQ(BuildEntryText(japanese, "x_%e", false, kCharsetEuc), japanese + "|x_\xA4\xA2.wav");
  EXPECT_EQ(BuildEntryText(japanese, "%e", false, kCharsetSjis), japanese + "|\x82\xA0.wav");
  // UCS-2 is cut at its first zero byte: あ is 0x42 0x30, then "." is 0x2E 0x00.
  EXPECT_EQ(BuildEntryText(japanese, "%e", false, kCharsetUcs2), japanese + "|\x42\x30.");
  // Any other "%" stays literal; only the first "%s" is filled.
  EXPECT_EQ(BuildEntryText("C:\\a.wav", "%d%s%s", false, 0), "C:\\a.wav|%da.wav%s");
}

}  // namespace
}  // namespace zorvel
