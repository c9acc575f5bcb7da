#include "app/main/file_extension.h"

#include <gtest/gtest.h>

TEST(EditFileExtension, ReplacesTheLastExtensionIgnoringCase) {
  EXPECT_EQ(EditFileExtension(u"x.WAV", u"wav", u"TTA"), u"x.tta");
  EXPECT_EQ(EditFileExtension(u"a.b.wav", u"wav", u"tta"), u"a.b.tta");
  EXPECT_EQ(EditFileExtension(u"C:\\録音\\声.tta", u"TTA", u"wav"), u"C:\\録音\\声.wav");
}

TEST(EditFileExtension, OtherExtensionLeavesThePathAlone) {
  EXPECT_EQ(EditFileExtension(u"x.mp3", u"wav", u"tta"), u"x.mp3");
  EXPECT_EQ(EditFileExtension(u"noext", u"wav", u"tta"), u"noext");
}
