#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "components/tta/worker_sync.h"

namespace tta {

struct WorkerSync::Platform {
  std::mutex mutex;
  std::condition_variable queued;
  std::condition_variable done;
  std::vector<std::thread> threads;
};

WorkerSync::WorkerSync() : platform_(std::make_unique<Platform>()) {}
WorkerSync::~WorkerSync() { JoinAll(); }

void WorkerSync::Lock() { platform_->mutex.lock(); }
void WorkerSync::Unlock() { platform_->mutex.unlock(); }

void WorkerSync::WaitQueued() {
  std::unique_lock lock(platform_->mutex, std::adopt_lock);
  platform_->queued.wait(lock);
  lock.release();
}

bool WorkerSync::WaitDone(std::chrono::milliseconds timeout) {
  std::unique_lock lock(platform_->mutex, std::adopt_lock);
  const bool notified = platform_->done.wait_for(lock, timeout) == std::cv_status::no_timeout;
  lock.release();
  return notified;
}

void WorkerSync::NotifyQueued() { platform_->queued.notify_one(); }
void WorkerSync::NotifyAllQueued() { platform_->queued.notify_all(); }
void WorkerSync::NotifyDone() { platform_->done.notify_all(); }

void WorkerSync::Start(std::function<void()> body) {
  platform_->threads.emplace_back(std::move(body));
}

void WorkerSync::JoinAll() {
  for (auto& thread : platform_->threads) {
    if (thread.joinable()) thread.join();
  }
  platform_->threads.clear();
}

}  // namespace tta
