// The server's answer, line by line: the status line decides between the body and the
// server-error end; a redirection is noted but its header lines are still read; a
// Content-Length lets the body end without waiting for the server to close.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ByteBuffer;

namespace zorvel {

class AnswerReader {
 public:
  enum class Next {
    kReadLine,     // a header line was taken; read the next one
    kServerError,  // the answer is not a success; the status line is in ProgressLine()
    kBody,         // the header ended with a success status; read the body
    kTooLong,      // the header block passed kHeaderBlockLimit, or could not be kept
  };

  // What is kept of an answer: a server that sends more is refused rather than followed.
  static constexpr int32_t kHeaderBlockLimit = 64 * 1024;
  static constexpr long kBodyLimit = 1024 * 1024;

  // Header lines are recorded in `headers` with their line ends.
  explicit AnswerReader(ByteBuffer& headers) : headers_(headers) {}

  // One line without its line end. The empty line ends the header block. Log the headers
  // when HeadersToLog() says so, then empty them.
  Next TakeLine(std::string_view line);

  // True when the headers should be logged before going on (before a server-error end, or at
  // the end of the header block when some were read).
  bool HeadersToLog() const { return logHeaders_; }
  // The last status line other than a success (a redirection's stays while a later success
  // line is read); empty when there was none.
  const std::string& ProgressLine() const { return progressLine_; }
  // The length the server announced, 0 when none.
  long ContentLength() const { return contentLength_; }
  // Whether a body of `received` bytes is complete by the announced length.
  bool BodyComplete(long received) const {
    return contentLength_ > 0 && received >= contentLength_;
  }

 private:
  ByteBuffer& headers_;
  int statusClass_ = 0;
  long contentLength_ = 0;
  bool logHeaders_ = false;
  std::string progressLine_;
};

}  // namespace zorvel
