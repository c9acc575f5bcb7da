// Start-up: chooses forward or download mode from the command line and opens the first window,
// or refuses to start with a message.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The windows start-up can open; each is shown modeless and owns the run from there.
struct StartupWindows {
  std::function<void(const std::u16string& oftsPath)> showDownload;
  std::function<void()> showForward;
};

// `arguments` is the raw text after the program name.
void Main(std::u16string_view arguments, const StartupWindows& windows);
