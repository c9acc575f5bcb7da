// The FTP reply reader, over whatever reads lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvel {

// replyText keeps whole lines, each with CR LF, while they fit below this many characters.
inline constexpr size_t kReplyTextLimit = 1024;
// A reply line is cut to this capacity (less its terminating zero).
inline constexpr int kReplyLineCapacity = 4096;
// The code that stands for a reply cut short by cancel.
inline constexpr int kAbortedReplyCode = 421;
// A reply of more lines than this is refused with kReplyTooLong (the WinSock code for a message
// too long): a server that sends continuation lines without end must not hold the run.
inline constexpr int kReplyLineLimit = 1000;
inline constexpr int kReplyTooLong = 10040;

// The classes of reply (the first digit of the code) that the client tells apart.
enum FtpReplyClass : int {
  kReplyPreliminary = 1,
  kReplyCompleted = 2,
  kReplyIntermediate = 3,
};

struct FtpReplyState {
  int32_t replyDepth = 0;
  int32_t replyCode = 0;
  std::string replyText;
};

class FtpLineSource {
 public:
  virtual ~FtpLineSource() = default;
  // 0 with one line, or a nonzero code of the socket layer.
  virtual int ReadLine(std::string& line, int capacity) = 0;
  virtual void Log(std::string_view line) = 0;
  virtual bool Aborted() = 0;
};

// Reads one reply, of as many lines as it takes: a line whose code is not 100 to 599 or that
// has "-" after its code asks for another, and so does every line of a multi-line reply until
// one repeats the first code. Returns the class (first digit) of the reply's code, 0 when it has
// none, or the read's failure code when the first line could not be read; a failure later in
// the reply ends it with the class read so far.
int ReadFtpReply(FtpReplyState& state, FtpLineSource& source);

}  // namespace zorvel
