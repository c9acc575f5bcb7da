// Uploads through a real HTTP proxy (tinyproxy with basic authentication on loopback) to
// orvane-server, from the control hosted in the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "control/engine/http/multipart_upload_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {
namespace {

const std::string US = "\x1f", RS = "\x1e";

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

class ProxyUploadTest : public EngineTest<MultipartUpload, nullptr> {
 protected:
  void SetUp() override {
    serverUrl_ = ReadAnsiFile(Environment("ORVANE_SERVER_URL_FILE"));
    proxyState_ = Environment("ORVANE_PROXY_STATE");
    ASSERT_FALSE(serverUrl_.empty() || proxyState_.empty()) << "run through ctest";
    proxy_ = "127.0.0.1:" + ReadAnsiFile(proxyState_ + "/port");
  }

  // A forward of one work file, so the server answers "1".
  std::string Forward(const std::string& productId) {
    const std::string work = WriteAnsiFile(files_.Folder() + "\\w.tta", std::string(50'000, 'w'));
    const std::string para = "s" + US + productId + US + "n" + US + "m@example.jp" + US + US + US +
                             US + US + US + US + US + US + "msg" + RS + "w.wav" + US + "90000" +
                             RS + "w.tta" + US + "50000\r\n";
    return WriteAnsiFile(files_.Folder() + "\\OrvaneFileTrans.para", para) + ";" + work;
  }

  size_t ProxiedPosts() {
    const std::string log = ReadAnsiFile(proxyState_ + "/tinyproxy.log");
    size_t count = 0;
    for (size_t at = log.find("): POST "); at != std::string::npos;
         at = log.find("): POST ", at + 1)) {
      ++count;
    }
    return count;
  }

  std::string serverUrl_, proxyState_, proxy_;
};

TEST_F(ProxyUploadTest, AuthenticatedProxyCarriesTheUpload) {
  const size_t before = ProxiedPosts();
  HostedControl control;
  control.Put(kProxy, proxy_);
  control.Put(kProxyAuth, "zorvel:secret");
  control.Put(kUrl, serverUrl_ + "/upload");
  control.Put(kFilePath, Forward("P-proxy-1"));
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0) << control.Object().ProgressText;
  EXPECT_EQ(control.GetText(kHtmlResult), "1");
  EXPECT_EQ(ProxiedPosts(), before + 1);
  EXPECT_NE(
      ReadAnsiFile(proxyState_ + "/tinyproxy.log").find("POST " + serverUrl_ + "/upload HTTP/1.0"),
      std::string::npos);
}

TEST_F(ProxyUploadTest, RefusedProxyCredentialsEndAsServerError) {
  HostedControl control;
  control.Put(kProxy, proxy_);
  control.Put(kProxyAuth, "zorvel:wrong");
  control.Put(kUrl, serverUrl_ + "/upload");
  control.Put(kFilePath, Forward("P-proxy-2"));
  control.Call(kStart);
  // The proxy answers 407 at once and closes without reading the body: the run ends at the
  // send failure when the close outruns the body, or at the server error with the 407 line.
  const long result = control.GetNumber(kResult);
  const std::string& progress = control.Object().ProgressText;
  EXPECT_TRUE(result == -4 || (result == -5 && progress.find(" 407 ") != std::string::npos))
      << result << " " << progress;
  EXPECT_EQ(control.GetText(kHtmlResult), "");
}

TEST_F(ProxyUploadTest, DotlessHostGoesDirect) {
  const size_t before = ProxiedPosts();
  HostedControl control;
  control.Put(kProxy, proxy_);
  control.Put(kUrl, "http://localhost:" + serverUrl_.substr(serverUrl_.rfind(':') + 1) + "/upload");
  control.Put(kFilePath, Forward("P-proxy-3"));
  control.Call(kStart);
  EXPECT_EQ(control.GetNumber(kResult), 0);
  EXPECT_EQ(control.GetText(kHtmlResult), "1");
  EXPECT_EQ(ProxiedPosts(), before);
}

}  // namespace
}  // namespace zorvel::testing
