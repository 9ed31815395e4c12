#include "cloth/workerPool.h"

namespace cloth {

WorkerPool::WorkerPool(int threads) : size_(threads < 1 ? 1 : threads) {
  threads_.reserve(static_cast<size_t>(size_ - 1));
  for (int w = 1; w < size_; ++w) threads_.emplace_back(&WorkerPool::workerLoop, this, w);
}

WorkerPool::~WorkerPool() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void WorkerPool::run(Job job, void* context) {
  if (size_ == 1) {
    job(context, 0, *this);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = job;
    context_ = context;
    running_.store(size_ - 1, std::memory_order_relaxed);
    ++generation_;
  }
  wake_.notify_all();
  job(context, 0, *this);
  std::unique_lock<std::mutex> lock(mutex_);
  done_.wait(lock, [this] { return running_.load(std::memory_order_acquire) == 0; });
}

void WorkerPool::workerLoop(int worker) {
  unsigned seen = 0;
  for (;;) {
    Job job;
    void* context;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
      if (stopping_) return;
      seen = generation_;
      job = job_;
      context = context_;
    }
    job(context, worker, *this);
    if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      // Taking the mutex orders this wake-up after run() started waiting.
      std::lock_guard<std::mutex> lock(mutex_);
      done_.notify_one();
    }
  }
}

void WorkerPool::barrier() {
  if (size_ == 1) return;
  const unsigned phase = phase_.load(std::memory_order_acquire);
  if (arrived_.fetch_add(1, std::memory_order_acq_rel) == size_ - 1) {
    arrived_.store(0, std::memory_order_relaxed);
    phase_.store(phase + 1, std::memory_order_release);
    return;
  }
  // Spin briefly (the others are usually close behind), then give the core
  // away: with more workers than cores a pure spin would starve the late ones.
  for (int spins = 0; phase_.load(std::memory_order_acquire) == phase; ++spins) {
    if (spins > 64) std::this_thread::yield();
  }
}

}  // namespace cloth
