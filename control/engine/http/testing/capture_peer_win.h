// A loopback HTTP peer of the upload tests: it keeps the request's bytes exactly as they came,
// then answers as the test says.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "control/engine/socket/testing/loopback_peer_win.h"

namespace zorvel::testing {

struct PeerScript {
  // Sent once the whole request (its header block and the announced body) has arrived.
  std::string answer = "HTTP/1.0 200 OK\r\n\r\n1";
  // Close after answering, or wait until the client closes first.
  bool closeAfterAnswer = true;
  // Stop reading (and close) once this many body bytes have arrived; -1 reads them all.
  long closeAfterBodyBytes = -1;
  // Read nothing for this long after the header block (the client's sends then wait).
  int stallMs = 0;
  // Never answer; wait for the client to close.
  bool silent = false;
};

class CapturePeer {
 public:
  explicit CapturePeer(PeerScript script = {});
  int Port() const { return peer_->Port(); }
  // What arrived so far.
  std::string Request() const;

 private:
  void Serve(SOCKET socket);

  PeerScript script_;
  mutable std::mutex mutex_;
  std::string request_;
  std::unique_ptr<LoopbackPeer> peer_;
};

}  // namespace zorvel::testing
