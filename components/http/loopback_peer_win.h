// A small HTTP peer on 127.0.0.1 for tests of the queries: it records each request and answers
// with a reply chosen by the test, or keeps silent to let the client's time-out run out.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class LoopbackHttpPeer {
 public:
  LoopbackHttpPeer();
  ~LoopbackHttpPeer();
  LoopbackHttpPeer(const LoopbackHttpPeer&) = delete;
  LoopbackHttpPeer& operator=(const LoopbackHttpPeer&) = delete;

  // The whole response to send: status line, headers, body.
  void SetResponse(std::string response);
  // A 200 response with this body and content type.
  void SetBody(std::string_view body, std::string_view contentType = "text/plain");
  // Reads requests but never answers.
  void SetSilent();
  // Waits this long after a request before it answers, as a slow server does.
  void SetDelay(int milliseconds);

  std::u16string Url(std::string_view path) const;

  // The requests received so far: head and body as sent.
  std::vector<std::string> Requests() const;

 private:
  void Serve();
  void Answer(unsigned socket);

  unsigned listener_;
  unsigned short port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::string response_;
  bool silent_ = false;
  int delayMs_ = 0;
  std::vector<std::string> requests_;
  std::thread thread_;
};
