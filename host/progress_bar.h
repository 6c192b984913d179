// A one-line progress bar on standard error for work on packs, redrawn in
// place with a carriage return. It draws only when enabled (standard error
// is a terminal and --quiet was not given), so redirected output stays
// clean.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

#include "plugin_interface.h"

namespace krt::host {

class ProgressBar {
 public:
  ProgressBar(std::ostream& err, bool enabled, std::string label, uint32_t total);
  ~ProgressBar();
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  // Starts item `index` (0-based) of the total, shown by its name.
  void BeginItem(uint32_t index, const std::string& item);
  // Progress within the current item, as a plug-in's callback reports it.
  void ItemProgress(int32_t numerator, int32_t denominator);
  // Takes the bar off the line, so that a message can be written; the next
  // update draws it again.
  void Clear();

  // The plug-ins' progress callback; the user value is the bar. It never
  // asks a plug-in to stop.
  static int32_t KRT_STDCALL Callback(int32_t numerator, int32_t denominator, intptr_t user_value);

 private:
  void Draw();

  std::ostream& err_;
  bool enabled_;
  std::string label_;
  uint32_t total_;
  uint32_t index_ = 0;
  double within_item_ = 0;
  std::string item_;
  std::string drawn_line_;  // what is on the line now, empty when cleared
  size_t drawn_length_ = 0;
};

}  // namespace krt::host
