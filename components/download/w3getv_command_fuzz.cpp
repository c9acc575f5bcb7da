#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/ansi.h"
#include "base/file_name.h"
#include "base/text.h"
#include "components/download/w3getv_codes.h"
#include "components/download/w3getv_command.h"

namespace {

bool HasNoBlank(std::string_view text) { return text.find(' ') == std::string_view::npos; }

}  // namespace

// Any command text parses to a failure code or to a command W3getv can use as it stands: a
// folder, a save name that stays in it, a bounded address of URL characters, a positive time-out;
// and the command written out again parses to the same command.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const w3getv::ParsedCommand parsed = w3getv::ParseCommand(text);
  switch (parsed.result) {
    case 0:
      break;
    case w3getv::kParameterError:
    case w3getv::kUrlTooLong:
    case w3getv::kBadUrl:
      return 0;
    default:
      __builtin_trap();
  }
  const w3getv::Command& command = parsed.command;
  if (command.folder.empty() || command.url.empty() || command.url.size() >= w3getv::kUrlLimit) {
    __builtin_trap();
  }
  for (char c : command.url) {
    if (!base::IsUrlCharacter(static_cast<unsigned char>(c))) __builtin_trap();
  }
  if (!base::IsPlainFileName(base::FromAnsi(command.saveName))) __builtin_trap();
  if (command.timeOutMilliseconds <= 0) __builtin_trap();
  if (!HasNoBlank(command.folder) || !HasNoBlank(command.saveName) ||
      !HasNoBlank(command.charset)) {
    __builtin_trap();
  }

  std::string again = "-d " + command.folder + " -o " + command.saveName + " -t " +
                      std::to_string(command.timeOutMilliseconds) + " ";
  if (!command.charset.empty()) again += "-j " + command.charset + " ";
  again += command.url;
  const w3getv::ParsedCommand reparsed = w3getv::ParseCommand(again);
  if (reparsed.result != 0 || reparsed.command.folder != command.folder ||
      reparsed.command.saveName != command.saveName || reparsed.command.url != command.url ||
      reparsed.command.charset != command.charset ||
      reparsed.command.timeOutMilliseconds != command.timeOutMilliseconds) {
    __builtin_trap();
  }
  return 0;
}
