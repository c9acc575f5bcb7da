#include "components/tta/ordered_workers.h"

#include <algorithm>

namespace tta {

OrderedWorkers::OrderedWorkers(unsigned workers, size_t slots,
                               std::function<void(size_t slot)> work)
    : work_(std::move(work)), slots_(std::max<size_t>(slots, 1)) {
  threads_.reserve(std::max(workers, 1u));
  try {
    for (unsigned i = 0; i < std::max(workers, 1u); ++i) threads_.emplace_back([this] { Loop(); });
  } catch (...) {
    // Threads already started are stopped before the exception leaves.
    Stop();
    throw;
  }
}

OrderedWorkers::~OrderedWorkers() { Stop(); }

void OrderedWorkers::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  queued_.notify_all();
  for (auto& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void OrderedWorkers::Submit() {
  {
    std::lock_guard lock(mutex_);
    slots_[next()] = Slot{State::kQueued, nullptr};
    ++queuedCount_;
  }
  ++submitted_;
  queued_.notify_one();
}

bool OrderedWorkers::Wait(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  Slot& slot = slots_[oldest()];
  if (!done_.wait_for(lock, timeout, [&] { return slot.state == State::kDone; })) return false;
  if (slot.error) std::rethrow_exception(slot.error);
  return true;
}

void OrderedWorkers::Take() {
  {
    std::lock_guard lock(mutex_);
    slots_[oldest()] = Slot{};
  }
  ++taken_;
}

unsigned OrderedWorkers::DefaultWorkers() {
  return std::clamp(std::thread::hardware_concurrency(), 1u, 16u);
}

void OrderedWorkers::Loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    queued_.wait(lock, [&] { return stopping_ || started_ < queuedCount_; });
    if (stopping_) return;
    const size_t index = started_++ % slots_.size();
    slots_[index].state = State::kRunning;
    lock.unlock();
    std::exception_ptr error;
    try {
      work_(index);
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    slots_[index].state = State::kDone;
    slots_[index].error = error;
    // Only the caller waits here, and only for the oldest job; waking it for a later one costs
    // one look.
    done_.notify_all();
  }
}

}  // namespace tta
