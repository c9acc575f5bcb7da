#pragma once

#include <string>
#include <string_view>

// What the command line asks the program to do: forward mode when `descriptorPath` is empty,
// download mode on that descriptor otherwise.
struct StartupRequest {
  bool blnLog = false;
  std::u16string descriptorPath;
};

// `arguments` is the raw text after the program name, used unchanged: no quote removal and no
// splitting. Only "-log" alone is the log switch.
StartupRequest ParseCommandLine(std::u16string_view arguments);

// The argument text of a full process command line: what follows the program name (quoted or
// not) and the one blank that separates it; any further blanks are kept.
std::u16string_view ArgumentText(std::u16string_view commandLine);
