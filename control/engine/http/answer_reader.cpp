#include "control/engine/http/answer_reader.h"

#include "control/engine/socket/byte_buffer.h"

namespace zorvel {
namespace {

bool BeginsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

// Decimal digits after optional blanks, up to the first other character. Values beyond what
// a body can hold are kept at that bound rather than overflowing.
long ReadDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 0x7FFFFFFFL / 10) break;
  }
  return value;
}

}  // namespace

AnswerReader::Next AnswerReader::TakeLine(std::string_view line) {
  logHeaders_ = false;
  if (line.empty()) {
    logHeaders_ = headers_.Length() > 0;
    return statusClass_ == 2 ? Next::kBody : Next::kServerError;
  }
  if (static_cast<int64_t>(headers_.Length()) + static_cast<int64_t>(line.size()) + 2 >
          kHeaderBlockLimit ||
      !headers_.Append(line) || !headers_.Append("\r\n")) {
    return Next::kTooLong;
  }
  if (BeginsWithIgnoreCase(line, "HTTP/")) {
    const size_t blank = line.find(' ');
    if (blank == std::string_view::npos) {
      progressLine_ = std::string(line);
      logHeaders_ = true;
      return Next::kServerError;
    }
    statusClass_ = static_cast<int>(ReadDecimal(line.substr(blank + 1)) / 100);
    if (statusClass_ != 2) {
      progressLine_ = std::string(line);
      if (statusClass_ != 3) {
        logHeaders_ = true;
        return Next::kServerError;
      }
    }
  } else if (BeginsWithIgnoreCase(line, "CONTENT-LENGTH:")) {
    contentLength_ = ReadDecimal(line.substr(15));
  }
  return Next::kReadLine;
}

}  // namespace zorvel
