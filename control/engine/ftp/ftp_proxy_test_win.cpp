// The FTP upload through a real FTP proxy (Debian's ftp-proxy, started by ctest), which learns
// the server from the "user@host" login, in passive and in active mode.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "control/engine/ftp/ftp_upload_win.h"
#include "control/engine/http/multipart_upload_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

TEST(FtpProxyTest, UserAtHostLoginThroughFtpProxy) {
  const char* state = std::getenv("ORVANE_FTP_PROXY_STATE");
  if (!state) GTEST_SKIP() << "run through ctest: the fixture starts ftp-proxy";
  const std::string proxyPort = ReadAnsiFile(std::string(state) + "/proxy_port");
  const std::string serverHost = ReadAnsiFile(std::string(state) + "/server_host");
  if (proxyPort.empty()) GTEST_SKIP() << "the fixture could not start ftp-proxy (root needed)";
  ControlClassScope scope({MultipartUpload, FtpUpload});
  TempFiles files;
  for (const long passive : {1L, 0L}) {
    const std::string name = passive ? "proxied passive.bin" : "proxied active.bin";
    std::string bytes(120'000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + passive);
    const std::string path = files.Folder() + "\\" + name;
    {
      std::ofstream out(path, std::ios::binary);
      out << bytes;
    }
    HostedControl control;
    control.Put(kUrl, "ftp://taro:secret@" + serverHost + "/in");
    control.Put(kProxyFtp, "127.0.0.1:" + proxyPort);
    control.Put(kPassive, passive);
    control.Put(kFilePath, path);
    control.Call(kStart);
    std::string log;
    for (const RecordedEvent& event : control.Events()) {
      if (event.id == kOnLog) log += event.text + "\n";
    }
    EXPECT_EQ(control.GetNumber(kResult), 0) << "passive " << passive << "\n" << log;
    EXPECT_TRUE(control.Logged("Connecting... 127.0.0.1:" + proxyPort));
    EXPECT_TRUE(control.Logged("USER taro@" + serverHost));
    EXPECT_TRUE(control.Logged("PASS ******"));
    EXPECT_TRUE(ReadAnsiFile(std::string(state) + "/server/root/in/" + name) == bytes) << name;
  }
}

}  // namespace
}  // namespace zorvel::testing
