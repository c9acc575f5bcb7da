#include "control/engine/ftp/ftp_reply.h"

#include <cctype>

namespace zorvel {
namespace {

int LineCode(std::string_view line) {
  int code = 0;
  for (size_t i = 0; i < 3 && i < line.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(line[i]))) break;
    code = code * 10 + (line[i] - '0');
  }
  return code;
}

bool IsReplyCode(int code) { return code >= 100 && code <= 599; }

}  // namespace

int ReadFtpReply(FtpReplyState& state, FtpLineSource& source) {
  // A new reply starts from nothing: a code left from the previous one would make the reader
  // wait for that code to be repeated.
  if (state.replyDepth < 0) state.replyDepth = 0;
  if (state.replyDepth == 0) {
    state.replyText.clear();
    state.replyCode = 0;
  }
  // One line per level, as deep as the reply goes; kept as a loop so that a server sending
  // endless continuation lines costs no stack, and bounded in lines.
  const int32_t outerDepth = state.replyDepth;
  std::string line;
  for (int lines = 0;; ++lines) {
    if (lines == kReplyLineLimit) {
      state.replyDepth = outerDepth;
      source.Log("reply too long");
      return kReplyTooLong;
    }
    ++state.replyDepth;
    if (const int failed = source.ReadLine(line, kReplyLineCapacity)) {
      const bool firstLine = state.replyDepth == outerDepth + 1;
      state.replyDepth = outerDepth;
      if (firstLine) return failed;
      break;
    }
    if (state.replyText.size() + line.size() + 2 < kReplyTextLimit) {
      state.replyText += line;
      state.replyText += "\r\n";
    }
    int code = LineCode(line);
    bool asksMore = !IsReplyCode(code) || (line.size() > 3 && line[3] == '-');
    source.Log(line);
    if (source.Aborted()) {
      asksMore = false;
      code = kAbortedReplyCode;
      state.replyCode = kAbortedReplyCode;
    }
    const bool firstLine = state.replyDepth == outerDepth + 1;
    if ((firstLine || state.replyCode == 0) && IsReplyCode(code)) state.replyCode = code;
    const bool continuation = !firstLine && state.replyCode != 0 && code != state.replyCode;
    if (!asksMore && !continuation) break;
  }
  state.replyDepth = outerDepth;
  return IsReplyCode(state.replyCode) ? state.replyCode / 100 : 0;
}

}  // namespace zorvel
