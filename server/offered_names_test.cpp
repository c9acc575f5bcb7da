#include "server/offered_names.h"

#include <gtest/gtest.h>

#include "base/ansi.h"
#include "base/text.h"

namespace server {
namespace {

TEST(OfferedNamesTest, NamesWithSeparatorsOrControlsAreNotOffered) {
  for (const char* name : {"a.txt", "a b.txt", "a+b.txt", "%41.txt", "録音 1.tta", "ソ表.txt",
                           "...txt", "a -d x -o evil.exe -j"}) {
    EXPECT_TRUE(IsOfferableName(name)) << name;
  }
  // "ソ" and "表" end in the byte 0x5C in code page 932, the backslash; as characters they are
  // none.
  ASSERT_EQ(base::ToAnsi(u"ソ")[1], '\\');
  EXPECT_TRUE(IsOfferableName(base::ToUtf8(base::FromAnsi(base::ToAnsi(u"ソ表.txt")))));

  for (const char* name : {"", ".", "..", "a -d C:\\Users\\Public -o evil.exe -j /payload",
                           "..\\a.txt", "a/b.txt", "\\\\host\\share", "a\tb.txt", "a\r\nb.txt",
                           "a\x1f"
                           "b",
                           "a\x7f",
                           "a\xc2\x85"
                           "b"}) {
    EXPECT_FALSE(IsOfferableName(name)) << name;
  }
}

TEST(OfferedNamesTest, HostsAndUrlTextHoldOnlyUrlCharacters) {
  for (const char* host :
       {"127.0.0.1:8480", "files.example.com", "a-b_c.local:80", "[::1]:8480", "[fe80::1]"}) {
    EXPECT_TRUE(IsUrlHost(host)) << host;
  }
  for (const char* host : {"", ":80", "a b", "evil -d C:\\x", "a/b", "host:", "host:123456",
                           "host:8a", "[::1", "[]", "[::1]x", "a@b", "h\r\nX: y"}) {
    EXPECT_FALSE(IsUrlHost(host)) << host;
  }
  EXPECT_TRUE(IsUrlText("http://127.0.0.1:8480/files/0123/"));
  EXPECT_FALSE(IsUrlText("http://h/files/a b/"));
  EXPECT_FALSE(IsUrlText("http://h/files/a\\b/"));
  EXPECT_FALSE(IsUrlText("http://h/files/\x83\x5c/"));
}

}  // namespace
}  // namespace server
