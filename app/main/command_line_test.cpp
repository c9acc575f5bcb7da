#include "app/main/command_line.h"

#include <gtest/gtest.h>

TEST(ParseCommandLine, EmptyAndLogSwitchMeanForwardMode) {
  EXPECT_EQ(ParseCommandLine(u"").descriptorPath, u"");
  EXPECT_FALSE(ParseCommandLine(u"").blnLog);
  const StartupRequest log = ParseCommandLine(u"-log");
  EXPECT_TRUE(log.blnLog);
  EXPECT_EQ(log.descriptorPath, u"");
}

TEST(ParseCommandLine, AnythingElseIsTakenWholeAsADescriptorPath) {
  for (const std::u16string text : {u"-log x", u"-LOG", u"\"C:\\a b\\x.ofts\"", u"-log "}) {
    const StartupRequest request = ParseCommandLine(text);
    EXPECT_FALSE(request.blnLog);
    EXPECT_EQ(request.descriptorPath, text);
  }
}

TEST(ArgumentText, DropsTheProgramNameAndItsOneSeparatingBlank) {
  EXPECT_EQ(ArgumentText(u"OrvaneFts.exe"), u"");
  EXPECT_EQ(ArgumentText(u"OrvaneFts.exe -log"), u"-log");
  EXPECT_EQ(ArgumentText(u"\"C:\\Program Files\\OrvaneFts.exe\" \"x y.ofts\""), u"\"x y.ofts\"");
  EXPECT_EQ(ArgumentText(u"\"C:\\a b\\OrvaneFts.exe\"   -log x  "), u"  -log x  ");
  EXPECT_EQ(ArgumentText(u"OrvaneFts.exe\t\t-log"), u"\t-log");
  EXPECT_EQ(ArgumentText(u"OrvaneFts.exe "), u"");
}
