// Jobs worked on side by side by worker threads and handed back in the order they were given,
// on the thread that gave them. That thread keeps everything that must stay on it (reading,
// writing, progress callbacks); the workers only run the job function. A fixed ring of slots
// bounds the jobs in flight, so memory does not grow with the length of the work.
#pragma once

#include <chrono>
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

#include "components/tta/worker_sync.h"

namespace tta {

class OrderedWorkers {
 public:
  // `work(slot)` runs on a worker thread for each submitted slot (0 to slots - 1); the caller
  // owns whatever the slot index designates and must not touch it between Submit and the
  // moment Wait returns true for it. An exception from `work` is rethrown by that Wait.
  OrderedWorkers(unsigned workers, size_t slots, std::function<void(size_t slot)> work);
  // Lets running jobs finish, drops those not started and joins the workers: a job runs for a
  // bounded time, so leaving early (cancel, failure) stays prompt.
  ~OrderedWorkers();

  OrderedWorkers(const OrderedWorkers&) = delete;
  OrderedWorkers& operator=(const OrderedWorkers&) = delete;

  bool full() const { return submitted_ - taken_ == slots_.size(); }
  bool empty() const { return submitted_ == taken_; }

  // The slot to fill before the next Submit; only while not full.
  size_t next() const { return submitted_ % slots_.size(); }
  void Submit();

  // The oldest job not yet taken; only while not empty.
  size_t oldest() const { return taken_ % slots_.size(); }
  // Waits up to `timeout` for the oldest job to finish; false when it has not.
  bool Wait(std::chrono::milliseconds timeout);
  // Frees the oldest slot for reuse, once its result has been used.
  void Take();

  // Worker threads worth starting here: one per processor and one more, because the caller's
  // thread, which reads the source and writes the frames in order, leaves its processor idle
  // between its calls; the extra worker fills those gaps (about 5% faster encoding on two cores).
  static unsigned DefaultWorkers();

 private:
  enum class State { kFree, kQueued, kRunning, kDone };
  struct Slot {
    State state = State::kFree;
    std::exception_ptr error;
  };

  void Loop();
  void Stop();

  std::function<void(size_t)> work_;
  std::vector<Slot> slots_;
  size_t submitted_ = 0;  // jobs ever submitted; the caller's counters
  size_t taken_ = 0;
  // Workers wait on it for jobs, the caller for the oldest job; the slots' states, the counts
  // below and stopping_ are only touched under its lock.
  WorkerSync sync_;
  size_t started_ = 0;      // jobs a worker has picked up
  size_t queuedCount_ = 0;  // jobs submitted, as the workers see them
  bool stopping_ = false;
};

}  // namespace tta
