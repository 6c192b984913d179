#include "call_control.h"

#include <array>
#include <mutex>
#include <set>

namespace krt::platform {
namespace {

struct CallState {
  uint32_t calls = 0;
  uint32_t fail_at = 0;  // call number that fails; 0 when disarmed
  bool fired = false;
};

struct Control {
  std::mutex lock;
  std::array<CallState, kKrtCallKinds> kinds{};
  std::set<int> open_files;
};

Control& TheControl() {
  static Control control;
  return control;
}

bool ValidKind(KrtPlatformCall kind) { return kind >= 0 && kind < kKrtCallKinds; }

}  // namespace

bool CallFails(KrtPlatformCall kind) {
  Control& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  CallState& state = control.kinds[static_cast<size_t>(kind)];
  ++state.calls;
  if (state.fail_at != 0 && state.calls == state.fail_at) {
    state.fail_at = 0;
    state.fired = true;
    return true;
  }
  return false;
}

void NoteFileOpened(int descriptor) {
  Control& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  control.open_files.insert(descriptor);
}

void NoteFileClosed(int descriptor) {
  Control& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  control.open_files.erase(descriptor);
}

}  // namespace krt::platform

using krt::platform::TheControl;

extern "C" {

void KrtPlatformFailNth(KrtPlatformCall kind, uint32_t n) {
  if (!krt::platform::ValidKind(kind)) return;
  auto& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  auto& state = control.kinds[static_cast<size_t>(kind)];
  state.fail_at = n == 0 ? 0 : state.calls + n;
  state.fired = false;
}

void KrtPlatformReset() {
  {
    auto& control = TheControl();
    std::lock_guard<std::mutex> guard(control.lock);
    control.kinds.fill({});
  }
  krt::platform::ResetAllocationStats();
}

uint32_t KrtPlatformCallCount(KrtPlatformCall kind) {
  if (!krt::platform::ValidKind(kind)) return 0;
  auto& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  return control.kinds[static_cast<size_t>(kind)].calls;
}

bool KrtPlatformFailureFired(KrtPlatformCall kind) {
  if (!krt::platform::ValidKind(kind)) return false;
  auto& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  return control.kinds[static_cast<size_t>(kind)].fired;
}

int32_t KrtPlatformOpenFiles() {
  auto& control = TheControl();
  std::lock_guard<std::mutex> guard(control.lock);
  return static_cast<int32_t>(control.open_files.size());
}

}  // extern "C"
