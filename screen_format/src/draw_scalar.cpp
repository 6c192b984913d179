// The drawing compiled for any processor of the target, and the one place
// that chooses between it and the vector drawing.
#include "draw_rows.h"
#include "drawing.h"

#if KRT_SIMD && !defined(__SSE2__)
#include <cpuid.h>
#endif

namespace krt::image {

#if KRT_SIMD
// In draw_sse2.cpp, compiled for processors with SSE2.
NameDrawer VectorNameDrawer(const PictureCanvas& canvas);
#endif

DrawingPath FastestDrawingPath() {
#if !KRT_SIMD
  return DrawingPath::kScalar;
#elif defined(__SSE2__)
  // The target itself promises it, as x86-64 always does.
  return DrawingPath::kVector;
#else
  // 32-bit x86 built for any processor: CPUID leaf 1 reports SSE2 in EDX.
  // Every processor a current Windows runs on has it.
  unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0) {
    return DrawingPath::kVector;
  }
  return DrawingPath::kScalar;
#endif
}

NameDrawer NameDrawerFor(const PictureCanvas& canvas, DrawingPath path) {
#if KRT_SIMD
  if (path == DrawingPath::kVector) return VectorNameDrawer(canvas);
#else
  static_cast<void>(path);
#endif
  return DrawerFor<OneAtATime>(canvas);
}

}  // namespace krt::image
