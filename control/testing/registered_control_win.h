// Test support: the shipped Zorvel.dll, registered by regsvr32, created by its ProgID on a window
// of the test and driven by dispatch identifier as the transfer application drives it, its
// OnComplete and OnLog texts recorded.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "control/hosting/activex_site_win.h"
#include "control/hosting/event_sink_win.h"

namespace zorvel::testing {

class RegisteredControlTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The control on the host window; `browser`, when given, plays the web page around it.
  void Host(IServiceProvider* browser);
  void PutText(DISPID id, const std::string& ansi);
  void PutNumber(DISPID id, long number);
  long GetNumber(DISPID id);
  std::string GetText(DISPID id);
  // Starts a run and cancels it from a timer message after `ms` (only a run that keeps
  // dispatching sees it): the run must end within a second of the cancel.
  void StartAndCancelAfter(UINT ms);

  HWND host_ = nullptr;
  ActiveXSite* site_ = nullptr;
  IDispatch* control_ = nullptr;
  EventSink* sink_ = nullptr;
  std::vector<std::string> completed_, logged_;
};

}  // namespace zorvel::testing
