#include "components/tta/ordered_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tta {
namespace {

using namespace std::chrono_literals;

// Jobs that finish out of order (later ones sooner) still come back in the order given, each
// with its own result, through a ring of slots reused many times over.
TEST(OrderedWorkersTest, HandsResultsBackInOrderWhateverTheFinishingOrder) {
  struct Job {
    int input = 0;
    int output = 0;
  };
  for (const unsigned workers : {1u, 2u, 5u}) {
    std::vector<Job> jobs(4);
    std::mutex threadsMutex;
    std::set<std::thread::id> threads;
    OrderedWorkers pool(workers, jobs.size(), [&](size_t slot) {
      std::this_thread::sleep_for(std::chrono::microseconds((7 - jobs[slot].input % 7) * 100));
      jobs[slot].output = jobs[slot].input * 3;
      std::lock_guard lock(threadsMutex);
      threads.insert(std::this_thread::get_id());
    });
    int given = 0;
    std::vector<int> results;
    while (results.size() < 60) {
      while (!pool.full() && given < 60) {
        jobs[pool.next()].input = given++;
        pool.Submit();
      }
      while (!pool.Wait(10ms)) {
      }
      results.push_back(jobs[pool.oldest()].output);
      pool.Take();
    }
    EXPECT_TRUE(pool.empty());
    for (int i = 0; i < 60; ++i) ASSERT_EQ(results[i], i * 3) << workers << " workers";
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u);
    EXPECT_LE(threads.size(), workers);
  }
}

// Side by side, not one after another: each of two jobs waits until the other has started.
TEST(OrderedWorkersTest, WorkersRunJobsAtTheSameTime) {
  std::atomic<int> running{0};
  std::atomic<bool> metTheOther[2] = {false, false};
  OrderedWorkers pool(2, 2, [&](size_t slot) {
    ++running;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (running < 2 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    metTheOther[slot] = running == 2;
  });
  pool.Submit();
  pool.Submit();
  for (const size_t slot : {0u, 1u}) {
    while (!pool.Wait(10ms)) {
    }
    EXPECT_TRUE(metTheOther[slot]) << "job " << slot;
    pool.Take();
  }
}

TEST(OrderedWorkersTest, AFailureSurfacesWhenItsJobIsReachedAndNotBefore) {
  std::vector<int> inputs(3);
  OrderedWorkers pool(2, inputs.size(), [&](size_t slot) {
    if (inputs[slot] == 1) throw std::runtime_error("bad job");
  });
  for (int i = 0; i < 3; ++i) {
    inputs[pool.next()] = i;
    pool.Submit();
  }
  while (!pool.Wait(10ms)) {
  }
  pool.Take();
  EXPECT_THROW(
      {
        while (!pool.Wait(10ms)) {
        }
      },
      std::runtime_error);
}

TEST(OrderedWorkersTest, WaitTimesOutWhileTheOldestRunsAndLeavingDropsQueuedJobs) {
  std::atomic<bool> release{false};
  std::atomic<int> ran{0};
  const auto start = std::chrono::steady_clock::now();
  std::thread releaser;
  {
    OrderedWorkers pool(1, 8, [&](size_t) {
      ++ran;
      while (!release) std::this_thread::sleep_for(1ms);
    });
    for (int i = 0; i < 8; ++i) pool.Submit();
    EXPECT_FALSE(pool.Wait(20ms));
    // The job ends only once the pool is being left.
    releaser = std::thread([&] {
      std::this_thread::sleep_for(50ms);
      release = true;
    });
  }
  releaser.join();
  // The running job finished; the seven queued behind it never started.
  EXPECT_EQ(ran, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

}  // namespace
}  // namespace tta
