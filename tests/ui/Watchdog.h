// Ends a hung test: an unanswered modal loop would otherwise wait for ever
// and take the whole run with it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavro::test {

class Watchdog {
 public:
  Watchdog(std::string what, std::chrono::seconds limit)
      : thread_([this, what = std::move(what), limit] {
          std::unique_lock<std::mutex> lock(mutex_);
          if (done_changed_.wait_for(lock, limit, [this] { return done_; }))
            return;
          std::fprintf(stderr, "%s: still running after %d s, stopped\n",
                       what.c_str(), static_cast<int>(limit.count()));
          std::fflush(stderr);
#ifdef _WIN32
          // ExitProcess could wait on the hung thread's locks.
          TerminateProcess(GetCurrentProcess(), 3);
#endif
          std::_Exit(3);
        }) {
  }

  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    done_changed_.notify_all();
    thread_.join();
  }

  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable done_changed_;
  bool done_ = false;
  std::thread thread_;  // last: starts once the members above exist
};

}  // namespace tavro::test
