// One request of W3getv: WinINet does the network work on a thread of its own, so that the
// caller's thread is free to run the progress callback and to dispatch its window messages.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "components/download/w3getv_command.h"

namespace w3getv {

class Transfer : public std::enable_shared_from_this<Transfer> {
 public:
  Transfer(Command command, std::string targetPath);
  ~Transfer();
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Starts the request; false when no thread could be started. The thread keeps the transfer
  // and this library alive until it ends, so a caller that stops waiting for a network call
  // that will not return may leave it behind.
  bool Start();

  // Set by the network thread.
  HANDLE thread() const { return thread_; }
  bool SizeKnown() const { return sizeKnown_; }
  // Set once the size is known, so that the caller reports it at once rather than at its next
  // look.
  HANDLE sizeKnownEvent() const { return sizeKnownEvent_; }
  int64_t Size() const { return size_; }
  int64_t Received() const { return received_; }
  uint64_t LastActivity() const { return lastActivity_; }
  // The outcome once the thread has ended.
  int32_t Result() const { return result_; }

  // After the size was reported: lets the thread create the file and receive the data.
  void Proceed();
  // Ends the request at once: blocked network calls return, the partial file is removed.
  void Abort();

 private:
  static DWORD WINAPI ThreadMain(void* self);
  int32_t Run();
  int32_t Open();
  // An ftp URL: the file's size from the server's listing, then the file itself.
  int32_t OpenFtp(HINTERNET session, const URL_COMPONENTSA& parts, DWORD flags);
  int32_t Receive();
  int32_t FailureOfLastError() const;
  void SetTimeOuts(HINTERNET handle) const;
  // Takes `handle` into `slot`, unless the request was aborted meanwhile (then closes it).
  int32_t Keep(HINTERNET handle, HINTERNET Transfer::*slot);
  void CloseHandles();
  void Touch();
  void AnnounceSize(int64_t size);

  const Command command_;
  const std::string targetPath_;
  HANDLE thread_ = nullptr;
  HANDLE proceed_ = nullptr;
  HANDLE sizeKnownEvent_ = nullptr;
  HMODULE module_ = nullptr;

  std::mutex handlesMutex_;  // the handles are closed by either thread
  HINTERNET session_ = nullptr;
  HINTERNET connection_ = nullptr;
  HINTERNET request_ = nullptr;

  std::atomic<bool> aborted_{false};
  std::atomic<bool> sizeKnown_{false};
  std::atomic<int64_t> size_{0};
  std::atomic<int64_t> received_{0};
  std::atomic<uint64_t> lastActivity_{0};
  std::atomic<int32_t> result_{0};
};

}  // namespace w3getv
