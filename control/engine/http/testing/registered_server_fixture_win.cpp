#include "control/engine/http/testing/registered_server_fixture_win.h"

// The common controls need the types of windows.h first.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <algorithm>
#include <cstdlib>

#include "control/hosting/dispatch_call_win.h"
#include "control/object/bstr_text_win.h"
#include "control/object/zorvex_dispid_win.h"
#include "control/testing/hosted_control_win.h"

namespace zorvel::testing {

std::string ParaLine(const std::string& productId, const std::string& sources,
                     const std::string& works) {
  const std::string US = "\x1f", RS = "\x1e";
  return "sender" + US + productId + US + "name1" + US + "mail1@example.jp" + US + US + US + US +
         US + US + US + US + US + "message" + RS + sources + RS + works + "\r\n";
}

void RegisteredServerTest::SetUp() {
  const char* urlFile = std::getenv("ORVANE_SERVER_URL_FILE");
  const char* data = std::getenv("ORVANE_SERVER_DATA");
  ASSERT_TRUE(urlFile && data) << "run through ctest: the server fixture sets them";
  serverUrl_ = ReadAnsiFile(urlFile);
  data_ = data;
  for (const auto& forward : std::filesystem::directory_iterator(data_ / "files")) {
    earlierForwards_.push_back(forward.path());
  }
  RegisteredControlTest::SetUp();
}

void RegisteredServerTest::UploadAndExpectSuccess() {
  ASSERT_EQ(CallDispatchMethod(control_, kStart, nullptr, 0, nullptr), S_OK);
  EXPECT_EQ(GetNumber(kResult), 0);
  VARIANT value;
  VariantInit(&value);
  ASSERT_EQ(GetDispatchProperty(control_, kHtmlResult, &value), S_OK);
  ASSERT_EQ(value.vt, VT_BSTR);
  EXPECT_EQ(AnsiFromBstr(value.bstrVal), "1");
  VariantClear(&value);
  EXPECT_EQ(completed_, std::vector<std::string>{"1"});
  EXPECT_EQ(SendMessageW(GetDlgItem(site_->ControlWindow(), 203), PBM_GETPOS, 0, 0), 62);
}

std::vector<std::string> RegisteredServerTest::StoredFiles() {
  std::vector<std::string> stored;
  for (const auto& forward : std::filesystem::directory_iterator(data_ / "files")) {
    if (std::find(earlierForwards_.begin(), earlierForwards_.end(), forward.path()) !=
        earlierForwards_.end()) {
      continue;
    }
    for (size_t i = 0; std::filesystem::exists(forward.path() / std::to_string(i)); ++i) {
      stored.push_back(ReadAnsiFile((forward.path() / std::to_string(i)).string()));
    }
  }
  return stored;
}

}  // namespace zorvel::testing
