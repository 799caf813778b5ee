#pragma once
// A few threads that run jobs handed to them, in the order handed. Work that
// splits into independent pieces (the chunks of a workbook's sheet, say) is
// handed over piece by piece; the one who hands it waits for each piece's
// result where the order matters. A pool of no threads runs each job at once
// on the thread that hands it, so that a program on one core, or a test,
// takes the same path with no thread at all.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class WorkPool {
 public:
  explicit WorkPool(unsigned threads);
  // Runs the jobs still waiting, then ends the threads.
  ~WorkPool();
  WorkPool(const WorkPool&) = delete;
  WorkPool& operator=(const WorkPool&) = delete;

  // The job's end; an exception it throws is thrown again by the future's get().
  std::future<void> Run(std::function<void()> job);
  unsigned Threads() const { return static_cast<unsigned>(threads_.size()); }

  // One pool for the program, of a thread per core, made at its first use.
  static WorkPool& Shared();

 private:
  void Work();

  std::mutex mutex_;
  std::condition_variable waiting_;
  std::deque<std::packaged_task<void()>> jobs_;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

// The pool for work asked to run on `threads` threads: the program's own for
// 0 (one per core), or one of the number asked for, kept in `own`; a pool of
// no threads on one core or for 1, so that the caller's thread does it all.
WorkPool& PoolFor(unsigned threads, std::unique_ptr<WorkPool>& own);
