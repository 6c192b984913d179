#include "progress_bar.h"

#include <utility>

namespace krt::host {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::ostream& err, bool enabled, std::string label, uint32_t total)
    : err_(err), enabled_(enabled && total > 0), label_(std::move(label)), total_(total) {}

ProgressBar::~ProgressBar() { Clear(); }

void ProgressBar::BeginItem(uint32_t index, const std::string& item) {
  index_ = index;
  item_ = item;
  within_item_ = 0;
  Draw();
}

void ProgressBar::ItemProgress(int32_t numerator, int32_t denominator) {
  if (denominator <= 0 || numerator < 0 || numerator > denominator) return;
  // An entry rendered through memory reports twice, once from each plug-in;
  // the bar never runs backwards.
  const double fraction = static_cast<double>(numerator) / denominator;
  if (fraction <= within_item_) return;
  within_item_ = fraction;
  Draw();
}

void ProgressBar::Clear() {
  if (!enabled_ || drawn_length_ == 0) return;
  err_ << '\r' << std::string(drawn_length_, ' ') << '\r' << std::flush;
  drawn_length_ = 0;
  drawn_line_.clear();
}

void ProgressBar::Draw() {
  if (!enabled_) return;
  const double done = (index_ + within_item_) / total_;
  const int filled = static_cast<int>(done * kBarWidth + 0.5);
  std::string line = label_ + " [" + std::string(filled, '#') +
                     std::string(kBarWidth - filled, '-') + "] " + std::to_string(index_ + 1) +
                     "/" + std::to_string(total_) + " " + item_;
  if (line == drawn_line_) return;
  drawn_line_ = line;
  const size_t length = line.size();
  if (length < drawn_length_) line += std::string(drawn_length_ - length, ' ');
  err_ << '\r' << line << std::flush;
  drawn_length_ = line.size();
}

int32_t KRT_STDCALL ProgressBar::Callback(int32_t numerator, int32_t denominator,
                                          intptr_t user_value) {
  reinterpret_cast<ProgressBar*>(user_value)->ItemProgress(numerator, denominator);
  return 0;
}

}  // namespace krt::host
