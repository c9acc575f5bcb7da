// The platform's part of OrderedWorkers: one lock, two wake-up signals and the worker threads.
// On Windows these are slim reader/writer locks, condition variables and CRT threads, which
// wait without a trip to the kernel or, under Wine, to its server; elsewhere the standard ones.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tta {

class WorkerSync {
 public:
  WorkerSync();
  ~WorkerSync();
  WorkerSync(const WorkerSync&) = delete;
  WorkerSync& operator=(const WorkerSync&) = delete;

  void Lock();
  void Unlock();

  // With the lock held: releases it while waiting and holds it again on return. Wake-ups may
  // come without a notification, so callers check their condition again.
  void WaitQueued();
  // False when `timeout` passed without a notification.
  bool WaitDone(std::chrono::milliseconds timeout);
  void NotifyQueued();
  void NotifyAllQueued();
  void NotifyDone();

  // Starts a thread running `body`; throws std::bad_alloc or std::system_error when the
  // platform cannot start one.
  void Start(std::function<void()> body);
  // Waits for every started thread to end.
  void JoinAll();

 private:
  struct Platform;
  std::unique_ptr<Platform> platform_;
};

}  // namespace tta
