#include "ordered_jobs.h"

#include <utility>

namespace krt::host {
namespace {

// Items in flight per thread: enough to keep every thread busy while the
// adding thread prepares the next picture.
constexpr size_t kItemsPerThread = 2;

}  // namespace

unsigned DefaultJobCount() {
  const unsigned processors = std::thread::hardware_concurrency();
  return processors == 0 ? 1 : processors;
}

OrderedJobs::OrderedJobs(unsigned jobs, Report report) : report_(std::move(report)) {
  if (jobs == 0) jobs = DefaultJobCount();
  pending_limit_ = kItemsPerThread * jobs;
  if (jobs == 1) return;
  threads_.reserve(jobs);
  for (unsigned i = 0; i < jobs; ++i) threads_.emplace_back([this] { Work(); });
}

OrderedJobs::~OrderedJobs() {
  Drain();
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  work_ready_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void OrderedJobs::Add(Job job) {
  if (threads_.empty()) {
    report_(job());
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  items_.push_back(Item{std::move(job), std::nullopt});
  work_ready_.notify_one();
  ReportFinished(lock, pending_limit_);
}

void OrderedJobs::AddOutcome(Outcome outcome) {
  if (threads_.empty()) {
    report_(outcome);
    return;
  }
  std::unique_lock<std::mutex> lock(mutex_);
  items_.push_back(Item{Job{}, std::move(outcome)});
  ReportFinished(lock, pending_limit_);
}

void OrderedJobs::Drain() {
  if (threads_.empty()) return;
  std::unique_lock<std::mutex> lock(mutex_);
  ReportFinished(lock, 0);
}

void OrderedJobs::ReportFinished(std::unique_lock<std::mutex>& lock,
                                 std::optional<size_t> wait_for) {
  for (;;) {
    while (!items_.empty() && items_.front().outcome.has_value()) {
      Outcome outcome = std::move(*items_.front().outcome);
      items_.pop_front();
      ++first_item_;
      // Reported without the lock, so that the threads go on meanwhile.
      lock.unlock();
      report_(outcome);
      lock.lock();
    }
    if (!wait_for || items_.size() <= *wait_for) return;
    item_done_.wait(lock);
  }
}

void OrderedJobs::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    // Items already decided need no thread, and may be reported already.
    if (next_to_start_ < first_item_) next_to_start_ = first_item_;
    while (next_to_start_ < first_item_ + items_.size() &&
           items_[next_to_start_ - first_item_].outcome.has_value()) {
      ++next_to_start_;
    }
    if (next_to_start_ < first_item_ + items_.size()) {
      const size_t number = next_to_start_++;
      Job job = std::move(items_[number - first_item_].job);
      lock.unlock();
      Outcome outcome = job();
      lock.lock();
      // The item stays at the front until reported, so its place is known.
      items_[number - first_item_].outcome = std::move(outcome);
      item_done_.notify_all();
      continue;
    }
    if (stopping_) return;
    work_ready_.wait(lock);
  }
}

}  // namespace krt::host
