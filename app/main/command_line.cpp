#include "app/main/command_line.h"

StartupRequest ParseCommandLine(std::u16string_view arguments) {
  StartupRequest request;
  if (arguments == u"-log") {
    request.blnLog = true;
    return request;
  }
  request.descriptorPath = arguments;
  return request;
}

std::u16string_view ArgumentText(std::u16string_view commandLine) {
  size_t pos = 0;
  if (!commandLine.empty() && commandLine.front() == u'"') {
    const size_t close = commandLine.find(u'"', 1);
    pos = close == std::u16string_view::npos ? commandLine.size() : close + 1;
  }
  while (pos < commandLine.size() && commandLine[pos] != u' ' && commandLine[pos] != u'\t') ++pos;
  // Only the one blank that separates the name goes: further blanks belong to the arguments.
  if (pos < commandLine.size()) ++pos;
  return commandLine.substr(pos);
}
