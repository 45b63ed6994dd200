#pragma once
// The worker threads the window starts, one per click or selection. Each does
// its database work and hands what it found back to the window's thread with
// Controls::Post; the window waits for them before it goes away.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace quorvel {

class Workers {
 public:
  Workers() = default;
  ~Workers();
  Workers(const Workers&) = delete;
  Workers& operator=(const Workers&) = delete;

  // Runs the work on a new thread. Nothing it throws escapes the thread.
  void Start(std::function<void()> work);
  // Waits until every worker started so far has ended; true when there was one.
  bool JoinAll();

 private:
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  std::mutex mutex_;
  std::vector<Worker> workers_;
};

}  // namespace quorvel
