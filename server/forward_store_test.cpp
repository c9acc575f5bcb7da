#include "server/forward_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

namespace server {
namespace {

namespace fs = std::filesystem;

// The server records forwards from many request threads at once, while others read.
TEST(ForwardStoreTest, ForwardsRecordedFromManyThreadsAtOnceAreAllCommittedOnce) {
  const fs::path folder = fs::temp_directory_path() / ("orvane-store-" + std::to_string(getpid()));
  fs::remove_all(folder);
  fs::create_directories(folder);
  constexpr int kThreads = 8;
  constexpr int kForwardsEach = 60;
  std::atomic<int> failures{0};
  {
    ForwardStore store(folder / "forwards.db");
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.emplace_back([&, t] {
        for (int i = 0; i < kForwardsEach; ++i) {
          ForwardRecord forward;
          forward.id = std::to_string(t) + "-" + std::to_string(i);
          forward.productId = "P-" + std::to_string(t);
          forward.files.push_back({"a.txt", 1, "a.txt", 1, "a.txt"});
          try {
            store.Begin();
          } catch (const std::exception&) {
            ++failures;
            continue;
          }
          try {
            store.Insert(forward);
            // Every other one is taken back, as a failed step would.
            if (i % 2) {
              store.Rollback();
            } else {
              store.Commit();
            }
          } catch (const std::exception&) {
            ++failures;
            store.Rollback();
          }
          store.ForwardsOf("P-" + std::to_string(t));
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, 0);
    for (int t = 0; t < kThreads; ++t) {
      EXPECT_EQ(store.ForwardsOf("P-" + std::to_string(t)).size(), kForwardsEach / 2u) << t;
    }
  }
  fs::remove_all(folder);
}

}  // namespace
}  // namespace server
