#include "components/tta/ordered_workers.h"

#include <algorithm>
#include <thread>

namespace tta {
namespace {

class Locked {
 public:
  explicit Locked(WorkerSync& sync) : sync_(sync) { sync_.Lock(); }
  ~Locked() { sync_.Unlock(); }
  Locked(const Locked&) = delete;
  Locked& operator=(const Locked&) = delete;

 private:
  WorkerSync& sync_;
};

}  // namespace

OrderedWorkers::OrderedWorkers(unsigned workers, size_t slots,
                               std::function<void(size_t slot)> work)
    : work_(std::move(work)), slots_(std::max<size_t>(slots, 1)) {
  try {
    for (unsigned i = 0; i < std::max(workers, 1u); ++i) sync_.Start([this] { Loop(); });
  } catch (...) {
    // Threads already started are stopped before the exception leaves.
    Stop();
    throw;
  }
}

OrderedWorkers::~OrderedWorkers() { Stop(); }

void OrderedWorkers::Stop() {
  {
    Locked lock(sync_);
    stopping_ = true;
  }
  sync_.NotifyAllQueued();
  sync_.JoinAll();
}

void OrderedWorkers::Submit() {
  {
    Locked lock(sync_);
    slots_[next()] = Slot{State::kQueued, nullptr};
    ++queuedCount_;
  }
  ++submitted_;
  sync_.NotifyQueued();
}

bool OrderedWorkers::Wait(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  Locked lock(sync_);
  Slot& slot = slots_[oldest()];
  while (slot.state != State::kDone) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !sync_.WaitDone(left)) {
      if (slot.state != State::kDone) return false;
    }
  }
  if (slot.error) std::rethrow_exception(slot.error);
  return true;
}

void OrderedWorkers::Take() {
  {
    Locked lock(sync_);
    slots_[oldest()] = Slot{};
  }
  ++taken_;
}

unsigned OrderedWorkers::DefaultWorkers() {
  return std::clamp(std::thread::hardware_concurrency() + 1, 1u, 16u);
}

void OrderedWorkers::Loop() {
  Locked lock(sync_);
  for (;;) {
    while (!stopping_ && started_ == queuedCount_) sync_.WaitQueued();
    if (stopping_) return;
    const size_t index = started_++ % slots_.size();
    slots_[index].state = State::kRunning;
    sync_.Unlock();
    std::exception_ptr error;
    try {
      work_(index);
    } catch (...) {
      error = std::current_exception();
    }
    sync_.Lock();
    slots_[index].state = State::kDone;
    slots_[index].error = error;
    // Only the caller waits here, and only for the oldest job; waking it for a later one costs
    // one look.
    sync_.NotifyDone();
  }
}

}  // namespace tta
