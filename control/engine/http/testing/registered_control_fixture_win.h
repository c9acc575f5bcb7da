// Test support: the shipped Zorvel.dll, registered by regsvr32, created by its ProgID on a window
// of the test and driven by dispatch identifier as the transfer application drives it, with
// orvane-server's address and data folder from the server fixture.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include "control/hosting/activex_site_win.h"
#include "control/hosting/event_sink_win.h"

namespace zorvel::testing {

// The control's dispatch identifiers these tests drive.
enum Dispid : DISPID {
  kFilePath = 1,
  kUrl = 2,
  kPara1 = 3,
  kProxy = 5,
  kProxyAuth = 6,
  kAuth = 7,
  kStart = 12,
  kCount = 13,
  kCancel = 15,
  kClear = 16,
  kResult = 23,
  kHtmlResult = 24,
  kCharset = 31
};

// The parameter data file's line of a forward from `productId` to one recipient, with the
// source and work file fields as given.
std::string ParaLine(const std::string& productId, const std::string& sources,
                     const std::string& works);

class RegisteredControlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The control on the host window; `browser`, when given, plays the web page around it.
  void Host(IServiceProvider* browser);
  void PutText(DISPID id, const std::string& ansi);
  long GetNumber(DISPID id);
  std::string GetText(DISPID id);
  // Starts the upload and expects the server's "1", as Result, HTMLResult and OnComplete.
  void UploadAndExpectSuccess();
  // The files of the forwards made since the test began (the server keeps one folder per
  // forward), in the order their parameter data files list the work files.
  std::vector<std::string> StoredFiles();

  std::string serverUrl_;
  std::filesystem::path data_;
  std::vector<std::filesystem::path> earlierForwards_;
  HWND host_ = nullptr;
  ActiveXSite* site_ = nullptr;
  IDispatch* control_ = nullptr;
  EventSink* sink_ = nullptr;
  std::vector<std::string> completed_, logged_;
};

}  // namespace zorvel::testing
