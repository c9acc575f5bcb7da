// Plain TCP exchanges with the server on loopback, for requests that no HTTP client would
// send: hand-built bytes, truncated bodies, a connection cut after the answer's headers.
#pragma once

#include <string>

namespace server::testing {

struct RawAnswer {
  int status = 0;  // 0 when no status line came
  std::string headers;
  std::string body;
};

// Sends the bytes, optionally closes the sending side, and reads until the server closes or
// nothing arrives for `timeoutSeconds`.
RawAnswer Exchange(int port, const std::string& bytes, bool closeSending = false,
                   int timeoutSeconds = 30);

}  // namespace server::testing
