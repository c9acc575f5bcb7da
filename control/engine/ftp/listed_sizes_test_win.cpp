// Files that changed between the listing and the run: what the list would no longer take is
// refused when the run starts, before anything connects, by both engines.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "control/engine/ftp/ftp_upload_win.h"
#include "control/engine/http/multipart_upload_win.h"
#include "control/engine/socket/testing/loopback_peer_win.h"
#include "control/object/module_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/resources/zorvel_resources.h"
#include "control/testing/hosted_control_win.h"
#include "control/testing/test_texts_win.h"

namespace zorvel::testing {
namespace {

// Makes the file `size` bytes long without writing them (Wine leaves such files sparse).
bool Resize(const std::string& path, long long size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER end;
  end.QuadPart = size;
  const bool done = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
  CloseHandle(file);
  return done;
}

class ListedSizesTest : public EngineTest<MultipartUpload, FtpUpload> {};

TEST_F(ListedSizesTest, FilesThatGrewPastTheListLimitsAreRefusedAtStart) {
  LoopbackListener peer;
  const std::string server = "127.0.0.1:" + std::to_string(peer.Port()) + ":2";
  for (const std::string& url : {"http://" + server + "/up", "ftp://" + server + "/"}) {
    SCOPED_TRACE(url);
    {
      // Past MaxSize: listed at 1000 bytes with MaxSize 1 KB, 2000 bytes at Start.
      HostedControl control;
      control.Put(kUrl, url);
      control.Put(kMaxSize, 1L);
      const std::string path = files_.Write("grew.bin", std::string(1000, 'g'));
      control.Put(kFilePath, path);
      ASSERT_EQ(control.GetNumber(13), 1);
      files_.Write("grew.bin", std::string(2000, 'g'));
      control.Call(kStart);
      EXPECT_EQ(control.GetNumber(kResult), -4);
      EXPECT_EQ(control.Object().StatusText, Formatted(IDS_SIZE_OVER, 1));
      EXPECT_FALSE(peer.ConnectionPending());
    }
    {
      // Past what Size counts: two files listed small, 1.5 GB each at Start.
      HostedControl control;
      control.Put(kUrl, url);
      const std::string first = files_.Write("big1.bin", std::string(10, 'a'));
      const std::string second = files_.Write("big2.bin", std::string(10, 'b'));
      control.Put(kFilePath, first + ";" + second);
      ASSERT_EQ(control.GetNumber(13), 2);
      ASSERT_TRUE(Resize(first, 1'500'000'000));
      ASSERT_TRUE(Resize(second, 1'500'000'000));
      control.Call(kStart);
      Resize(first, 10);
      Resize(second, 10);
      EXPECT_EQ(control.GetNumber(kResult), -4);
      EXPECT_EQ(control.Object().StatusText, Formatted(IDS_SIZE_OVER, 2097151));
      EXPECT_FALSE(peer.ConnectionPending());
    }
    if (peer.ConnectionPending()) closesocket(peer.Accept());
  }
}

}  // namespace
}  // namespace zorvel::testing
