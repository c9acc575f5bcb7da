// The command text of W3getv: options and a URL separated by blanks, in the ANSI code page.
//
//   -d folder   the folder that receives the file (required)
//   -o name     the file's name in that folder; the URL's last segment when absent
//   -j charset  the character set of the names ("SJIS"); accepted and otherwise unused
//   -t time     the time-out in milliseconds for the connection and for each wait for data
//   url         the address of the file (http, https or ftp)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace w3getv {

inline constexpr int32_t kDefaultTimeOutMilliseconds = 60000;

struct Command {
  std::string folder;
  std::string saveName;  // already checked to be a plain file name
  std::string charset;
  int32_t timeOutMilliseconds = kDefaultTimeOutMilliseconds;
  std::string url;
};

struct ParsedCommand {
  int32_t result = 0;  // 0 when `command` is usable, else the failure code to return
  Command command;
};

// Reads the command text. Unknown or repeated options, a missing value, a second URL, a missing
// folder or URL give kParameterError; a URL of kUrlLimit characters or more kUrlTooLong; a URL
// that is not http, https or ftp or holds other than URL characters, or a save name that would
// leave the folder, kBadUrl.
ParsedCommand ParseCommand(std::string_view text);

}  // namespace w3getv
