// A screen file built by the test builder, seen as a loaded memory image.
#pragma once

#include <cstdint>
#include <vector>

#include "picture_layout.h"
#include "screen_builder.h"
#include "screen_sections.h"

namespace krt::test {

struct BuiltScreen {
  std::vector<uint8_t> bytes;
  image::ScreenSections sections;
  image::PictureLayout layout;
  image::LayoutStatus status = image::LayoutStatus::kNothingToShow;

  explicit BuiltScreen(std::vector<uint8_t> built) : bytes(std::move(built)) {
    sections = image::LocateSections(bytes.data(), bytes.data(), 0, kColourTable);
    status = image::DecidePictureLayout(sections, &layout);
  }
  explicit BuiltScreen(const ScreenPlan& plan) : BuiltScreen(BuildScreenFile(plan)) {}
  BuiltScreen(const BuiltScreen&) = delete;
  BuiltScreen& operator=(const BuiltScreen&) = delete;
};

}  // namespace krt::test
