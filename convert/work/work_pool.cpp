#include "work/work_pool.h"

#include <algorithm>
#include <utility>

WorkPool::WorkPool(unsigned threads) {
  threads_.reserve(threads);
  for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

WorkPool::~WorkPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  waiting_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

std::future<void> WorkPool::Run(std::function<void()> job) {
  std::packaged_task<void()> task(std::move(job));
  std::future<void> done = task.get_future();
  if (threads_.empty()) {
    task();
    return done;
  }
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(std::move(task));
  }
  waiting_.notify_one();
  return done;
}

void WorkPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    waiting_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
    if (jobs_.empty()) return;
    std::packaged_task<void()> task = std::move(jobs_.front());
    jobs_.pop_front();
    lock.unlock();
    task();
    lock.lock();
  }
}

// Never destroyed: its threads wait for work until the process ends, and no
// static destructor has to join them while the program shuts down.
WorkPool& WorkPool::Shared() {
  static WorkPool* const pool = new WorkPool(std::max(1u, std::thread::hardware_concurrency()));
  return *pool;
}

WorkPool& PoolFor(unsigned threads, std::unique_ptr<WorkPool>& own) {
  const unsigned wanted = threads != 0 ? threads : std::thread::hardware_concurrency();
  if (threads == 0 && wanted > 1) return WorkPool::Shared();
  own = std::make_unique<WorkPool>(wanted > 1 ? wanted : 0);
  return *own;
}
