// A fixed set of worker threads that run one job together and meet at
// barriers inside it. Threads are started once, with the pool, and sleep
// between jobs: running a job starts no thread and allocates nothing.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace cloth {

/// A pool of `size()` workers; worker 0 is the thread that calls run().
class WorkerPool {
 public:
  /// A job: called once per worker with the worker's number and the pool.
  using Job = void (*)(void* context, int worker, WorkerPool& pool);

  /// Starts threads - 1 threads (threads is at least 1).
  explicit WorkerPool(int threads);
  /// Stops and joins every thread.
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  /// The number of workers, the calling thread included.
  int size() const { return size_; }
  /// Runs job on every worker and returns when all of them have finished.
  void run(Job job, void* context);
  /// Inside a job: waits until every worker has reached this barrier.
  void barrier();

 private:
  void workerLoop(int worker);

  int size_;
  std::vector<std::thread> threads_;

  // Job hand-out: a generation number that run() advances under the mutex.
  std::mutex mutex_;
  std::condition_variable wake_;
  unsigned generation_ = 0;
  bool stopping_ = false;
  Job job_ = nullptr;
  void* context_ = nullptr;

  // Workers still inside the current job; run() waits for it to reach 0.
  std::atomic<int> running_{0};
  std::condition_variable done_;

  // Sense-reversing barrier: the last to arrive flips the phase.
  std::atomic<int> arrived_{0};
  std::atomic<unsigned> phase_{0};
};

}  // namespace cloth
