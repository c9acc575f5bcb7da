#include <process.h>
#include <windows.h>

#include <new>
#include <system_error>
#include <vector>

#include "components/tta/worker_sync.h"

namespace tta {

struct WorkerSync::Platform {
  SRWLOCK lock = SRWLOCK_INIT;
  CONDITION_VARIABLE queued = CONDITION_VARIABLE_INIT;
  CONDITION_VARIABLE done = CONDITION_VARIABLE_INIT;
  std::vector<HANDLE> threads;
};

namespace {

unsigned __stdcall RunBody(void* argument) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return 0;
}

}  // namespace

WorkerSync::WorkerSync() : platform_(std::make_unique<Platform>()) {}
WorkerSync::~WorkerSync() { JoinAll(); }

void WorkerSync::Lock() { AcquireSRWLockExclusive(&platform_->lock); }
void WorkerSync::Unlock() { ReleaseSRWLockExclusive(&platform_->lock); }

void WorkerSync::WaitQueued() {
  SleepConditionVariableSRW(&platform_->queued, &platform_->lock, INFINITE, 0);
}

bool WorkerSync::WaitDone(std::chrono::milliseconds timeout) {
  return SleepConditionVariableSRW(&platform_->done, &platform_->lock,
                                   static_cast<DWORD>(timeout.count()), 0) != 0;
}

void WorkerSync::NotifyQueued() { WakeConditionVariable(&platform_->queued); }
void WorkerSync::NotifyAllQueued() { WakeAllConditionVariable(&platform_->queued); }
void WorkerSync::NotifyDone() { WakeAllConditionVariable(&platform_->done); }

void WorkerSync::Start(std::function<void()> body) {
  platform_->threads.reserve(platform_->threads.size() + 1);
  auto owned = std::make_unique<std::function<void()>>(std::move(body));
  // The CRT's own thread start, so that the C runtime the codec uses is set up for the thread.
  const uintptr_t thread = _beginthreadex(nullptr, 0, RunBody, owned.get(), 0, nullptr);
  if (thread == 0) throw std::system_error(errno, std::generic_category());
  owned.release();
  platform_->threads.push_back(reinterpret_cast<HANDLE>(thread));
}

void WorkerSync::JoinAll() {
  for (const HANDLE thread : platform_->threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
  platform_->threads.clear();
}

}  // namespace tta
