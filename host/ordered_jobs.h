// The output work of a batch (encoding and writing each picture) spread over
// several threads, with each item's outcome handed back on the caller's
// thread in the order the items were added. A batch on N threads therefore
// prints the same lines in the same order, writes the same files and ends
// with the same exit status as on one. Plug-in calls stay on the caller's
// thread; only work that needs no plug-in goes into a job.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "outcome.h"

namespace krt::host {

// Threads for --jobs when none is given: one per processor.
unsigned DefaultJobCount();

class OrderedJobs {
 public:
  using Job = std::function<Outcome()>;
  // Called on the adding thread, once per item, in the order of adding.
  using Report = std::function<void(const Outcome& outcome)>;

  // `jobs` threads, one per processor for 0. With one job every item is run
  // and reported at once, inside Add.
  OrderedJobs(unsigned jobs, Report report);
  ~OrderedJobs();
  OrderedJobs(const OrderedJobs&) = delete;
  OrderedJobs& operator=(const OrderedJobs&) = delete;

  // The next item: work to run on a thread, or an outcome already known.
  // Reports the items before it that are done; waits while a few items per
  // thread are still pending, so that a long batch holds only that many
  // pictures in memory.
  void Add(Job job);
  void AddOutcome(Outcome outcome);
  // Waits until every item added so far is done and reported.
  void Drain();

 private:
  struct Item {
    Job job;
    std::optional<Outcome> outcome;
  };

  void Work();
  // Reports the finished items at the front; with `wait_for` set, first
  // waits until at most that many items are pending. Holds `lock`.
  void ReportFinished(std::unique_lock<std::mutex>& lock, std::optional<size_t> wait_for);

  Report report_;
  size_t pending_limit_ = 0;
  std::mutex mutex_;
  std::condition_variable work_ready_;
  std::condition_variable item_done_;
  std::deque<Item> items_;  // from the first unreported item on
  size_t first_item_ = 0;   // number of the item at the front
  size_t next_to_start_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace krt::host
