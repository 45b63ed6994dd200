#include "window/workers.h"

namespace quorvel {

Workers::~Workers() { JoinAll(); }

void Workers::Start(std::function<void()> work) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::lock_guard<std::mutex> lock(mutex_);
  // Threads that have ended are joined here, so a window left open for a
  // long time does not collect them.
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (it->done->load()) {
      it->thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
  std::thread thread([work = std::move(work), done] {
    try {
      work();
    } catch (...) {
    }
    done->store(true);
  });
  workers_.push_back({std::move(thread), std::move(done)});
}

bool Workers::JoinAll() {
  bool any = false;
  for (;;) {
    std::vector<Worker> running;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      running.swap(workers_);
    }
    if (running.empty()) return any;
    any = true;
    for (Worker& w : running) w.thread.join();
  }
}

}  // namespace quorvel
