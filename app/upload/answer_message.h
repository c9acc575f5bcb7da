// The message the upload window shows for the server's answer to a forward.
#pragma once

#include <string>
#include <string_view>

struct AnswerMessage {
  std::u16string text;
  bool success = false;  // information icon; every other answer gets the critical one
};

// Every CR LF pair is removed from the answer first; the codes are then compared exactly, with
// no blank trimmed, so "1 " is not a success.
AnswerMessage MessageForAnswer(std::u16string_view answer);
